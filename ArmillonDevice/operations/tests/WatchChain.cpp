#include "WatchChain.h"

#include <algorithm>
#include <utility>

#include "ORNA_Communication.h"
#include "ORNA_Device.h"
#include "VirtualWatch_DeviceIdentifier.h"
#include "VirtualWatch_HID_DeviceReaderWriter.h"

namespace ArmillonDevice::testing {

VirtualTimePauses::VirtualTimePauses(const watchsim::WatchBus& bus, Observer also)
    : also_(std::move(also)) {
    previous_ = common::SetPauseHook([this, &bus](std::chrono::milliseconds length) {
        Observer observer;
        {
            std::lock_guard lock(mutex_);
            pauses_.push_back(length);
            observer = also_;
        }
        bus.Advance(length);
        if (observer) {
            observer(length);
        }
    });
}

VirtualTimePauses::~VirtualTimePauses() {
    common::SetPauseHook(std::move(previous_));
}

std::vector<std::chrono::milliseconds> VirtualTimePauses::Pauses() const {
    std::lock_guard lock(mutex_);
    return pauses_;
}

std::size_t VirtualTimePauses::CountOf(std::chrono::milliseconds length) const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(std::count(pauses_.begin(), pauses_.end(), length));
}

void VirtualTimePauses::Clear() {
    std::lock_guard lock(mutex_);
    pauses_.clear();
}

void VirtualTimePauses::SetObserver(Observer also) {
    std::lock_guard lock(mutex_);
    also_ = std::move(also);
}

std::size_t CountRequests(const watchsim::VirtualWatch& watch, watchsim::CommandKind kind,
                          std::optional<std::uint16_t> dataId) {
    const auto requests = watch.Requests();
    return static_cast<std::size_t>(
        std::count_if(requests.begin(), requests.end(), [&](const watchsim::RequestRecord& r) {
            return r.what.kind == kind && (!dataId || r.what.dataId == dataId);
        }));
}

std::unique_ptr<CRetryTrainingDataCreator> MakeWatchChain(watchsim::HostPort& port) {
    auto device =
        std::make_unique<ORNA_Device>(std::make_unique<VirtualWatch_DeviceIdentifier>(&port),
                                      std::make_unique<VirtualWatch_HID_DeviceReaderWriter>());
    auto communication = std::make_unique<ORNA_Communication>(std::move(device));
    return std::make_unique<CRetryTrainingDataCreator>(
        std::make_unique<CORNATrainingDataCreator>(std::move(communication)), 3000, 2);
}

WatchChain::WatchChain(watchsim::WatchConfig config)
    : watch(bus.Add(std::move(config))),
      pauses(bus),
      creator(MakeWatchChain(watch)),
      orna(static_cast<CORNATrainingDataCreator*>(&creator->GetInner())) {}

WatchChain::~WatchChain() = default;

}  // namespace ArmillonDevice::testing
