// Drives the program's windows from outside for the end-to-end tests under Wine, the way a
// user would: finds a dialog or box by a text it shows, reports what the desktop shows at
// that moment, optionally saves a screenshot, and presses one of its buttons.
//
//   win32_driver press TEXT BUTTON_ID [SCREENSHOT.bmp|- [SECONDS]]
//
// BUTTON_ID 0 presses nothing: it only waits for the window and reports.
// Waits up to SECONDS (default 60) for a visible dialog window with a control whose text
// contains TEXT (a window whose program does not answer within half a second counts as
// showing no text, so a hung program cannot hold the driver past its bound), and until the
// window has painted; prints one line per visible dialog window on the desktop (its title,
// enabled or not, and its controls' texts, "|" between them), the one found first; saves the
// screenshot (the window with the other dialogs of its program); then clicks the button. Exit
// status 0 when pressed, 1 when no such window appeared, 3 when the picture does not show
// the window's push buttons drawn with their labels, or (with "-" for the screenshot, no
// picture taken) when a push button is hidden or has no label (nothing is pressed then).

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "Win32_Screenshot.h"
// After the headers of the interface.
#include "Win32_Api.h"

namespace {

constexpr UINT kAnswerMs = 500;

// The windows belong to another process: their texts come by message, which a program that
// is busy elsewhere may not answer.
std::wstring TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &length) ==
        0) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                            SMTO_ABORTIFHUNG, kAnswerMs, &copied) == 0) {
        return {};
    }
    text.resize(copied);
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

// Where the window and the other dialogs of its program are: a box over a dialog is seen
// with what it covers.
RECT ProgramArea(HWND dialog) {
    DWORD program = 0;
    GetWindowThreadProcessId(dialog, &program);
    RECT area{};
    GetWindowRect(dialog, &area);
    for (HWND other : Dialogs()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(other, &owner);
        RECT rect{};
        if (owner == program && GetWindowRect(other, &rect)) {
            UnionRect(&area, &area, &rect);
        }
    }
    return area;
}

// The picture of the program's dialogs once they have drawn: the dialog's push buttons show
// with their labels (within 5 s), then two looks 100 ms apart agree (within 3 s).
// `missing` receives the buttons the picture still lacks.
ui::Win32_Screenshot Settled(HWND dialog, std::vector<std::wstring>& missing) {
    const RECT area = ProgramArea(dialog);
    auto shot =
        ui::CaptureDrawn(dialog, area.left, area.top, area.right, area.bottom, 5000, missing);
    for (const ULONGLONG until = GetTickCount64() + 3000; GetTickCount64() < until;) {
        Sleep(100);
        auto next = ui::CaptureArea(area.left, area.top, area.right, area.bottom);
        if (next == shot) {
            break;
        }
        shot = std::move(next);
    }
    missing = ui::MissingButtons(shot, area.left, area.top, dialog);
    return shot;
}

std::string Utf8(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), size, nullptr, nullptr);
    utf8.resize(utf8.empty() ? 0 : utf8.size() - 1);
    return utf8;
}

void PrintLine(HWND dialog) {
    const std::wstring line = TextOf(dialog) +
                              (IsWindowEnabled(dialog) ? L" [enabled]" : L" [disabled]") +
                              ControlTexts(dialog);
    std::printf("%s\n", Utf8(line).c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4 || lstrcmpW(argv[1], L"press") != 0) {
        std::fprintf(stderr,
                     "usage: win32_driver press TEXT BUTTON_ID [SCREENSHOT.bmp [SECONDS]]\n");
        return 2;
    }
    const std::wstring wanted = argv[2];
    const int button = _wtoi(argv[3]);
    const ULONGLONG seconds = argc > 5 ? _wtoi(argv[5]) : 60;
    // "-" for no picture: on a display that draws nothing (Wine's null driver) the buttons are
    // checked through the window alone.
    const bool picture = argc > 4 && lstrcmpW(argv[4], L"-") != 0;
    const ULONGLONG deadline = GetTickCount64() + seconds * 1000;
    while (GetTickCount64() < deadline) {
        if (HWND dialog = FindShowing(wanted)) {
            std::vector<std::wstring> missing;
            if (picture) {
                const auto shot = Settled(dialog, missing);
                if (!ui::SaveBitmap(shot, argv[4])) {
                    std::fprintf(stderr, "win32_driver: the screenshot was not saved\n");
                }
            } else {
                missing = ui::UnusableButtons(dialog);
            }
            PrintLine(dialog);
            for (HWND other : Dialogs()) {
                if (other != dialog) {
                    PrintLine(other);
                }
            }
            std::fflush(stdout);
            if (!missing.empty()) {
                for (const auto& what : missing) {
                    std::fprintf(stderr, "win32_driver: %s\n", Utf8(what).c_str());
                }
                return 3;
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
