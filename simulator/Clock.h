#pragma once
// The watch's sense of time. `watchsim serve` runs on the steady clock and really sleeps;
// tests use a manual clock that only moves when someone advances it, so the reboot delay and
// the report pacing pass in virtual time.

#include <atomic>
#include <chrono>
#include <cstdint>

namespace watchsim {

class Clock {
  public:
    using Duration = std::chrono::nanoseconds;

    virtual ~Clock() = default;
    // Monotonic time since an arbitrary start.
    virtual Duration Now() const = 0;
    // Lets the given time pass: the steady clock sleeps, the manual clock moves on by it.
    virtual void SleepFor(Duration duration) = 0;
};

class SteadyClock final : public Clock {
  public:
    SteadyClock();
    Duration Now() const override;
    void SleepFor(Duration duration) override;

  private:
    std::chrono::steady_clock::time_point start_;
};

// Starts at 0 and moves only through Advance (or SleepFor). Safe to advance from any thread,
// for example from a pause hook on the thread that runs the host side.
class ManualClock final : public Clock {
  public:
    Duration Now() const override;
    void SleepFor(Duration duration) override;
    void Advance(Duration duration);

  private:
    std::atomic<std::int64_t> nanoseconds_{0};
};

}  // namespace watchsim
