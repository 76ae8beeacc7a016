#pragma once
// The user's locale as a locale identifier of the kind the interface language is chosen
// by (low 16 bits: the language identifier, e.g. 0x0407 German in Germany). On Linux it
// comes from the POSIX locale variables.

#include <cstdint>
#include <string_view>

#include "IThreadLocale.h"

class Linux_ThreadLocale {
  public:
    // What C, POSIX and unknown locales map to, so that the language choice falls back to
    // English.
    static constexpr std::uint32_t kInvariant = IThreadLocale::kInvariant;

    // The first non-empty of LC_ALL, LC_MESSAGES and LANG, mapped by FromPosixName.
    static std::uint32_t Current();

    // "de_AT.UTF-8@euro" -> 0x0C07. Covers German, French, Japanese, Russian, Chinese and
    // English with their usual regions; a known language with an unknown region gets the
    // language's main region.
    static std::uint32_t FromPosixName(std::string_view name);
};
