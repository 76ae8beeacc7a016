#pragma once
// Writes firmware image files: the counterpart of the loader, for the image tool and for
// tests. It writes exactly what it is told, so it can also make broken images; whether an
// image is good is for the loader to say.
//
//   auto bytes = firmware::ImageBuilder()
//                    .Identity(0x3A7C, 0x0A51, "612E", 0x01)
//                    .SectorErase(1, 4)
//                    .VersionBlock(firmware::SECTION_VERSION_BLOCK_1600, "01.30", 0x80000)
//                    .Build();

#include "ImageLayout.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace firmware {

class ImageBuildError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct ImageSection {
    std::uint32_t type = 0;
    std::uint32_t value1 = 0;
    // Written as given; by default value 2 is the data length and the section size is the
    // header plus the data.
    std::optional<std::uint32_t> value2;
    std::optional<std::uint32_t> size;
    std::vector<std::uint8_t> data;
    // When not empty, written into data at the version offset of the image's model (the
    // model of the last identity section) when the image is built.
    std::string versionText;
};

class ImageBuilder {
  public:
    // An identity section; model holds the four model code bytes in file order.
    ImageBuilder& Identity(std::uint16_t vendorId, std::uint16_t productId, std::string_view model,
                           std::uint8_t flags);
    ImageBuilder& Section(ImageSection section);
    // A section that carries data, value 2 being its length.
    ImageBuilder& DataSection(std::uint32_t type, std::uint32_t value1,
                              std::vector<std::uint8_t> data);
    ImageBuilder& SectorErase(std::uint32_t firstSector, std::uint32_t count);
    // A section with no data and values 0, such as a bare device command.
    ImageBuilder& Command(std::uint32_t type);
    // A firmware block of length fill bytes with the version text at the version offset.
    ImageBuilder& VersionBlock(std::uint32_t type, std::string_view version, std::uint32_t length,
                               std::uint8_t fill = 0xFF);

    // Header fields written instead of the true ones, and bytes after the last section.
    ImageBuilder& TotalSize(std::int32_t totalSize);
    ImageBuilder& SectionCount(std::int32_t sectionCount);
    ImageBuilder& Trailing(std::vector<std::uint8_t> bytes);

    std::vector<ImageSection>& Sections() { return sections_; }
    const std::vector<ImageSection>& Sections() const { return sections_; }

    // Throws ImageBuildError when a version text does not fit its section or the image would
    // be longer than its header can state.
    std::vector<std::uint8_t> Build() const;

  private:
    std::vector<ImageSection> sections_;
    std::optional<std::int32_t> totalSize_;
    std::optional<std::int32_t> sectionCount_;
    std::vector<std::uint8_t> trailing_;
};

// The identity data: 4 unread bytes, model code, product, vendor, flags.
std::vector<std::uint8_t> IdentityData(std::uint16_t vendorId, std::uint16_t productId,
                                       std::string_view model, std::uint8_t flags);

}  // namespace firmware
