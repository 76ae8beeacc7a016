#include "Win32_DialogWindow.h"

#include <algorithm>

#include "Dialog.h"
#include "DialogTemplateBytes.h"
#include "Win32_Window.h"
// After the framework's headers.
#include "Win32_Api.h"

namespace ui {
namespace {

constexpr std::uint32_t kPbsMarquee = 0x08;
// Steps of a bar that shows an amount.
constexpr int kAmountRange = 10000;

}  // namespace

Win32_DialogWindow::Win32_DialogWindow(const res::DialogTemplate& dialogTemplate, Dialog& dialog)
    : template_(dialogTemplate),
      dialog_(dialog),
      marqueeStarted_(dialogTemplate.items.size(), false),
      measured_(dialogTemplate.items.size(), false) {}

int Win32_DialogWindow::Run(const res::DialogTemplate& dialogTemplate, Dialog& dialog, HWND owner) {
    // An owned dialog has no task bar button of its own; it gets one, since the program's
    // dialog beneath it is hidden while it runs and the program would have none.
    const auto bytes = DialogTemplateBytes(dialogTemplate, owner != nullptr ? WS_EX_APPWINDOW : 0);
    Win32_DialogWindow window(dialogTemplate, dialog);
    const INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), owner,
        &Win32_DialogWindow::Procedure, reinterpret_cast<LPARAM>(&window));
    dialog.Attach(nullptr);
    if (window.error_) {
        std::rethrow_exception(window.error_);
    }
    return static_cast<int>(result);
}

std::intptr_t Win32_DialogWindow::Procedure(HWND hwnd, unsigned message, Win32_WParam wParam,
                                            Win32_LParam lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        auto* window = reinterpret_cast<Win32_DialogWindow*>(lParam);
        window->Initialise(hwnd);
    }
    auto* window = reinterpret_cast<Win32_DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    return window != nullptr ? window->HandleMessage(message, wParam) : FALSE;
}

void Win32_DialogWindow::Initialise(HWND hwnd) {
    hwnd_ = hwnd;
    // The dialog manager creates the controls in template order, each below the previous.
    for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        controls_.push_back(child);
    }
    controls_.resize(template_.items.size(), nullptr);
    SetProgramIcon(hwnd);
    CenterOverOwner(hwnd);
    dialog_.Attach(this);
}

std::intptr_t Win32_DialogWindow::HandleMessage(unsigned message, Win32_WParam wParam) {
    switch (message) {
        case WM_INITDIALOG: {
            bool focusFirst = true;
            Guard([&] { focusFirst = dialog_.OnInitDialog(); });
            return focusFirst ? TRUE : FALSE;
        }
        case WM_COMMAND:
            // Push buttons, and Enter and Esc through the dialog manager.
            if (HIWORD(wParam) == BN_CLICKED) {
                Guard([&] { dialog_.PressButton(LOWORD(wParam)); });
            }
            return TRUE;
        case WM_TIMER:
            Guard([&] { dialog_.OnTimer(static_cast<unsigned>(wParam)); });
            return TRUE;
        case WM_CLOSE:
            // The dialog manager would turn it into Cancel even without a system menu.
            Guard([&] { dialog_.PressClose(); });
            return TRUE;
        default:
            return FALSE;
    }
}

template <typename Handler>
void Win32_DialogWindow::Guard(Handler&& handler) {
    if (error_) {
        return;
    }
    try {
        handler();
    } catch (...) {
        error_ = std::current_exception();
        ::EndDialog(hwnd_, -1);
    }
}

std::optional<std::size_t> Win32_DialogWindow::IndexOf(int id) const {
    const auto index = res::FindDialogItem(template_, id);
    if (!index || *index >= controls_.size() || controls_[*index] == nullptr) {
        return std::nullopt;
    }
    return index;
}

bool Win32_DialogWindow::HasItem(int id) const {
    return IndexOf(id).has_value();
}

void Win32_DialogWindow::SetItemText(int id, std::wstring_view text) {
    if (const auto index = IndexOf(id)) {
        SetWindowTextW(controls_[*index], std::wstring(text).c_str());
    }
}

std::wstring Win32_DialogWindow::ItemText(int id) const {
    const auto index = IndexOf(id);
    if (!index) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(controls_[*index])) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(controls_[*index], text.data(), static_cast<int>(text.size()))));
    return text;
}

void Win32_DialogWindow::SetFocus(int id) {
    if (const auto index = IndexOf(id)) {
        // Through the dialog manager, so that a focused push button becomes the default one.
        SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(controls_[*index]), TRUE);
    }
}

std::optional<int> Win32_DialogWindow::Focus() const {
    const HWND focus = GetFocus();
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i] == focus && focus != nullptr) {
            return template_.items[i].id;
        }
    }
    return std::nullopt;
}

void Win32_DialogWindow::SetProgressPosition(int id, int position) {
    const auto index = IndexOf(id);
    if (!index) {
        return;
    }
    const HWND bar = controls_[*index];
    if (measured_[*index]) {
        return;  // the bar shows an amount now
    }
    if ((template_.items[*index].style & kPbsMarquee) != 0) {
        // A marquee bar shows no amount, only that the program is alive: the first position
        // starts its animation, which runs on this thread's messages like the timer does.
        if (!marqueeStarted_[*index]) {
            marqueeStarted_[*index] = true;
            SendMessageW(bar, PBM_SETMARQUEE, TRUE, 0);
        }
        return;
    }
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void Win32_DialogWindow::SetProgressAmount(int id, std::uint64_t done, std::uint64_t total) {
    const auto index = IndexOf(id);
    if (!index || template_.items[*index].controlClass != res::ControlClass::ProgressBar) {
        return;
    }
    const HWND bar = controls_[*index];
    if (!measured_[*index]) {
        // From now on a determinate bar, also when the template made it a marquee.
        measured_[*index] = true;
        SendMessageW(bar, PBM_SETMARQUEE, FALSE, 0);
        SetWindowLongPtrW(bar, GWL_STYLE, GetWindowLongPtrW(bar, GWL_STYLE) & ~PBS_MARQUEE);
        SendMessageW(bar, PBM_SETRANGE32, 0, kAmountRange);
    }
    const double fraction =
        total == 0 ? 0.0 : static_cast<double>(std::min(done, total)) / static_cast<double>(total);
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(fraction * kAmountRange), 0);
}

bool Win32_DialogWindow::SetTimer(unsigned id, std::chrono::milliseconds period) {
    return ::SetTimer(hwnd_, id, static_cast<UINT>(period.count()), nullptr) != 0;
}

bool Win32_DialogWindow::KillTimer(unsigned id) {
    return ::KillTimer(hwnd_, id) != FALSE;
}

void Win32_DialogWindow::SetVisible(bool visible) {
    ::ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

void Win32_DialogWindow::End(int result) {
    ::EndDialog(hwnd_, result);
}

}  // namespace ui
