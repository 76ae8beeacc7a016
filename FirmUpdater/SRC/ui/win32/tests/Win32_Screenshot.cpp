#include "Win32_Screenshot.h"

#include <utility>

#include "LabelPixels.h"
#include "Win32_Api.h"

namespace ui {

namespace {

constexpr unsigned kLookMs = 25;

bool IsPushButton(HWND child) {
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    const auto type = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE)) & BS_TYPEMASK;
    return lstrcmpiW(className, L"Button") == 0 &&
           (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

std::wstring TextOf(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

std::vector<Win32_PushButton> PushButtons(HWND window) {
    std::vector<Win32_PushButton> buttons;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsPushButton(child)) {
            continue;
        }
        RECT rect{};
        GetWindowRect(child, &rect);
        buttons.push_back({GetDlgCtrlID(child), TextOf(child), IsWindowVisible(child) != FALSE,
                           rect.left, rect.top, rect.right, rect.bottom});
    }
    return buttons;
}

namespace {

// Why a button cannot be used, as the window itself says; empty when it can.
std::wstring Unusable(const Win32_PushButton& button) {
    const auto name = L"button " + std::to_wstring(button.id) + L" \"" + button.text + L"\"";
    if (!button.visible) {
        return name + L" is hidden";
    }
    if (button.text.empty()) {
        return name + L" has no label";
    }
    return {};
}

}  // namespace

std::vector<std::wstring> UnusableButtons(HWND window) {
    std::vector<std::wstring> missing;
    for (const auto& button : PushButtons(window)) {
        if (auto why = Unusable(button); !why.empty()) {
            missing.push_back(std::move(why));
        }
    }
    return missing;
}

std::vector<std::wstring> MissingButtons(const Win32_Screenshot& shot, int areaLeft, int areaTop,
                                         HWND window) {
    const auto stride = (static_cast<std::size_t>(shot.width) * 3 + 3) & ~std::size_t{3};
    const auto colourAt = [&shot, stride](int x, int y) {
        const auto* p = &shot.pixels[static_cast<std::size_t>(shot.height - 1 - y) * stride +
                                     static_cast<std::size_t>(x) * 3];
        return static_cast<std::uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
    };
    std::vector<std::wstring> missing;
    for (const auto& button : PushButtons(window)) {
        if (auto why = Unusable(button); !why.empty()) {
            missing.push_back(std::move(why));
        } else if (!uitest::ShowsLabel(shot.width, shot.height, button.left - areaLeft,
                                       button.top - areaTop, button.right - areaLeft,
                                       button.bottom - areaTop, colourAt)) {
            missing.push_back(L"button " + std::to_wstring(button.id) + L" \"" + button.text +
                              L"\" is not drawn in the picture");
        }
    }
    return missing;
}

Win32_Screenshot CaptureDrawn(HWND window, int left, int top, int right, int bottom,
                              unsigned timeoutMs, std::vector<std::wstring>& missing) {
    // Paints now; a window of another thread is sent its WM_PAINT and waited for. A window of
    // another process only learns that it is to paint: a program busy elsewhere must not
    // hold the caller.
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    const UINT now = process == GetCurrentProcessId() ? RDW_UPDATENOW : 0;
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | now);
    const ULONGLONG until = GetTickCount64() + timeoutMs;
    for (;;) {
        // A wait for messages (none is taken) lets this thread hand what it painted to the
        // screen; another thread's window does so while its own loop waits.
        MsgWaitForMultipleObjectsEx(0, nullptr, kLookMs, QS_ALLINPUT, 0);
        auto shot = CaptureArea(left, top, right, bottom);
        missing = MissingButtons(shot, left, top, window);
        if (missing.empty() || GetTickCount64() >= until) {
            return shot;
        }
    }
}

Win32_Screenshot CaptureWindow(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return CaptureArea(rect.left, rect.top, rect.right, rect.bottom);
}

Win32_Screenshot CaptureArea(int left, int top, int right, int bottom) {
    GdiFlush();
    Win32_Screenshot shot;
    shot.width = right - left;
    shot.height = bottom - top;
    if (shot.width <= 0 || shot.height <= 0) {
        return {};
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = shot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bitmap != nullptr) {
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, shot.width, shot.height, screen, left, top, SRCCOPY);
        GdiFlush();
        const auto stride = (static_cast<std::size_t>(shot.width) * 3 + 3) & ~std::size_t{3};
        const auto* bytes = static_cast<const std::uint8_t*>(pixels);
        shot.pixels.assign(bytes, bytes + stride * static_cast<std::size_t>(shot.height));
        SelectObject(memory, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return shot;
}

bool SaveBitmap(const Win32_Screenshot& shot, const std::wstring& path) {
    if (shot.pixels.empty()) {
        return false;
    }
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = shot.width;
    header.biHeight = shot.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    const auto imageSize = static_cast<DWORD>(shot.pixels.size());
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + imageSize;
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD count = 0;
    const bool written = WriteFile(out, &file, sizeof file, &count, nullptr) &&
                         WriteFile(out, &header, sizeof header, &count, nullptr) &&
                         WriteFile(out, shot.pixels.data(), imageSize, &count, nullptr) &&
                         count == imageSize;
    CloseHandle(out);
    return written;
}

}  // namespace ui
