#include "ModalLoop.h"

#include <algorithm>

#include "Pause.h"

namespace ui {

void ModalLoop::Post(std::function<void()> task) {
    std::lock_guard lock(tasksMutex_);
    tasks_.push_back(std::move(task));
}

bool ModalLoop::RunPendingTasks() {
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard lock(tasksMutex_);
        tasks.swap(tasks_);
    }
    for (auto& task : tasks) {
        task();
    }
    return !tasks.empty();
}

void ModalLoop::SetTimer(unsigned id, std::chrono::milliseconds period) {
    period = std::max(period, kMinimumPeriod);
    KillTimer(id);
    timers_.push_back({id, period, now_ + period});
}

bool ModalLoop::KillTimer(unsigned id) {
    const auto removed = std::erase_if(timers_, [id](const Timer& t) { return t.id == id; });
    return removed > 0;
}

bool ModalLoop::HasTimers() const {
    return !timers_.empty();
}

void ModalLoop::KillAllTimers() {
    timers_.clear();
}

std::optional<unsigned> ModalLoop::WaitForNextTimer() {
    if (timers_.empty()) {
        return std::nullopt;
    }
    auto next =
        std::min_element(timers_.begin(), timers_.end(), [](const Timer& a, const Timer& b) {
            return a.due != b.due ? a.due < b.due : a.id < b.id;
        });
    if (next->due > now_) {
        common::Pause(next->due - now_);
        now_ = next->due;
    }
    next->due += next->period;
    return next->id;
}

}  // namespace ui
