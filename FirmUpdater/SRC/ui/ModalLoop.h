#pragma once
// The loop of one modal dialog in the user interfaces that run dialogs themselves (the
// terminal and the scripted one): the dialog's timers, and tasks other threads post to the
// thread that runs the dialog. Timer waits go through common::Pause, so tests pass through
// them without sleeping; the loop keeps its own clock, advanced by the waits.

#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace ui {

class ModalLoop {
  public:
    // The shortest timer period; shorter ones are lengthened to it.
    static constexpr std::chrono::milliseconds kMinimumPeriod{10};

    ModalLoop() = default;
    ModalLoop(const ModalLoop&) = delete;
    ModalLoop& operator=(const ModalLoop&) = delete;

    // The loop belongs to the thread that made it.
    bool IsLoopThread() const { return std::this_thread::get_id() == thread_; }

    // Any thread: queues a task for the loop thread.
    void Post(std::function<void()> task);

    // Loop thread: runs the tasks queued so far; true when there were any.
    bool RunPendingTasks();

    // Loop thread: timers. Setting an existing timer restarts it with the new period.
    void SetTimer(unsigned id, std::chrono::milliseconds period);
    bool KillTimer(unsigned id);
    bool HasTimers() const;
    void KillAllTimers();

    // Loop thread: waits until the next timer is due and returns its ID; nothing when no
    // timer is set. Timers due at the same time fire in the order of their IDs.
    std::optional<unsigned> WaitForNextTimer();

  private:
    struct Timer {
        unsigned id;
        std::chrono::milliseconds period;
        std::chrono::milliseconds due;
    };

    const std::thread::id thread_ = std::this_thread::get_id();
    std::mutex tasksMutex_;
    std::deque<std::function<void()>> tasks_;
    std::vector<Timer> timers_;
    std::chrono::milliseconds now_{0};
};

}  // namespace ui
