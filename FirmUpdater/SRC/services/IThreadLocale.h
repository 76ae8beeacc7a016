#pragma once
// The user's locale as a locale identifier of the kind the interface language is chosen by
// (low 16 bits: the language identifier, e.g. 0x0407 German in Germany).

#include <cstdint>

class IThreadLocale {
  public:
    // Neither a language the program has resources in nor any other: what the platform's
    // neutral locales map to, so that the language choice falls back to English.
    static constexpr std::uint32_t kInvariant = 0x007F;

    virtual ~IThreadLocale() = default;

    // The calling thread's locale as it is now.
    virtual std::uint32_t Current() = 0;
};
