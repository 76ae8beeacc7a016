#include "WatchBus.h"

#include <stdexcept>

namespace watchsim {

WatchBus::WatchBus(std::shared_ptr<Clock> clock)
    : clock_(clock ? std::move(clock) : std::make_shared<ManualClock>()) {}

VirtualWatch& WatchBus::Add(WatchConfig config) {
    auto watch = std::make_unique<VirtualWatch>(std::move(config), clock_);
    std::lock_guard lock(mutex_);
    watches_.push_back(std::move(watch));
    return *watches_.back();
}

std::size_t WatchBus::Count() const {
    std::lock_guard lock(mutex_);
    return watches_.size();
}

VirtualWatch& WatchBus::At(std::size_t index) const {
    std::lock_guard lock(mutex_);
    return *watches_.at(index);
}

std::vector<HostPort*> WatchBus::PresentPorts() const {
    std::lock_guard lock(mutex_);
    std::vector<HostPort*> ports;
    for (const auto& watch : watches_) {
        if (watch->Present()) {
            ports.push_back(watch.get());
        }
    }
    return ports;
}

void WatchBus::Advance(Clock::Duration duration) const {
    auto* manual = dynamic_cast<ManualClock*>(clock_.get());
    if (!manual) {
        throw std::logic_error("the bus does not run on a manual clock");
    }
    manual->Advance(duration);
}

}  // namespace watchsim
