#pragma once
// The image the demo sends to the virtual watch, and the one tests start from: it is meant
// for the virtual watch's default identity and carries version "01.30", one step above the
// watch's "01.20". tools/samples/demo.manifest describes the same image.

#include "ImageBuilder.h"

namespace firmware {

inline constexpr std::uint16_t kSampleVendorId = 0x3A7C;
inline constexpr std::uint16_t kSampleProductId = 0x0A51;
inline constexpr char kSampleModel[] = "612E";  // code 0x45323136, version offset 0x7FFFA
inline constexpr std::uint8_t kSampleFlags = kFlagCommand30;
inline constexpr char kSampleVersion[] = "01.30";

// Identity; sector erase (sector 1, count 4); flash write of 16 KiB counting bytes at 0x1000;
// version block 0x1600 of 512 KiB of 0xFF with the version text at 0x7FFFA.
ImageBuilder SampleImage();

}  // namespace firmware
