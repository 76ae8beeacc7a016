#include "ImageBuilder.h"

#include "ByteOrder.h"

#include <algorithm>
#include <limits>

namespace firmware {

std::vector<std::uint8_t> IdentityData(std::uint16_t vendorId, std::uint16_t productId,
                                       std::string_view model, std::uint8_t flags) {
    if (model.size() != 4) {
        throw ImageBuildError("a model code has four bytes, not " + std::to_string(model.size()));
    }
    std::vector<std::uint8_t> data(kIdentityMinimumLength, 0);
    std::copy(model.begin(), model.end(), data.begin() + kIdentityModelOffset);
    common::StoreLE16(data.data() + kIdentityProductOffset, productId);
    common::StoreLE16(data.data() + kIdentityVendorOffset, vendorId);
    data[kIdentityFlagsOffset] = flags;
    return data;
}

ImageBuilder& ImageBuilder::Identity(std::uint16_t vendorId, std::uint16_t productId,
                                     std::string_view model, std::uint8_t flags) {
    return DataSection(SECTION_DEVICE_IDENTITY, 0, IdentityData(vendorId, productId, model, flags));
}

ImageBuilder& ImageBuilder::Section(ImageSection section) {
    sections_.push_back(std::move(section));
    return *this;
}

ImageBuilder& ImageBuilder::DataSection(std::uint32_t type, std::uint32_t value1,
                                        std::vector<std::uint8_t> data) {
    ImageSection section;
    section.type = type;
    section.value1 = value1;
    section.data = std::move(data);
    return Section(std::move(section));
}

ImageBuilder& ImageBuilder::SectorErase(std::uint32_t firstSector, std::uint32_t count) {
    ImageSection section;
    section.type = SECTION_SECTOR_ERASE;
    section.value1 = firstSector;
    section.value2 = count;
    return Section(std::move(section));
}

ImageBuilder& ImageBuilder::Command(std::uint32_t type) {
    ImageSection section;
    section.type = type;
    return Section(std::move(section));
}

ImageBuilder& ImageBuilder::VersionBlock(std::uint32_t type, std::string_view version,
                                         std::uint32_t length, std::uint8_t fill) {
    ImageSection section;
    section.type = type;
    section.data.assign(length, fill);
    section.versionText = std::string(version);
    return Section(std::move(section));
}

ImageBuilder& ImageBuilder::TotalSize(std::int32_t totalSize) {
    totalSize_ = totalSize;
    return *this;
}

ImageBuilder& ImageBuilder::SectionCount(std::int32_t sectionCount) {
    sectionCount_ = sectionCount;
    return *this;
}

ImageBuilder& ImageBuilder::Trailing(std::vector<std::uint8_t> bytes) {
    trailing_ = std::move(bytes);
    return *this;
}

std::vector<std::uint8_t> ImageBuilder::Build() const {
    // The version offset follows the model of the last identity section, as in the loader.
    std::uint32_t versionOffset = kSmallVersionOffset;
    for (const ImageSection& section : sections_) {
        if (section.type == SECTION_DEVICE_IDENTITY &&
            section.data.size() >= kIdentityModelOffset + 4) {
            versionOffset =
                VersionOffsetForModel(common::LoadLE32(section.data.data() + kIdentityModelOffset));
        }
    }

    std::uint64_t length = kContainerHeaderSize + trailing_.size();
    for (const ImageSection& section : sections_) {
        length += kSectionHeaderSize + section.data.size();
    }
    if (length > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
        throw ImageBuildError("the image would be longer than 2 GiB");
    }

    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(length));
    common::AppendLE32(
        out, static_cast<std::uint32_t>(totalSize_.value_or(static_cast<std::int32_t>(length))));
    common::AppendLE32(out, static_cast<std::uint32_t>(sectionCount_.value_or(
                                static_cast<std::int32_t>(sections_.size()))));
    for (std::size_t index = 0; index < sections_.size(); ++index) {
        const ImageSection& section = sections_[index];
        const auto dataLength = static_cast<std::uint32_t>(section.data.size());
        common::AppendLE32(out, section.size.value_or(
                                    static_cast<std::uint32_t>(kSectionHeaderSize) + dataLength));
        common::AppendLE32(out, section.type);
        common::AppendLE32(out, section.value1);
        common::AppendLE32(out, section.value2.value_or(dataLength));
        const std::size_t dataStart = out.size();
        out.insert(out.end(), section.data.begin(), section.data.end());
        if (!section.versionText.empty()) {
            const std::string& text = section.versionText;
            if (std::uint64_t{versionOffset} + text.size() > section.data.size()) {
                throw ImageBuildError("section " + std::to_string(index) +
                                      ": the version text at offset " +
                                      std::to_string(versionOffset) + " does not fit its " +
                                      std::to_string(section.data.size()) + " data bytes");
            }
            std::copy(text.begin(), text.end(),
                      out.begin() + static_cast<std::ptrdiff_t>(dataStart + versionOffset));
        }
    }
    out.insert(out.end(), trailing_.begin(), trailing_.end());
    return out;
}

}  // namespace firmware
