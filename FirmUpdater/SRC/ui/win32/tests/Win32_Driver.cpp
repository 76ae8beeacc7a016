// Drives the program's windows from outside for the end-to-end tests under Wine, the way a
// user would: finds a dialog or box by a text it shows, reports what the desktop shows at
// that moment, optionally saves a screenshot, and presses one of its buttons.
//
//   win32_driver press TEXT BUTTON_ID [SCREENSHOT.bmp]
//
// BUTTON_ID 0 presses nothing: it only waits for the window and reports.
// Waits up to 60 s for a visible dialog window with a control whose text contains TEXT;
// prints one line per visible dialog window on the desktop (its title, enabled or not, and
// its controls' texts, "|" between them), the one found first; then clicks the button.
// Exit status 0 when pressed, 1 when no such window appeared.

#include <cstdio>
#include <string>
#include <vector>

#include "Win32_Api.h"

namespace {

std::wstring TextOf(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool IsDialog(HWND hwnd) {
    wchar_t className[16] = {};
    GetClassNameW(hwnd, className, 16);
    return IsWindowVisible(hwnd) && lstrcmpW(className, L"#32770") == 0;
}

std::vector<HWND> Dialogs() {
    std::vector<HWND> found;
    EnumWindows(
        [](HWND hwnd, LPARAM list) -> BOOL {
            if (IsDialog(hwnd)) {
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring ControlTexts(HWND dialog) {
    std::wstring texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        auto text = TextOf(child);
        for (auto& c : text) {
            c = (c == L'\n' || c == L'\r') ? L' ' : c;
        }
        if (!text.empty()) {
            texts += L"|" + text;
        }
    }
    return texts;
}

HWND FindShowing(const std::wstring& wanted) {
    for (HWND dialog : Dialogs()) {
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (TextOf(child).find(wanted) != std::wstring::npos) {
                return dialog;
            }
        }
    }
    return nullptr;
}

void PrintLine(HWND dialog) {
    const std::wstring line = TextOf(dialog) +
                              (IsWindowEnabled(dialog) ? L" [enabled]" : L" [disabled]") +
                              ControlTexts(dialog);
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, utf8.data(), size, nullptr, nullptr);
    std::printf("%s\n", utf8.c_str());
}

void SaveScreenshot(HWND hwnd, const wchar_t* path) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + stride * static_cast<DWORD>(height);
    HANDLE out = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(out, &file, sizeof file, &written, nullptr);
    WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
    WriteFile(out, pixels, stride * static_cast<DWORD>(height), &written, nullptr);
    CloseHandle(out);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4 || lstrcmpW(argv[1], L"press") != 0) {
        std::fprintf(stderr, "usage: win32_driver press TEXT BUTTON_ID [SCREENSHOT.bmp]\n");
        return 2;
    }
    const std::wstring wanted = argv[2];
    const int button = _wtoi(argv[3]);
    for (int waited = 0; waited < 60000; waited += 100) {
        if (HWND dialog = FindShowing(wanted)) {
            Sleep(300);  // until it has painted
            PrintLine(dialog);
            for (HWND other : Dialogs()) {
                if (other != dialog) {
                    PrintLine(other);
                }
            }
            std::fflush(stdout);
            if (argc > 4) {
                SaveScreenshot(dialog, argv[4]);
            }
            if (button != 0) {
                PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
            }
            return 0;
        }
        Sleep(100);
    }
    std::fprintf(stderr, "win32_driver: no window shows the text\n");
    return 1;
}
