#include "COrnaFirmware.h"

#include "ArmillonException.h"
#include "ByteOrder.h"
#include "ImageLayout.h"
#include "TextConversion.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <limits>

using namespace firmware;

namespace {

// The image built into the program, every byte stored rotated left by 3 bits. It is a single
// byte, so a start without an image path always ends with a format error.
constexpr std::uint8_t kBuiltInImage[] = {0x53};

// Shared by every image object, as the callers expect: the text getters hand out these
// buffers and the next call overwrites them; the byte cursor never goes back.
char gVersionTextBuffer[kVersionTextLength + 1];
char gModelTextBuffer[4 + 1];
std::uint32_t gReadCursor = 0;

// The longest file whose length the container header can state.
constexpr std::uint64_t kMaxImageLength = std::numeric_limits<std::int32_t>::max();

// Cuts text to at most maxBytes without splitting a multibyte character of the locale's
// encoding; bytes that do not form a character count as one byte each.
std::string CutToFit(std::string text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    std::mbstate_t state{};
    std::size_t kept = 0;
    while (kept < text.size()) {
        std::size_t n = std::mbrlen(text.data() + kept, text.size() - kept, &state);
        if (n == static_cast<std::size_t>(-1) || n == static_cast<std::size_t>(-2) || n == 0) {
            state = std::mbstate_t{};
            n = 1;
        }
        if (kept + n > maxBytes) {
            break;
        }
        kept += n;
    }
    text.resize(kept);
    return text;
}

void FormatInto(char* buffer, std::size_t size, const std::string& text) {
    std::memset(buffer, 0, size);
    std::snprintf(buffer, size, "%s", text.c_str());
}

}  // namespace

COrnaFirmware::COrnaFirmware(const wchar_t* imagePath, const wchar_t* versionText,
                             const char* modelText)
    : COrnaFirmware(imagePath, versionText, modelText, nullptr, nullptr) {}

COrnaFirmware::COrnaFirmware(const wchar_t* imagePath, const wchar_t* versionText,
                             const char* modelText, ImageDiagnostic* diagnostic,
                             ImageFileReader* reader)
    : imagePath_(imagePath != nullptr ? imagePath : L""), diagnostic_(diagnostic) {
    Construct(versionText, modelText, reader != nullptr ? reader : &PlatformImageFileReader());
}

COrnaFirmware::COrnaFirmware(std::vector<std::uint8_t> image, const wchar_t* versionText,
                             const char* modelText, ImageDiagnostic* diagnostic)
    : image_(std::move(image)), imageGiven_(true), diagnostic_(diagnostic) {
    Construct(versionText, modelText, nullptr);
}

void COrnaFirmware::Construct(const wchar_t* versionText, const char* modelText,
                              ImageFileReader* reader) {
    if (diagnostic_ != nullptr) {
        *diagnostic_ = ImageDiagnostic{};
    }
    if (versionText != nullptr) {
        versionText_ = CutToFit(common::WideToNarrow(versionText), kVersionTextLength);
    }
    if (modelText != nullptr) {
        modelText_ = CutToFit(modelText, 4);
    }

    if (!imageGiven_) {
        LoadImage(*reader);
    }
    ParseSections();

    if (versionText_.empty()) {
        if (versionData_ != nullptr && std::uint64_t{versionDataLength_} >=
                                           std::uint64_t{versionOffset_} + kVersionTextLength) {
            versionText_.assign(reinterpret_cast<const char*>(versionData_ + versionOffset_),
                                kVersionTextLength);
        } else {
            versionText_.assign(kVersionTextLength, ' ');
        }
    }
    if (modelText_.empty()) {
        modelText_.assign(4, ' ');
    }
    diagnostic_ = nullptr;
}

void COrnaFirmware::LoadImage(ImageFileReader& reader) {
    if (imagePath_.empty()) {
        image_.resize(std::size(kBuiltInImage));
        std::transform(
            std::begin(kBuiltInImage), std::end(kBuiltInImage), image_.begin(),
            [](std::uint8_t b) { return static_cast<std::uint8_t>((b >> 3) | (b << 5)); });
        return;
    }
    const auto result = reader.ReadWholeFile(imagePath_, kMaxImageLength, image_);
    switch (result.status) {
        case ImageFileReader::Status::Read:
            return;
        case ImageFileReader::Status::CannotOpen:
            Fail(ImageRule::FileCannotBeOpened, 0, -1, result.systemError);
        case ImageFileReader::Status::TooLarge:
            // Its total size could never match; no need to read gigabytes to say so.
            Fail(ImageRule::FileTooLarge, result.length);
        case ImageFileReader::Status::ShortRead:
            Fail(ImageRule::FileReadShort, result.bytesRead, -1, result.systemError);
    }
    Fail(ImageRule::FileReadShort, result.bytesRead, -1, result.systemError);
}

void COrnaFirmware::ValidateHeader() {
    const std::uint64_t length = image_.size();
    if (length < kContainerHeaderSize + kSectionHeaderSize) {
        Fail(ImageRule::TooShort, length);
    }
    const std::uint8_t* p = image_.data();
    const auto total = static_cast<std::int32_t>(common::LoadLE32(p + kTotalSizeOffset));
    if (total < 0 || static_cast<std::uint64_t>(total) != length) {
        Fail(ImageRule::TotalSizeNotFileLength, kTotalSizeOffset);
    }
    const std::uint8_t* first = p + kContainerHeaderSize;
    if (std::uint64_t{common::LoadLE32(first + kSectionSizeOffset)} + kContainerHeaderSize >
        length) {
        Fail(ImageRule::FirstSectionBeyondEnd, kContainerHeaderSize + kSectionSizeOffset, 0);
    }
    if (common::LoadLE32(first + kSectionTypeOffset) != SECTION_DEVICE_IDENTITY) {
        Fail(ImageRule::FirstSectionNotIdentity, kContainerHeaderSize + kSectionTypeOffset, 0);
    }
}

void COrnaFirmware::ParseSections() {
    ValidateHeader();
    const std::uint8_t* p = image_.data();
    totalSize_ = static_cast<std::int32_t>(common::LoadLE32(p + kTotalSizeOffset));
    sectionCount_ = static_cast<std::int32_t>(common::LoadLE32(p + kSectionCountOffset));

    const auto total = static_cast<std::uint64_t>(totalSize_);
    // No more sections can fit than headers fit; the count itself is not to be trusted.
    const auto room = (total - kContainerHeaderSize) / kSectionHeaderSize;
    commands.reserve(
        static_cast<std::size_t>(std::min<std::uint64_t>(std::max(sectionCount_, 0), room)));

    // 64 bits, so a huge section size runs past the total size instead of wrapping round.
    std::uint64_t offset = kContainerHeaderSize;
    for (std::int32_t index = 0; index < sectionCount_; ++index) {
        if (offset + kSectionHeaderSize > total) {
            Fail(ImageRule::SectionHeaderBeyondEnd, offset, index);
        }
        const std::uint8_t* header = p + offset;
        const std::uint32_t size = common::LoadLE32(header + kSectionSizeOffset);
        const std::uint32_t type = common::LoadLE32(header + kSectionTypeOffset);
        const std::uint32_t value1 = common::LoadLE32(header + kSectionValue1Offset);
        const std::uint32_t value2 = common::LoadLE32(header + kSectionValue2Offset);
        const std::uint8_t* data = header + kSectionHeaderSize;
        const bool dataFitsSection = std::uint64_t{value2} + kSectionHeaderSize <= size;

        if (type == SECTION_DEVICE_IDENTITY) {
            identityType = type;
            identityValue1 = value1;
            identityValue2 = value2;
            identityData = data;
            if (!dataFitsSection) {
                Fail(ImageRule::IdentityDataBeyondSection, offset + kSectionValue2Offset, index);
            }
            // The flag byte at offset 12 is read at the end of the update; it has to exist.
            if (value2 < kIdentityMinimumLength) {
                Fail(ImageRule::IdentityDataTooShort, offset + kSectionValue2Offset, index);
            }
        } else {
            if (size < kSectionHeaderSize) {
                Fail(ImageRule::SectionShorterThanHeader, offset + kSectionSizeOffset, index);
            }
            // The update sends value 2 bytes from these sections.
            if (SendsValue2DataBytes(type) && !dataFitsSection) {
                Fail(ImageRule::SectionDataBeyondSection, offset + kSectionValue2Offset, index);
            }
        }
        commands.push_back(_COMMAND{type, value1, value2, data});
        offset += size;
    }

    if (offset != total) {
        Fail(ImageRule::SectionsNotEndingAtEnd, offset);
    }
    if (commands.size() != static_cast<std::size_t>(sectionCount_)) {
        Fail(ImageRule::FewerSectionsThanCounted, kSectionCountOffset);
    }

    // Every section now lies inside the buffer, so the identity data can be read.
    const auto identityOffset = static_cast<std::uint64_t>(identityData - p);
    if (VendorId() == 0) {
        Fail(ImageRule::ZeroVendorId, identityOffset + kIdentityVendorOffset);
    }
    if (ProductId() == 0) {
        Fail(ImageRule::ZeroProductId, identityOffset + kIdentityProductOffset);
    }
    if (ModelCode() == 0) {
        Fail(ImageRule::ZeroModelCode, identityOffset + kIdentityModelOffset);
    }
    versionOffset_ = VersionOffsetForModel(ModelCode());
    CheckVersionSections();
    CheckBareCommandIsLast();
}

void COrnaFirmware::CheckVersionSections() {
    // Every version section is checked; the last one stays as the version data.
    for (std::size_t index = 0; index < commands.size(); ++index) {
        const _COMMAND& command = commands[index];
        if (!IsVersionSection(command.type)) {
            continue;
        }
        versionDataLength_ = command.value2;
        versionData_ = command.data;
        const auto dataOffset = static_cast<std::uint64_t>(command.data - image_.data());
        if (std::uint64_t{versionDataLength_} <
            std::uint64_t{versionOffset_} + kVersionTextLength) {
            Fail(ImageRule::VersionSectionTooShort,
                 dataOffset - kSectionHeaderSize + kSectionValue2Offset,
                 static_cast<std::int64_t>(index));
        }
        for (std::size_t i = 0; i < kVersionTextLength; ++i) {
            const std::uint8_t c = versionData_[versionOffset_ + i];
            if (c < 0x20 || c > 0x7E) {
                Fail(ImageRule::VersionTextNotPrintable, dataOffset + versionOffset_ + i,
                     static_cast<std::int64_t>(index));
            }
        }
    }
}

void COrnaFirmware::CheckBareCommandIsLast() {
    // A bare command makes the watch leave the bus and the update never reopens it: nothing
    // that needs the watch can follow, neither a section nor an end-of-update command. Such
    // an image would write the whole update and then fail on a watch that is gone.
    bool watchGone = false;
    std::int64_t lastIdentity = -1;
    for (std::size_t index = 0; index < commands.size(); ++index) {
        const _COMMAND& command = commands[index];
        if (command.type == SECTION_DEVICE_IDENTITY) {
            lastIdentity = static_cast<std::int64_t>(index);
        }
        if (!NeedsDevice(command.type)) {
            continue;
        }
        if (watchGone) {
            const auto dataOffset = static_cast<std::uint64_t>(command.data - image_.data());
            Fail(ImageRule::BareCommandNotLast,
                 dataOffset - kSectionHeaderSize + kSectionTypeOffset,
                 static_cast<std::int64_t>(index));
        }
        watchGone = IsBareCommand(command.type);
    }
    // The end-of-update flags each send one bare command after the last section.
    const std::uint8_t flags = Flags() & (kFlagCommand30 | kFlagCommand31 | kFlagCommand32);
    const int flagCommands = std::popcount(flags);
    if (flagCommands > (watchGone ? 0 : 1)) {
        Fail(ImageRule::BareCommandNotLast,
             static_cast<std::uint64_t>(identityData - image_.data()) + kIdentityFlagsOffset,
             lastIdentity);
    }
}

void COrnaFirmware::Fail(ImageRule rule, std::uint64_t offset, std::int64_t section,
                         int systemError) {
    const std::int32_t code = ImageRuleCode(rule);
    if (diagnostic_ != nullptr) {
        *diagnostic_ = ImageDiagnostic{code, rule, offset, section, systemError};
    }
    throw ArmillonException(code);
}

void COrnaFirmware::ResetVersionData(std::uint32_t) {
    versionData_ = nullptr;
    versionDataLength_ = 0;
    versionOffset_ = 0;
}

std::unique_ptr<OrnaFirmwareVersion> COrnaFirmware::CreateVersion() {
    return std::make_unique<OrnaFirmwareVersion>(GetVersionText());
}

const char* COrnaFirmware::GetModelText() {
    FormatInto(gModelTextBuffer, sizeof gModelTextBuffer, modelText_);
    return gModelTextBuffer;
}

const char* COrnaFirmware::GetVersionText() {
    FormatInto(gVersionTextBuffer, sizeof gVersionTextBuffer, versionText_);
    return gVersionTextBuffer;
}

void COrnaFirmware::Reserved1(std::uint32_t) {}

void COrnaFirmware::GetVersionData(std::uint32_t& length, const std::uint8_t*& data) {
    length = versionDataLength_;
    data = versionData_;
}

std::int32_t COrnaFirmware::Reserved2() {
    return 0;
}

std::int32_t COrnaFirmware::ReadNextByte() {
    if (gReadCursor < versionDataLength_) {
        return versionData_[gReadCursor++];
    }
    return -1;
}

std::uint16_t COrnaFirmware::VendorId() const {
    return common::LoadLE16(identityData + kIdentityVendorOffset);
}

std::uint16_t COrnaFirmware::ProductId() const {
    return common::LoadLE16(identityData + kIdentityProductOffset);
}

std::array<std::uint8_t, 4> COrnaFirmware::ModelBytes() const {
    std::array<std::uint8_t, 4> bytes{};
    std::copy_n(identityData + kIdentityModelOffset, bytes.size(), bytes.begin());
    return bytes;
}

std::uint32_t COrnaFirmware::ModelCode() const {
    return common::LoadLE32(identityData + kIdentityModelOffset);
}

std::uint8_t COrnaFirmware::Flags() const {
    return identityData[kIdentityFlagsOffset];
}
