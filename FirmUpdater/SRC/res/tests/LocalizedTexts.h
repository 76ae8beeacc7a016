#pragma once

// Texts of the string tables as a dialog shows them, for the desktop backends' tests.

#include <cstdint>
#include <map>
#include <string>

#include "ResourceIds.h"
#include "ResourceLookup.h"

namespace res::testing {

// The language's tag as fonts and screenshots name it.
inline std::string LanguageTag(std::uint16_t language) {
    static const std::map<std::uint16_t, std::string> tags{{LANG_GERMAN, "de"},
                                                           {LANG_FRENCH, "fr"},
                                                           {LANG_TRADITIONAL_CHINESE, "zh-TW"},
                                                           {LANG_ENGLISH, "en"},
                                                           {LANG_JAPANESE, "ja"},
                                                           {LANG_RUSSIAN, "ru"},
                                                           {LANG_SIMPLIFIED_CHINESE, "zh-CN"}};
    return tags.at(language);
}

inline std::wstring Text(std::uint16_t id, std::uint16_t language) {
    return LoadString(id, language, language);
}

// The string with its one placeholder ("%5s" or "%s") filled.
inline std::wstring Filled(std::uint16_t id, std::uint16_t language, std::wstring value) {
    auto text = Text(id, language);
    if (const auto at = text.find(L"%5s"); at != std::wstring::npos) {
        value.insert(0, value.size() < 5 ? 5 - value.size() : 0, L' ');
        return text.replace(at, 3, value);
    }
    if (const auto at = text.find(L"%s"); at != std::wstring::npos) {
        return text.replace(at, 2, value);
    }
    return text;
}

}  // namespace res::testing
