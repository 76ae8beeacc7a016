#include "VirtualWatch_HidPlatform.h"

#include <utility>

#include "VirtualWatch_DeviceIdentifier.h"
#include "VirtualWatch_HID_DeviceReaderWriter.h"

namespace ArmillonDevice {

VirtualWatch_HidPlatform::VirtualWatch_HidPlatform(std::vector<watchsim::HostPort*> ports)
    : ports_(std::move(ports)) {}

VirtualWatch_HidPlatform::~VirtualWatch_HidPlatform() = default;

void VirtualWatch_HidPlatform::AddPort(watchsim::HostPort* port) {
    ports_.push_back(port);
}

void VirtualWatch_HidPlatform::EnumerateHidDevices(DeviceIdentifierList& list,
                                                   const HidDevicePredicate& predicate) {
    ++enumerations_;
    for (watchsim::HostPort* port : ports_) {
        if (port != nullptr && port->Present() && predicate(port->VendorId(), port->ProductId())) {
            list.push_back(std::make_unique<VirtualWatch_DeviceIdentifier>(port));
        }
    }
}

std::unique_ptr<IReaderWriter> VirtualWatch_HidPlatform::CreateReaderWriter() {
    return std::make_unique<VirtualWatch_HID_DeviceReaderWriter>();
}

}  // namespace ArmillonDevice
