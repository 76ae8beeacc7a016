#include "ImageDiagnostic.h"

#include "ArmillonExceptionCodes.h"

namespace {

using exception_code::kImageCannotBeOpened;
using exception_code::kImageMalformed;
using exception_code::kImageReadShort;

struct RuleInfo {
    const char* name;
    const char* text;
    std::int32_t code;
};

RuleInfo Info(ImageRule rule) {
    switch (rule) {
        case ImageRule::None:
            return {"none", "no rule broken", 0};
        case ImageRule::FileCannotBeOpened:
            return {"file-cannot-be-opened", "the image file cannot be opened",
                    kImageCannotBeOpened};
        case ImageRule::FileReadShort:
            return {"file-read-short", "the image file cannot be read in full", kImageReadShort};
        case ImageRule::FileTooLarge:
            return {"file-too-large", "the file is longer than any image can be", kImageMalformed};
        case ImageRule::TooShort:
            return {"too-short", "shorter than the container header and one section header",
                    kImageMalformed};
        case ImageRule::TotalSizeNotFileLength:
            return {"total-size-not-file-length", "the total size differs from the file length",
                    kImageMalformed};
        case ImageRule::FirstSectionBeyondEnd:
            return {"first-section-beyond-end", "the first section runs past the end of the file",
                    kImageMalformed};
        case ImageRule::FirstSectionNotIdentity:
            return {"first-section-not-identity", "the first section is not the identity section",
                    kImageMalformed};
        case ImageRule::SectionHeaderBeyondEnd:
            return {"section-header-beyond-end", "a section header runs past the total size",
                    kImageMalformed};
        case ImageRule::SectionShorterThanHeader:
            return {"section-shorter-than-header", "a section is shorter than its 16-byte header",
                    kImageMalformed};
        case ImageRule::IdentityDataBeyondSection:
            return {"identity-data-beyond-section", "the identity data is longer than its section",
                    kImageMalformed};
        case ImageRule::IdentityDataTooShort:
            return {"identity-data-too-short",
                    "the identity data is shorter than 13 bytes (no flag byte)", kImageMalformed};
        case ImageRule::SectionDataBeyondSection:
            return {"section-data-beyond-section",
                    "value 2 counts more data bytes than the section holds", kImageMalformed};
        case ImageRule::SectionsNotEndingAtEnd:
            return {"sections-not-ending-at-end",
                    "the sections do not end exactly at the total size", kImageMalformed};
        case ImageRule::FewerSectionsThanCounted:
            return {"fewer-sections-than-counted", "fewer sections than the section count",
                    kImageMalformed};
        case ImageRule::ZeroVendorId:
            return {"zero-vendor-id", "the USB vendor identifier is 0", kImageMalformed};
        case ImageRule::ZeroProductId:
            return {"zero-product-id", "the USB product identifier is 0", kImageMalformed};
        case ImageRule::ZeroModelCode:
            return {"zero-model-code", "the model code is 0", kImageMalformed};
        case ImageRule::VersionSectionTooShort:
            return {"version-section-too-short",
                    "a version section is too short for its version text", kImageMalformed};
        case ImageRule::VersionTextNotPrintable:
            return {"version-text-not-printable", "a version text holds a non-printable character",
                    kImageMalformed};
        case ImageRule::BareCommandNotLast:
            return {"bare-command-not-last",
                    "a step that needs the watch follows a bare command (0x30, 0x31, 0x32 or an "
                    "end-of-update flag), after which the watch has left the bus",
                    kImageMalformed};
    }
    return {"unknown", "unknown rule", kImageMalformed};
}

}  // namespace

const char* ImageRuleName(ImageRule rule) {
    return Info(rule).name;
}

const char* ImageRuleText(ImageRule rule) {
    return Info(rule).text;
}

std::int32_t ImageRuleCode(ImageRule rule) {
    return Info(rule).code;
}
