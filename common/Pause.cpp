#include "Pause.h"

#include <thread>
#include <utility>

namespace common {
namespace {

std::mutex& HookMutex() {
    static std::mutex m;
    return m;
}

PauseFunction& Hook() {
    static PauseFunction hook;
    return hook;
}

}  // namespace

void Pause(std::chrono::milliseconds duration) {
    PauseFunction hook;
    {
        std::lock_guard lock(HookMutex());
        hook = Hook();
    }
    if (hook) {
        hook(duration);
    } else if (duration.count() > 0) {
        std::this_thread::sleep_for(duration);
    }
}

PauseFunction SetPauseHook(PauseFunction hook) {
    std::lock_guard lock(HookMutex());
    return std::exchange(Hook(), std::move(hook));
}

ScopedPauseRecorder::ScopedPauseRecorder() {
    previous_ = SetPauseHook([this](std::chrono::milliseconds d) {
        std::lock_guard lock(mutex_);
        pauses_.push_back(d);
    });
}

ScopedPauseRecorder::~ScopedPauseRecorder() {
    SetPauseHook(std::move(previous_));
}

std::vector<std::chrono::milliseconds> ScopedPauseRecorder::Pauses() const {
    std::lock_guard lock(mutex_);
    return pauses_;
}

std::chrono::milliseconds ScopedPauseRecorder::Total() const {
    std::lock_guard lock(mutex_);
    std::chrono::milliseconds total{0};
    for (auto d : pauses_) {
        total += d;
    }
    return total;
}

void ScopedPauseRecorder::Clear() {
    std::lock_guard lock(mutex_);
    pauses_.clear();
}

}  // namespace common
