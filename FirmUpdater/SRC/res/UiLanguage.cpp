#include "UiLanguage.h"

#include "PlatformServices.h"
#include "ResourceIds.h"
#include "ResourceLookup.h"

namespace {

std::uint16_t UserLanguage() {
    return static_cast<std::uint16_t>(platform::ThreadLocale().Current());
}

}  // namespace

void SelectUiLanguage(std::uint16_t requested) {
    SelectUiLanguage(requested, platform::ThreadLocale().Current());
}

void SelectUiLanguage(std::uint16_t requested, std::uint32_t threadLocale) {
    uiLanguage = requested;
    if (requested != 0 || threadLocale == kCustomDefaultLocale) {
        return;
    }
    const auto language = static_cast<std::uint16_t>(threadLocale & 0xFFFF);
    const auto* resources = res::MatchLanguage(language);
    const bool found =
        resources != nullptr &&
        res::FindStringBlock(*resources, res::StringBlockNumber(res::IDS_APP_CAPTION));
    uiLanguage = found ? language : res::LANG_ENGLISH;
}

std::wstring LoadText(std::uint16_t id) {
    return res::LoadString(id, uiLanguage, UserLanguage());
}

const res::DialogTemplate* FindUiDialogTemplate(std::uint16_t id) {
    return res::FindDialogTemplate(id, uiLanguage, UserLanguage());
}

std::wstring_view UsageText() {
    return res::ResourcesFor(uiLanguage, UserLanguage()).usage;
}

std::wstring_view UninterruptibleNote() {
    return res::ResourcesFor(uiLanguage, UserLanguage()).uninterruptibleNote;
}
