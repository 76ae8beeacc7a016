#include "DeviceVersionOverride.h"

std::optional<std::string> deviceVersionOverride;

int SetDeviceVersionOverride(const char* text) {
    if (text == nullptr) {
        deviceVersionOverride.reset();
        return 1;
    }
    deviceVersionOverride = std::string(text);
    return 0;
}
