#pragma once
// The identity of a connected device, as texts the application can show: each taken from
// the device information records up to its first zero byte and converted from the locale's
// narrow encoding.

#include <string>
#include <string_view>

namespace ArmillonDevice {

struct SDeviceInformation {
    std::wstring firmwareVersion;  // version text of the firmware information (5 bytes)
    std::wstring hardwareText;     // proves after a reconnection that the same device answered
    std::wstring productText1;     // product information bytes 0-19
    std::wstring productText2;     // product information bytes 20-23
    std::wstring productText3;     // product information bytes 24-27
};

// A text of the device information records as these strings hold it: up to its first zero
// byte, converted from the locale's narrow encoding.
std::wstring DeviceTextToWide(std::string_view text);

}  // namespace ArmillonDevice
