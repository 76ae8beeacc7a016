#include "Win32_MessageBox.h"

#include <algorithm>
#include <string>
#include <vector>

#include "DialogTemplateBytes.h"
#include "MessageBoxButtons.h"
#include "Win32_Window.h"
// After the framework's headers.
#include "Win32_Api.h"

namespace ui {
namespace {

constexpr DWORD kFrameStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

struct Box {
    std::wstring text;
    std::wstring caption;
    std::uint32_t style;
    MessageBoxButtons set;
    std::vector<std::wstring> labels;
    HFONT font = nullptr;
    int bandTop = 0;  // where the band of the buttons begins, in client pixels
};

// Dialog units of the message font, as the dialog manager reckons them.
struct Units {
    int x;
    int y;
    int X(int dialogUnits) const { return MulDiv(dialogUnits, x, 4); }
    int Y(int dialogUnits) const { return MulDiv(dialogUnits, y, 8); }
};

Units UnitsOf(HDC dc) {
    static constexpr wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    GetTextExtentPoint32W(dc, kAlphabet, 52, &size);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return {static_cast<int>((size.cx / 26 + 1) / 2), static_cast<int>(metrics.tmHeight)};
}

HWND CreateChild(HWND parent, const wchar_t* windowClass, const wchar_t* text, DWORD style, int id,
                 RECT rect, HFONT font) {
    HWND child = CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, rect.left,
                                 rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

void Layout(HWND hwnd, Box& box) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    box.font = CreateFontIndirectW(&metrics.lfMessageFont);

    HDC dc = GetDC(hwnd);
    const HGDIOBJ previous = SelectObject(dc, box.font);
    const Units units = UnitsOf(dc);
    const int margin = units.X(7);
    const int iconSize = GetSystemMetrics(SM_CXICON);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const int screenWidth = monitor.rcWork.right - monitor.rcWork.left;
    const int maxTextWidth = std::max(units.X(120), std::min(units.X(260), screenWidth / 2));
    RECT textRect{0, 0, maxTextWidth, 0};
    DrawTextW(dc, box.text.c_str(), -1, &textRect,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    std::vector<int> buttonWidths;
    for (const auto& label : box.labels) {
        SIZE size{};
        GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &size);
        buttonWidths.push_back(std::max(units.X(50), static_cast<int>(size.cx) + units.X(10)));
    }
    SelectObject(dc, previous);
    ReleaseDC(hwnd, dc);

    const int gap = units.X(4);
    const int buttonHeight = units.Y(14);
    int rowWidth = 0;
    for (const int width : buttonWidths) {
        rowWidth += width + (rowWidth > 0 ? gap : 0);
    }
    const int hasIcon = (box.style & MB_ICONMASK) != 0 ? 1 : 0;
    const int textLeft = margin + hasIcon * (iconSize + margin);
    const int textWidth = static_cast<int>(textRect.right);
    const int textHeight = static_cast<int>(textRect.bottom);
    const int clientWidth = std::max(textLeft + textWidth + margin, rowWidth + 2 * margin);
    const int contentHeight = std::max(hasIcon * iconSize, textHeight);
    box.bandTop = margin + contentHeight + margin;
    const int clientHeight = box.bandTop + margin + buttonHeight + margin;

    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
    SetWindowPos(hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    if (hasIcon != 0) {
        const bool exclamation = (box.style & MB_ICONMASK) == MB_ICONEXCLAMATION;
        HWND icon = CreateChild(hwnd, L"STATIC", nullptr, SS_ICON, Win32_MessageBox::kIconId,
                                {margin, margin, margin + iconSize, margin + iconSize}, box.font);
        SendMessageW(icon, STM_SETICON,
                     reinterpret_cast<WPARAM>(
                         LoadIconW(nullptr, exclamation ? IDI_WARNING : IDI_INFORMATION)),
                     0);
    }
    const int textTop = margin + std::max(0, (contentHeight - textHeight) / 2);
    CreateChild(hwnd, L"STATIC", box.text.c_str(), SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL,
                Win32_MessageBox::kTextId,
                {textLeft, textTop, textLeft + textWidth, textTop + textHeight}, box.font);

    int x = clientWidth - margin - rowWidth;
    const int y = box.bandTop + margin;
    HWND focus = nullptr;
    for (std::size_t i = 0; i < box.set.buttons.size(); ++i) {
        const int result = box.set.buttons[i].result;
        const bool isDefault = result == box.set.defaultResult;
        HWND button = CreateChild(
            hwnd, L"BUTTON", box.labels[i].c_str(),
            WS_TABSTOP | (i == 0 ? WS_GROUP : 0) | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
            result, {x, y, x + buttonWidths[i], y + buttonHeight}, box.font);
        if (isDefault) {
            focus = button;
        }
        x += buttonWidths[i] + gap;
    }
    SendMessageW(hwnd, DM_SETDEFID, static_cast<WPARAM>(box.set.defaultResult), 0);
    SendMessageW(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
}

bool HasButton(const Box& box, int result) {
    return std::any_of(box.set.buttons.begin(), box.set.buttons.end(),
                       [result](const MessageBoxButton& b) { return b.result == result; });
}

INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    }
    auto* box = reinterpret_cast<Box*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (box == nullptr) {
        return FALSE;
    }
    switch (message) {
        case WM_INITDIALOG:
            Layout(hwnd, *box);
            CenterOverOwner(hwnd);
            if (GetWindow(hwnd, GW_OWNER) == nullptr) {
                SetForegroundWindow(hwnd);
            }
            MessageBeep(box->style & MB_ICONMASK);
            return FALSE;  // the default button has the focus
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (HasButton(*box, id)) {
                EndDialog(hwnd, id);
            } else if (id == IDCANCEL && box->set.buttons.size() == 1) {
                // Esc and the close box in a box with only OK.
                EndDialog(hwnd, box->set.buttons.front().result);
            }
            return TRUE;
        }
        case WM_ERASEBKGND: {
            // The text on the window colour, the buttons on a band of the dialog colour.
            RECT client{};
            GetClientRect(hwnd, &client);
            RECT band = client;
            band.top = box->bandTop;
            client.bottom = box->bandTop;
            const auto dc = reinterpret_cast<HDC>(wParam);
            FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
            FillRect(dc, &band, GetSysColorBrush(COLOR_BTNFACE));
            SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        case WM_CTLCOLORSTATIC: {
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
        }
        case WM_DESTROY:
            if (box->font != nullptr) {
                DeleteObject(box->font);
                box->font = nullptr;
            }
            return FALSE;
        default:
            (void)lParam;
            return FALSE;
    }
}

}  // namespace

int Win32_MessageBox::Show(const MessageBoxRequest& request, HWND owner) {
    Box box{request.text,
            request.caption,
            request.style,
            ButtonsFor(request.style, ButtonLabelsFor(request.language)),
            {}};
    for (const auto& button : box.set.buttons) {
        box.labels.emplace_back(button.label);
    }
    DWORD exStyle = 0;
    if ((request.style & MB_TOPMOST) != 0) {
        exStyle |= WS_EX_TOPMOST;
    }
    if (owner == nullptr) {
        exStyle |= WS_EX_APPWINDOW;  // on the task bar: the program may have no other window
    }
    const res::DialogTemplate frame{0, 0, box.caption, 0, 0, kFrameStyle, L"", 0, 0, {}};
    const auto bytes = DialogTemplateBytes(frame, exStyle);
    const INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), owner,
        &Procedure, reinterpret_cast<LPARAM>(&box));
    if (result <= 0) {
        // The box could not be shown: answer as no one could, which stops rather than retries.
        return box.set.endOfInputResult;
    }
    return static_cast<int>(result);
}

}  // namespace ui
