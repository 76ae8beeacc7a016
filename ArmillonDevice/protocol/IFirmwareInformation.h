#pragma once
// The firmware information record (data 0x1200), at least 16 bytes:
//   0  5  version text
// Texts are byte strings of exactly their field's length, zero bytes and all.

#include <string>

#include "AbstractDataClass.h"

namespace ArmillonDevice {

class IFirmwareInformation : public AbstractDataClass {
  public:
    static constexpr std::uint16_t kDataId = 0x1200;
    static constexpr std::size_t kMinimumSize = 16;

    using AbstractDataClass::AbstractDataClass;
    ~IFirmwareInformation() override;

    ArmillonDeviceError Load() override;

    std::string GetVersion() const { return version_; }

  private:
    std::string version_;
};

}  // namespace ArmillonDevice
