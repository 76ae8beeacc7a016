#pragma once
// The hardware information record (data 0x1300), at least 32 bytes:
//   0   2  hardware word, little-endian
//   2  16  hardware text
// Texts are byte strings of exactly their field's length, zero bytes and all.

#include <cstdint>
#include <string>

#include "AbstractDataClass.h"

namespace ArmillonDevice {

class IHardwareInformation : public AbstractDataClass {
  public:
    static constexpr std::uint16_t kDataId = 0x1300;
    static constexpr std::size_t kMinimumSize = 32;

    using AbstractDataClass::AbstractDataClass;
    ~IHardwareInformation() override;

    ArmillonDeviceError Load() override;

    std::string GetHardwareText() const { return hardwareText_; }
    std::uint16_t GetHardwareWord() const { return hardwareWord_; }

  private:
    std::uint16_t hardwareWord_ = 0;
    std::string hardwareText_;
};

}  // namespace ArmillonDevice
