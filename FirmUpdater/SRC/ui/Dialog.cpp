#include "Dialog.h"

#include "DialogWindow.h"
#include "UiBackend.h"

namespace ui {
namespace {

bool IsPushButton(const res::DialogItem& item) {
    const auto type = item.style & res::BS_TYPEMASK;
    return item.controlClass == res::ControlClass::Button &&
           (type == res::BS_PUSHBUTTON || type == res::BS_DEFPUSHBUTTON);
}

}  // namespace

int Dialog::DoModal(const res::DialogTemplate& dialogTemplate, Dialog* parent) {
    if (window_ != nullptr) {
        return -1;
    }
    return ui_.RunModalDialog(dialogTemplate, *this, parent);
}

bool Dialog::HasDlgItem(int id) const {
    return window_ != nullptr && window_->HasItem(id);
}

void Dialog::SetDlgItemText(int id, std::wstring_view text) {
    if (window_ != nullptr) {
        window_->SetItemText(id, text);
    }
}

std::wstring Dialog::GetDlgItemText(int id) const {
    return window_ != nullptr ? window_->ItemText(id) : std::wstring();
}

void Dialog::GotoDlgCtrl(int id) {
    if (window_ != nullptr) {
        window_->SetFocus(id);
    }
}

void Dialog::SetProgressPos(int id, int position) {
    if (window_ != nullptr) {
        window_->SetProgressPosition(id, position);
    }
}

void Dialog::SetProgressAmount(int id, std::uint64_t done, std::uint64_t total) {
    if (window_ != nullptr) {
        window_->SetProgressAmount(id, done, total);
    }
}

unsigned Dialog::SetTimer(unsigned id, std::chrono::milliseconds period) {
    if (window_ == nullptr || id == 0 || !window_->SetTimer(id, period)) {
        return 0;
    }
    return id;
}

bool Dialog::KillTimer(unsigned id) {
    return window_ != nullptr && window_->KillTimer(id);
}

void Dialog::ShowWindow(bool visible) {
    if (window_ != nullptr) {
        window_->SetVisible(visible);
    }
}

void Dialog::EndDialog(int result) {
    if (window_ != nullptr) {
        window_->End(result);
    }
}

void Dialog::PressButton(int id) {
    if (window_ == nullptr) {
        return;
    }
    switch (id) {
        case IDOK:
            OnOK();
            break;
        case IDCANCEL:
            OnCancel();
            break;
        default:
            OnCommand(id);
            break;
    }
}

void Dialog::PressClose() {
    if (window_ != nullptr && (window_->Template().style & res::WS_SYSMENU) != 0) {
        OnCancel();
    }
}

int Dialog::EnterCommand() const {
    if (window_ == nullptr) {
        return IDOK;
    }
    const auto& items = window_->Template().items;
    if (const auto focus = window_->Focus()) {
        for (const auto& item : items) {
            if (item.id == *focus && IsPushButton(item)) {
                return item.id;
            }
        }
    }
    for (const auto& item : items) {
        if (IsPushButton(item) && (item.style & res::BS_TYPEMASK) == res::BS_DEFPUSHBUTTON) {
            return item.id;
        }
    }
    return IDOK;
}

}  // namespace ui
