#include "Windows_WindowAnnouncer.h"

#include <windows.h>

#include <string>

namespace {

class HiddenWindow : public ui::WindowAnnouncement {
  public:
    explicit HiddenWindow(HWND window) : window_(window) {}
    ~HiddenWindow() override { ::DestroyWindow(window_); }
    HiddenWindow(const HiddenWindow&) = delete;
    HiddenWindow& operator=(const HiddenWindow&) = delete;

  private:
    HWND window_;
};

}  // namespace

std::unique_ptr<ui::WindowAnnouncement> Windows_WindowAnnouncer::Announce(std::wstring_view title) {
    const std::wstring text(title);
    // Top-level and never shown: FindWindowW sees hidden windows, the user does not. (A
    // message-only window would not be found.)
    const HWND window =
        ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", text.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                          nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) {
        return nullptr;
    }
    return std::make_unique<HiddenWindow>(window);
}
