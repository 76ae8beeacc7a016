#include "Linux_ThreadLocale.h"

#include <cstdlib>
#include <string>

namespace {

struct Locale {
    std::string_view language;
    std::string_view territory;
    std::uint32_t id;
};

// The first row of each language is its main region.
constexpr Locale kLocales[] = {
    {"de", "DE", 0x0407}, {"de", "CH", 0x0807}, {"de", "AT", 0x0C07}, {"de", "LU", 0x1007},
    {"de", "LI", 0x1407}, {"fr", "FR", 0x040C}, {"fr", "BE", 0x080C}, {"fr", "CA", 0x0C0C},
    {"fr", "CH", 0x100C}, {"fr", "LU", 0x140C}, {"fr", "MC", 0x180C}, {"ja", "JP", 0x0411},
    {"ru", "RU", 0x0419}, {"ru", "MD", 0x0819}, {"zh", "CN", 0x0804}, {"zh", "TW", 0x0404},
    {"zh", "HK", 0x0C04}, {"zh", "SG", 0x1004}, {"zh", "MO", 0x1404}, {"en", "US", 0x0409},
    {"en", "GB", 0x0809}, {"en", "AU", 0x0C09}, {"en", "CA", 0x1009}, {"en", "NZ", 0x1409},
    {"en", "IE", 0x1809}, {"en", "ZA", 0x1C09}, {"en", "JM", 0x2009}, {"en", "BZ", 0x2809},
    {"en", "TT", 0x2C09}, {"en", "ZW", 0x3009}, {"en", "PH", 0x3409}, {"en", "IN", 0x4009},
    {"en", "MY", 0x4409}, {"en", "SG", 0x4809},
};

std::string Lower(std::string_view text) {
    std::string out(text);
    for (auto& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (auto& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

}  // namespace

std::uint32_t Linux_ThreadLocale::Current() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return FromPosixName(value);
        }
    }
    return kInvariant;
}

std::uint32_t Linux_ThreadLocale::FromPosixName(std::string_view name) {
    // language[_territory][.codeset][@modifier]
    name = name.substr(0, name.find_first_of(".@"));
    const auto separator = name.find_first_of("_-");
    const auto code = Lower(name.substr(0, separator));
    const auto territory =
        separator == std::string_view::npos ? std::string() : Upper(name.substr(separator + 1));
    const Locale* main = nullptr;
    for (const auto& locale : kLocales) {
        if (locale.language != code) {
            continue;
        }
        if (locale.territory == territory) {
            return locale.id;
        }
        if (main == nullptr) {
            main = &locale;
        }
    }
    if (main != nullptr) {
        return main->id;
    }
    return kInvariant;
}
