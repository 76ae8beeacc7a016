#pragma once
// Why the loader refused an image: the rule that broke and the byte offset where it broke.
// The loader throws only the code (2, 13 or 30) to the application; tools that want to tell
// a firmware engineer more ask the loader to fill one of these as well.

#include <cstdint>

enum class ImageRule {
    None,
    // Code 2.
    FileCannotBeOpened,
    // Code 30.
    FileReadShort,
    // Code 13.
    FileTooLarge,
    TooShort,
    TotalSizeNotFileLength,
    FirstSectionBeyondEnd,
    FirstSectionNotIdentity,
    SectionHeaderBeyondEnd,
    SectionShorterThanHeader,
    IdentityDataBeyondSection,
    IdentityDataTooShort,
    SectionDataBeyondSection,
    SectionsNotEndingAtEnd,
    FewerSectionsThanCounted,
    ZeroVendorId,
    ZeroProductId,
    ZeroModelCode,
    VersionSectionTooShort,
    VersionTextNotPrintable,
    BareCommandNotLast,
};

struct ImageDiagnostic {
    std::int32_t code = 0;
    ImageRule rule = ImageRule::None;
    // Byte offset in the image of the field or byte that broke the rule; for a short read,
    // the number of bytes that could be read.
    std::uint64_t offset = 0;
    // Index of the section concerned, or -1.
    std::int64_t section = -1;
    // errno of a failed open or read, else 0.
    int systemError = 0;
};

// A stable short name ("section-header-beyond-end") and a sentence for people.
const char* ImageRuleName(ImageRule rule);
const char* ImageRuleText(ImageRule rule);
// The loader's code for a broken rule.
std::int32_t ImageRuleCode(ImageRule rule);
