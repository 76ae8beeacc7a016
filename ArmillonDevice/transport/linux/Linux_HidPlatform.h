#pragma once
// The platform's HID layer on Linux: discovery over the hidraw nodes of one directory and
// reader/writers that open them.

#include <string>

#include "IHidPlatform.h"

namespace ArmillonDevice {

class Linux_HidPlatform : public IHidPlatform {
  public:
    // Scans the hidraw nodes of `directory` (/dev on a real system; the program's assembly
    // says which).
    explicit Linux_HidPlatform(std::string directory);
    ~Linux_HidPlatform() override;

    void EnumerateHidDevices(DeviceIdentifierList& list,
                             const HidDevicePredicate& predicate) override;
    std::unique_ptr<IReaderWriter> CreateReaderWriter() override;

    const std::string& GetDirectory() const { return directory_; }

  private:
    std::string directory_;
};

}  // namespace ArmillonDevice
