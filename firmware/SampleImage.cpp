#include "SampleImage.h"

namespace firmware {

ImageBuilder SampleImage() {
    std::vector<std::uint8_t> pattern(0x4000);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        pattern[i] = static_cast<std::uint8_t>(i);
    }
    ImageBuilder image;
    image.Identity(kSampleVendorId, kSampleProductId, kSampleModel, kSampleFlags)
        .SectorErase(1, 4)
        .DataSection(SECTION_FLASH_WRITE, 0x1000, std::move(pattern))
        .VersionBlock(SECTION_VERSION_BLOCK_1600, kSampleVersion, 0x80000);
    return image;
}

}  // namespace firmware
