#include "CMessageDisplay.h"

#include "Dialog.h"
#include "MessageBoxRequest.h"
#include "ResourceIds.h"
#include "TextFormat.h"
#include "UiBackend.h"
#include "UiLanguage.h"

CMessageDisplay::CMessageDisplay(ui::UiBackend& ui)
    : ui_(ui), owner_(nullptr), caption_(::LoadText(res::IDS_APP_CAPTION)) {}

CMessageDisplay::CMessageDisplay(const ui::Dialog& owner)
    : ui_(owner.Ui()), owner_(&owner), caption_(::LoadText(res::IDS_APP_CAPTION)) {}

std::wstring CMessageDisplay::LoadText(std::uint16_t id) const {
    return ::LoadText(id);
}

std::wstring CMessageDisplay::FormatText(std::uint16_t id,
                                         std::initializer_list<std::wstring_view> args) const {
    return FormatWide(LoadText(id), args);
}

int CMessageDisplay::Show(std::uint16_t id, std::uint32_t style) const {
    return ShowText(LoadText(id), style);
}

int CMessageDisplay::ShowText(std::wstring_view text, std::uint32_t style) const {
    return ui_.ShowMessageBox(
        {std::wstring(text), caption_, style | ui::MB_TOPMOST, uiLanguage, owner_});
}
