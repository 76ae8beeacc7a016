#include "SDeviceInformation.h"

#include "TextConversion.h"

namespace ArmillonDevice {

std::wstring DeviceTextToWide(std::string_view text) {
    return common::NarrowToWide(text.substr(0, text.find('\0')));
}

}  // namespace ArmillonDevice
