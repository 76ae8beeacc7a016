#pragma once
// The firmware image of the watch. Construction reads the whole file into one buffer,
// checks every rule of the format and splits it into the command list; it either yields a
// fully checked image or throws ArmillonException with code 2 (cannot open), 13 (broken
// format) or 30 (cannot read in full). Section data is never copied: the command list and
// the identity values point into the buffer.

#include "CFirmwareData.h"
#include "ImageDiagnostic.h"
#include "ImageFileReader.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class COrnaFirmware : public CFirmwareData {
  public:
    // imagePath null or empty selects the built-in image. versionText, when not empty,
    // replaces the image's version text (converted to the locale's multibyte encoding);
    // modelText, when not empty, is the model text. Texts longer than their buffers (5 and
    // 4 bytes) are cut at a character boundary.
    COrnaFirmware(const wchar_t* imagePath, const wchar_t* versionText, const char* modelText);
    // The same; when loading fails, *diagnostic (if given) says which rule broke and where.
    // reader null means the platform's.
    COrnaFirmware(const wchar_t* imagePath, const wchar_t* versionText, const char* modelText,
                  ImageDiagnostic* diagnostic, ImageFileReader* reader = nullptr);
    // An image already in memory (tools, tests, fuzzing): the bytes become the image buffer
    // and go through the same checks as a file's.
    COrnaFirmware(std::vector<std::uint8_t> image, const wchar_t* versionText,
                  const char* modelText, ImageDiagnostic* diagnostic = nullptr);
    ~COrnaFirmware() override = default;

    void ResetVersionData(std::uint32_t unused) override;
    std::unique_ptr<OrnaFirmwareVersion> CreateVersion() override;
    const char* GetModelText() override;
    const char* GetVersionText() override;
    void Reserved1(std::uint32_t unused) override;
    void GetVersionData(std::uint32_t& length, const std::uint8_t*& data) override;
    std::int32_t Reserved2() override;
    std::int32_t ReadNextByte() override;

    // The identity section (the last one when there are several).
    std::uint32_t identityType = 0;
    std::uint32_t identityValue1 = 0;
    std::uint32_t identityValue2 = 0;
    const std::uint8_t* identityData = nullptr;

    // Fields of the identity data; the loader guarantees it holds at least 13 bytes.
    std::uint16_t VendorId() const;
    std::uint16_t ProductId() const;
    // The four model code bytes in file order, and the same read as a 32-bit value.
    std::array<std::uint8_t, 4> ModelBytes() const;
    std::uint32_t ModelCode() const;
    // The end-of-update flags.
    std::uint8_t Flags() const;

    std::int32_t TotalSize() const { return totalSize_; }
    std::int32_t SectionCount() const { return sectionCount_; }
    std::uint32_t VersionOffset() const { return versionOffset_; }
    std::span<const std::uint8_t> Image() const { return image_; }

  private:
    void Construct(const wchar_t* versionText, const char* modelText, ImageFileReader* reader);
    void LoadImage(ImageFileReader& reader);
    void ValidateHeader();
    void ParseSections();
    void CheckVersionSections();
    void CheckBareCommandIsLast();
    [[noreturn]] void Fail(ImageRule rule, std::uint64_t offset, std::int64_t section = -1,
                           int systemError = 0);

    std::string versionText_;
    std::string modelText_;
    std::wstring imagePath_;
    std::vector<std::uint8_t> image_;
    std::int32_t totalSize_ = 0;
    std::int32_t sectionCount_ = 0;
    const std::uint8_t* versionData_ = nullptr;
    std::uint32_t versionDataLength_ = 0;
    std::uint32_t versionOffset_ = 0;

    bool imageGiven_ = false;
    ImageDiagnostic* diagnostic_ = nullptr;
};
