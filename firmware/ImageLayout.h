#pragma once
// The firmware image file, as the loader and the image builder both see it: a container
// header of 8 bytes, then sections back to back, each a 16-byte header and its data.
// Every number is little-endian.

#include <cstddef>
#include <cstdint>

namespace firmware {

// Container header: total size (signed 32-bit), section count (signed 32-bit).
inline constexpr std::size_t kContainerHeaderSize = 8;
inline constexpr std::size_t kTotalSizeOffset = 0;
inline constexpr std::size_t kSectionCountOffset = 4;

// Section header: size (header included), type, value 1, value 2.
inline constexpr std::size_t kSectionHeaderSize = 16;
inline constexpr std::size_t kSectionSizeOffset = 0;
inline constexpr std::size_t kSectionTypeOffset = 4;
inline constexpr std::size_t kSectionValue1Offset = 8;
inline constexpr std::size_t kSectionValue2Offset = 12;

// Identity section data.
inline constexpr std::size_t kIdentityModelOffset = 4;
inline constexpr std::size_t kIdentityProductOffset = 8;
inline constexpr std::size_t kIdentityVendorOffset = 10;
inline constexpr std::size_t kIdentityFlagsOffset = 12;
// Everything up to and including the flag byte.
inline constexpr std::size_t kIdentityMinimumLength = 13;

// End-of-update flag bits of the identity section.
inline constexpr std::uint8_t kFlagCommand30 = 0x01;
inline constexpr std::uint8_t kFlagCommand31 = 0x02;
inline constexpr std::uint8_t kFlagCommand32 = 0x04;

inline constexpr std::size_t kVersionTextLength = 5;
inline constexpr std::uint32_t kLargeVersionOffset = 0x7FFFA;
inline constexpr std::uint32_t kSmallVersionOffset = 0x3FFFA;

enum SectionType : std::uint32_t {
    SECTION_DEVICE_IDENTITY = 0x80000000,
    SECTION_201603 = 0x201603,
    SECTION_201613 = 0x201613,
    SECTION_VERSION_BLOCK_1600 = 0x211600,
    SECTION_VERSION_BLOCK_1601 = 0x211601,
    SECTION_DATA_1604 = 0x211604,
    SECTION_DATA_1611 = 0x211611,
    SECTION_DATA_1614 = 0x211614,
    SECTION_DATA_1620 = 0x211620,
    SECTION_COMMAND_30 = 0x300000,
    SECTION_COMMAND_31 = 0x310000,
    SECTION_COMMAND_32 = 0x320000,
    SECTION_FLASH_WRITE = 0x410000,
    SECTION_SECTOR_ERASE = 0x420000,
    SECTION_FLASH_WRITE_44 = 0x440000,
};

// Every type the update gives a meaning to.
inline constexpr SectionType kKnownSectionTypes[] = {
    SECTION_DEVICE_IDENTITY,
    SECTION_201603,
    SECTION_201613,
    SECTION_VERSION_BLOCK_1600,
    SECTION_VERSION_BLOCK_1601,
    SECTION_DATA_1604,
    SECTION_DATA_1611,
    SECTION_DATA_1614,
    SECTION_DATA_1620,
    SECTION_COMMAND_30,
    SECTION_COMMAND_31,
    SECTION_COMMAND_32,
    SECTION_FLASH_WRITE,
    SECTION_SECTOR_ERASE,
    SECTION_FLASH_WRITE_44,
};

inline bool IsVersionSection(std::uint32_t type) {
    return type == SECTION_VERSION_BLOCK_1600 || type == SECTION_VERSION_BLOCK_1601;
}

// Bare device commands: the watch leaves the bus after each of them.
bool IsBareCommand(std::uint32_t type);

// Sections the update cannot carry out without the watch: data blocks, flash writes, sector
// erases and bare commands. Skipped and unknown types need none.
bool NeedsDevice(std::uint32_t type);

// Sections whose value 2 is the number of data bytes the update sends from the section.
bool SendsValue2DataBytes(std::uint32_t type);

// Where the version text stands in a version block, by the model code read as a 32-bit value.
std::uint32_t VersionOffsetForModel(std::uint32_t modelCode);

// A short lower-case name of the section type ("flash-write"), or "unknown".
const char* SectionTypeName(std::uint32_t type);

}  // namespace firmware
