#include "DeviceVersionOverride.h"

#include <mutex>

namespace {

std::mutex& OverrideMutex() {
    static std::mutex mutex;
    return mutex;
}

std::optional<std::string>& StoredOverride() {
    static std::optional<std::string> text;
    return text;
}

}  // namespace

int SetDeviceVersionOverride(const char* text) {
    std::lock_guard lock(OverrideMutex());
    if (text == nullptr) {
        StoredOverride().reset();
        return 1;
    }
    StoredOverride() = std::string(text);
    return 0;
}

std::optional<std::string> GetDeviceVersionOverride() {
    std::lock_guard lock(OverrideMutex());
    return StoredOverride();
}
