#include "ResourceLookup.h"
#include "ResourceIds.h"

namespace res {
namespace {

constexpr std::uint16_t kPrimaryMask = 0x03FF;
constexpr std::uint16_t kPrimaryChinese = 0x0004;

bool IsTraditionalChineseRegion(std::uint16_t language) {
    switch (language) {
        case 0x0404:  // Taiwan
        case 0x0C04:  // Hong Kong
        case 0x1404:  // Macau
        case 0x7C04:  // Traditional Chinese, no region
            return true;
        default:
            return false;
    }
}

}  // namespace

std::span<const LanguageResources* const> AllLanguages() {
    static constexpr const LanguageResources* kAll[] = {
        &kGerman,   &kFrench,  &kTraditionalChinese, &kEnglish,
        &kJapanese, &kRussian, &kSimplifiedChinese,
    };
    return kAll;
}

const LanguageResources* MatchLanguage(std::uint16_t language) {
    const std::uint16_t primary = language & kPrimaryMask;
    if (primary == 0) {
        return nullptr;
    }
    for (const auto* resources : AllLanguages()) {
        if (resources->language == language) {
            return resources;
        }
    }
    if (primary == kPrimaryChinese) {
        return IsTraditionalChineseRegion(language) ? &kTraditionalChinese : &kSimplifiedChinese;
    }
    for (const auto* resources : AllLanguages()) {
        if ((resources->language & kPrimaryMask) == primary) {
            return resources;
        }
    }
    return nullptr;
}

std::optional<StringBlock> FindStringBlock(const LanguageResources& resources,
                                           unsigned blockNumber) {
    StringBlock block{};
    bool present = false;
    for (const auto& entry : resources.strings) {
        if (StringBlockNumber(entry.id) == blockNumber) {
            block[StringBlockIndex(entry.id)] = entry.text;
            present = true;
        }
    }
    if (!present) {
        return std::nullopt;
    }
    return block;
}

const DialogTemplate* FindDialog(const LanguageResources& resources, std::uint16_t id) {
    for (const auto& dialog : resources.dialogs) {
        if (dialog.id == id) {
            return &dialog;
        }
    }
    return nullptr;
}

std::vector<const LanguageResources*> NeutralCandidates(std::uint16_t userLanguage) {
    std::vector<const LanguageResources*> candidates;
    if (const auto* own = MatchLanguage(userLanguage)) {
        candidates.push_back(own);
    }
    if (candidates.empty() || candidates.front() != &kEnglish) {
        candidates.push_back(&kEnglish);
    }
    return candidates;
}

namespace {

std::optional<std::wstring_view> StringIn(const LanguageResources& resources, std::uint16_t id) {
    const auto block = FindStringBlock(resources, StringBlockNumber(id));
    if (!block) {
        return std::nullopt;
    }
    const auto text = (*block)[StringBlockIndex(id)];
    if (text.empty()) {
        return std::nullopt;
    }
    return text;
}

}  // namespace

std::wstring LoadString(std::uint16_t id, std::uint16_t language, std::uint16_t userLanguage) {
    if (const auto* resources = MatchLanguage(language)) {
        if (const auto text = StringIn(*resources, id)) {
            return std::wstring(*text);
        }
    }
    for (const auto* resources : NeutralCandidates(userLanguage)) {
        if (const auto text = StringIn(*resources, id)) {
            return std::wstring(*text);
        }
    }
    return {};
}

const DialogTemplate* FindDialogTemplate(std::uint16_t id, std::uint16_t language,
                                         std::uint16_t userLanguage) {
    if (const auto* resources = MatchLanguage(language)) {
        if (const auto* dialog = FindDialog(*resources, id)) {
            return dialog;
        }
    }
    for (const auto* resources : NeutralCandidates(userLanguage)) {
        if (const auto* dialog = FindDialog(*resources, id)) {
            return dialog;
        }
    }
    return nullptr;
}

const LanguageResources& ResourcesFor(std::uint16_t language, std::uint16_t userLanguage) {
    if (const auto* resources = MatchLanguage(language)) {
        return *resources;
    }
    return *NeutralCandidates(userLanguage).front();
}

std::optional<std::size_t> FindDialogItem(const DialogTemplate& dialogTemplate, int id) {
    if (id == IDC_NONE) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < dialogTemplate.items.size(); ++i) {
        if (dialogTemplate.items[i].id == id) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace res
