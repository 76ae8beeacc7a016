#include "Clock.h"

#include <thread>

namespace watchsim {

SteadyClock::SteadyClock() : start_(std::chrono::steady_clock::now()) {}

Clock::Duration SteadyClock::Now() const {
    return std::chrono::duration_cast<Duration>(std::chrono::steady_clock::now() - start_);
}

void SteadyClock::SleepFor(Duration duration) {
    if (duration > Duration::zero()) {
        std::this_thread::sleep_for(duration);
    }
}

Clock::Duration ManualClock::Now() const {
    return Duration(nanoseconds_.load(std::memory_order_acquire));
}

void ManualClock::SleepFor(Duration duration) {
    Advance(duration);
}

void ManualClock::Advance(Duration duration) {
    if (duration > Duration::zero()) {
        nanoseconds_.fetch_add(duration.count(), std::memory_order_acq_rel);
    }
}

}  // namespace watchsim
