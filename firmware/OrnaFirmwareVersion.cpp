#include "OrnaFirmwareVersion.h"

#include <stdexcept>

OrnaFirmwareVersion::OrnaFirmwareVersion(const char* text) {
    for (std::size_t i = 0; i < kLength && text[i] != '\0'; ++i) {
        text_[i] = text[i];
    }
}

int OrnaFirmwareVersion::Compare(const ArmillonGPSVersion* other) const {
    const auto* that = dynamic_cast<const OrnaFirmwareVersion*>(other);
    if (that == nullptr) {
        throw std::invalid_argument("a firmware version compares only with another of its kind");
    }
    // Unsigned bytes; a text that ends where the other goes on orders first, which the
    // terminating zero gives for free.
    for (std::size_t i = 0; i < kLength; ++i) {
        const auto a = static_cast<unsigned char>(text_[i]);
        const auto b = static_cast<unsigned char>(that->text_[i]);
        if (a != b) {
            return a < b ? -1 : 1;
        }
        if (a == 0) {
            break;
        }
    }
    return 0;
}

bool OrnaFirmwareVersion::IsLess(const ArmillonGPSVersion* other) const {
    return Compare(other) < 0;
}

bool OrnaFirmwareVersion::IsGreater(const ArmillonGPSVersion* other) const {
    return Compare(other) > 0;
}

bool OrnaFirmwareVersion::IsEqual(const ArmillonGPSVersion* other) const {
    return Compare(other) == 0;
}

bool OrnaFirmwareVersion::IsLessOrEqual(const ArmillonGPSVersion* other) const {
    return !IsGreater(other);
}

bool OrnaFirmwareVersion::IsGreaterOrEqual(const ArmillonGPSVersion* other) const {
    return !IsLess(other);
}

bool OrnaFirmwareVersion::IsNotEqual(const ArmillonGPSVersion* other) const {
    return !IsEqual(other);
}
