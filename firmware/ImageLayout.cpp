#include "ImageLayout.h"

#include <algorithm>
#include <array>

namespace firmware {

bool SendsValue2DataBytes(std::uint32_t type) {
    switch (type) {
        case SECTION_VERSION_BLOCK_1600:
        case SECTION_VERSION_BLOCK_1601:
        case SECTION_DATA_1604:
        case SECTION_DATA_1611:
        case SECTION_DATA_1614:
        case SECTION_DATA_1620:
        case SECTION_FLASH_WRITE:
        case SECTION_FLASH_WRITE_44:
            return true;
        default:
            return false;
    }
}

bool IsBareCommand(std::uint32_t type) {
    return type == SECTION_COMMAND_30 || type == SECTION_COMMAND_31 || type == SECTION_COMMAND_32;
}

bool NeedsDevice(std::uint32_t type) {
    // An erase of no sector sends nothing, but still needs an open connection.
    return SendsValue2DataBytes(type) || IsBareCommand(type) || type == SECTION_SECTOR_ERASE;
}

std::uint32_t VersionOffsetForModel(std::uint32_t modelCode) {
    // Models with a 512 KiB firmware block; every other model has a 256 KiB one.
    static constexpr std::array<std::uint32_t, 7> kLargeBlockModels = {
        0x45323136, 0x45323137, 0x45323139, 0x45323231, 0x45323232, 0x45323233, 0x45323234,
    };
    const bool large = std::find(kLargeBlockModels.begin(), kLargeBlockModels.end(), modelCode) !=
                       kLargeBlockModels.end();
    return large ? kLargeVersionOffset : kSmallVersionOffset;
}

const char* SectionTypeName(std::uint32_t type) {
    switch (type) {
        case SECTION_DEVICE_IDENTITY:
            return "identity";
        case SECTION_201603:
            return "skipped-201603";
        case SECTION_201613:
            return "skipped-201613";
        case SECTION_VERSION_BLOCK_1600:
            return "version-block-1600";
        case SECTION_VERSION_BLOCK_1601:
            return "version-block-1601";
        case SECTION_DATA_1604:
            return "data-1604";
        case SECTION_DATA_1611:
            return "data-1611";
        case SECTION_DATA_1614:
            return "data-1614";
        case SECTION_DATA_1620:
            return "data-1620";
        case SECTION_COMMAND_30:
            return "command-30";
        case SECTION_COMMAND_31:
            return "command-31";
        case SECTION_COMMAND_32:
            return "command-32";
        case SECTION_FLASH_WRITE:
            return "flash-write";
        case SECTION_SECTOR_ERASE:
            return "sector-erase";
        case SECTION_FLASH_WRITE_44:
            return "flash-write-44";
        default:
            return "unknown";
    }
}

}  // namespace firmware
