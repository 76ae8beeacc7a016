#pragma once
// A five-character firmware version text ("01.30"), ordered byte by byte. The order is
// only meaningful between texts written in one fixed-width form: "1.10A" orders before
// "1.9 A".

#include "ArmillonGPSVersion.h"

#include <cstddef>

class OrnaFirmwareVersion : public ArmillonGPSVersion {
  public:
    // Keeps at most the first five characters of text (never null).
    explicit OrnaFirmwareVersion(const char* text);
    OrnaFirmwareVersion(const OrnaFirmwareVersion&) = default;
    OrnaFirmwareVersion& operator=(const OrnaFirmwareVersion&) = default;
    ~OrnaFirmwareVersion() override = default;

    // The other value must be an OrnaFirmwareVersion; any other kind of version value, or
    // null, is refused with std::invalid_argument rather than compared.
    bool IsLess(const ArmillonGPSVersion* other) const override;
    bool IsGreater(const ArmillonGPSVersion* other) const override;
    bool IsEqual(const ArmillonGPSVersion* other) const override;
    // The negations of the three above, through the virtual calls, so a derived class that
    // redefines one of those changes its negation too.
    bool IsLessOrEqual(const ArmillonGPSVersion* other) const override;
    bool IsGreaterOrEqual(const ArmillonGPSVersion* other) const override;
    bool IsNotEqual(const ArmillonGPSVersion* other) const override;

    const char* Text() const { return text_; }

    static constexpr std::size_t kLength = 5;

  private:
    // <0, 0 or >0 as this text orders before, with or after the other's.
    int Compare(const ArmillonGPSVersion* other) const;

    char text_[kLength + 1] = {};
};
