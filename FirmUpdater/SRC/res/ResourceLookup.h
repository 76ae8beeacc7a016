#pragma once
// Finding a resource by language, the way the platform's resource loader does it on the
// system the tool came from: a lookup in the requested language and, when that fails, the
// language-neutral lookup (language 0).
//
// Matching a requested language identifier against the seven languages the program
// carries: the exact identifier first, then the same primary language (the low 10 bits),
// with Chinese split by region (Taiwan, Hong Kong and Macau read Traditional Chinese, every
// other Chinese identifier Simplified Chinese). The neutral lookup tries the user's own
// language when the program has it, then English.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Resources.h"

namespace res {

// String tables are kept in blocks of 16: block number = ID / 16 + 1, index = ID % 16.
// An absent string is empty.
using StringBlock = std::array<std::wstring_view, 16>;

inline constexpr unsigned StringBlockNumber(std::uint16_t id) {
    return id / 16u + 1u;
}
inline constexpr unsigned StringBlockIndex(std::uint16_t id) {
    return id % 16u;
}

// The resources that answer a request for `language`, or null when the program has none
// in it. Language 0 is the neutral lookup and is not matched here.
const LanguageResources* MatchLanguage(std::uint16_t language);

// The block of 16 strings, or nothing when the language has no string in that block.
std::optional<StringBlock> FindStringBlock(const LanguageResources& resources,
                                           unsigned blockNumber);

const DialogTemplate* FindDialog(const LanguageResources& resources, std::uint16_t id);

// The languages the neutral lookup tries, in order.
std::vector<const LanguageResources*> NeutralCandidates(std::uint16_t userLanguage);

// A string in `language`; when that language lacks its block or the string there is empty,
// the neutral lookup's first language that has it. Empty when none has it.
std::wstring LoadString(std::uint16_t id, std::uint16_t language, std::uint16_t userLanguage);

// A dialog template in `language`, else through the neutral lookup; null when none has it.
const DialogTemplate* FindDialogTemplate(std::uint16_t id, std::uint16_t language,
                                         std::uint16_t userLanguage);

// The resources of `language`, else of the neutral lookup; never null.
const LanguageResources& ResourcesFor(std::uint16_t language, std::uint16_t userLanguage);

}  // namespace res
