#pragma once
// Discovery over a set of in-process virtual watches: a watch is listed while its port is
// present, so unplugging, plugging in and rebooting show up as they would on a real bus.
// The ports are borrowed and outlive the platform.

#include <cstddef>
#include <vector>

#include "HostPort.h"
#include "IHidPlatform.h"

namespace ArmillonDevice {

class VirtualWatch_HidPlatform : public IHidPlatform {
  public:
    explicit VirtualWatch_HidPlatform(std::vector<watchsim::HostPort*> ports = {});
    ~VirtualWatch_HidPlatform() override;

    // Another watch on the bus, listed after those already known.
    void AddPort(watchsim::HostPort* port);

    void EnumerateHidDevices(DeviceIdentifierList& list,
                             const HidDevicePredicate& predicate) override;
    std::unique_ptr<IReaderWriter> CreateReaderWriter() override;

    // How often the bus has been enumerated.
    std::size_t EnumerationCount() const { return enumerations_; }

  private:
    std::vector<watchsim::HostPort*> ports_;
    std::size_t enumerations_ = 0;
};

}  // namespace ArmillonDevice
