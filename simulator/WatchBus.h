#pragma once
// The watches one test (or one `watchsim serve`) presents: none, one, several, some unplugged,
// some appearing later. They share one clock, manual unless another is given.

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

#include "Clock.h"
#include "HostPort.h"
#include "VirtualWatch.h"
#include "WatchConfig.h"

namespace watchsim {

class WatchBus {
  public:
    // Without a clock the bus runs on a manual clock of its own.
    explicit WatchBus(std::shared_ptr<Clock> clock = nullptr);

    // Adds a watch on the bus's clock; the reference stays valid as long as the bus.
    VirtualWatch& Add(WatchConfig config = {});
    std::size_t Count() const;
    VirtualWatch& At(std::size_t index) const;
    // The ports a host enumeration would list now: present watches, in the order added.
    std::vector<HostPort*> PresentPorts() const;

    Clock& GetClock() const { return *clock_; }
    std::shared_ptr<Clock> SharedClock() const { return clock_; }
    // Moves the bus's manual clock on; throws std::logic_error on another clock.
    void Advance(Clock::Duration duration) const;

  private:
    std::shared_ptr<Clock> clock_;
    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<VirtualWatch>> watches_;
};

}  // namespace watchsim
