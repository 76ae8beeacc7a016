#pragma once
// Names one in-process virtual watch by its host port. The port is borrowed: it outlives
// every identity and transport that refers to it.

#include <memory>

#include "DeviceIdentifier.h"
#include "HostPort.h"

namespace ArmillonDevice {

class VirtualWatch_DeviceIdentifier : public DeviceIdentifier {
  public:
    explicit VirtualWatch_DeviceIdentifier(watchsim::HostPort* port) : port_(port) {}
    VirtualWatch_DeviceIdentifier(const VirtualWatch_DeviceIdentifier&) = default;
    VirtualWatch_DeviceIdentifier& operator=(const VirtualWatch_DeviceIdentifier&) = default;
    ~VirtualWatch_DeviceIdentifier() override;

    std::unique_ptr<DeviceIdentifier> Clone() const override;

    watchsim::HostPort* GetPort() const { return port_; }

  private:
    watchsim::HostPort* port_;
};

}  // namespace ArmillonDevice
