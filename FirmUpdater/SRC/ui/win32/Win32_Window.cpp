#include "Win32_Window.h"

#include <algorithm>

#include "Dialog.h"
#include "Win32_DialogWindow.h"
// After the framework's headers.
#include "Win32_Api.h"

namespace ui {
namespace {

constexpr WORD kProgramIconId = 135;

HICON LoadProgramIcon(int sizeMetricX, int sizeMetricY) {
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                   GetSystemMetrics(sizeMetricX), GetSystemMetrics(sizeMetricY), LR_SHARED));
}

}  // namespace

void SetProgramIcon(HWND hwnd) {
    if (HICON big = LoadProgramIcon(SM_CXICON, SM_CYICON)) {
        SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    }
    if (HICON small = LoadProgramIcon(SM_CXSMICON, SM_CYSMICON)) {
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    }
}

void CenterOverOwner(HWND hwnd) {
    RECT window{};
    GetWindowRect(hwnd, &window);
    const HWND owner = GetWindow(hwnd, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner != nullptr ? owner : hwnd, MONITOR_DEFAULTTOPRIMARY),
                    &monitor);
    const RECT area = monitor.rcWork;
    RECT around = area;
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &around);
    }
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    LONG x = around.left + (around.right - around.left - width) / 2;
    LONG y = around.top + (around.bottom - around.top - height) / 2;
    x = std::max(area.left, std::min(x, area.right - width));
    y = std::max(area.top, std::min(y, area.bottom - height));
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND WindowOf(const Dialog* dialog) {
    if (dialog == nullptr) {
        return nullptr;
    }
    const auto* window = dynamic_cast<const Win32_DialogWindow*>(dialog->Window());
    return window != nullptr ? window->Handle() : nullptr;
}

}  // namespace ui
