#include "MessageBoxButtons.h"

#include "MessageBoxRequest.h"
#include "PlatformServices.h"
#include "ResourceLookup.h"

namespace ui {

MessageBoxButtons ButtonsFor(std::uint32_t style, const res::ButtonLabels& labels) {
    const MessageBoxButton ok{IDOK, labels.ok, 'o'};
    const MessageBoxButton cancel{IDCANCEL, labels.cancel, 'c'};
    const MessageBoxButton retry{IDRETRY, labels.retry, 'r'};
    const MessageBoxButton yes{IDYES, labels.yes, 'y'};
    const MessageBoxButton no{IDNO, labels.no, 'n'};

    MessageBoxButtons set{};
    switch (style & MB_TYPEMASK) {
        case MB_OKCANCEL:
            set.buttons = {ok, cancel};
            break;
        case MB_YESNOCANCEL:
            set.buttons = {yes, no, cancel};
            break;
        case MB_YESNO:
            set.buttons = {yes, no};
            break;
        case MB_RETRYCANCEL:
            set.buttons = {retry, cancel};
            break;
        default:
            set.buttons = {ok};
            break;
    }
    const std::size_t defaultIndex = (style & MB_DEFMASK) >> 8;
    set.defaultResult = set.buttons[defaultIndex < set.buttons.size() ? defaultIndex : 0].result;
    const auto has = [&](int result) {
        for (const auto& button : set.buttons) {
            if (button.result == result) {
                return true;
            }
        }
        return false;
    };
    set.endOfInputResult = has(IDCANCEL) ? IDCANCEL : has(IDNO) ? IDNO : IDOK;
    return set;
}

const res::ButtonLabels& ButtonLabelsFor(std::uint16_t language) {
    const auto userLanguage = static_cast<std::uint16_t>(platform::ThreadLocale().Current());
    return res::ResourcesFor(language, userLanguage).buttons;
}

}  // namespace ui
