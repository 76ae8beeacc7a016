// The Windows interface on a desktop: under Wine on a private X server in the tests (see
// run-with-display). Screenshots of every dialog and box go to FU_SCREENSHOT_DIR as BMP.

#include "Win32_Ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "Dialog.h"
#include "LocalizedTexts.h"
#include "MessageBoxButtons.h"
#include "ResourceIds.h"
#include "ResourceLookup.h"
#include "Win32_DialogWindow.h"
#include "Win32_MessageBox.h"
#include "Win32_Screenshot.h"
// After the framework's headers.
#include "Win32_Api.h"

namespace {

using namespace ui;

constexpr unsigned kShownTimer = 0x7E57;

// A dialog whose handlers the test gives; `shown` runs once the window is on the screen.
class ScriptDialog : public Dialog {
  public:
    using Dialog::Dialog;

    std::function<bool(ScriptDialog&)> init;
    std::function<void(ScriptDialog&, unsigned)> timer;
    std::function<void(ScriptDialog&)> shown;
    bool ignoreCancel = false;

    bool OnInitDialog() override {
        if (shown) {
            ::SetTimer(Hwnd(), kShownTimer, 150, nullptr);
        }
        return init ? init(*this) : true;
    }
    void OnCancel() override {
        if (!ignoreCancel) {
            EndDialog(IDCANCEL);
        }
    }
    void OnTimer(unsigned id) override {
        if (id == kShownTimer) {
            ::KillTimer(Hwnd(), kShownTimer);
            shown(*this);
        } else if (timer) {
            timer(*this, id);
        }
    }

    Win32_DialogWindow& W() { return *dynamic_cast<Win32_DialogWindow*>(Window()); }
    HWND Hwnd() { return W().Handle(); }
};

using res::testing::Filled;
using res::testing::LanguageTag;
using res::testing::Text;

const res::DialogTemplate& Template(std::uint16_t id, std::uint16_t language) {
    return *res::FindDialog(*res::MatchLanguage(language), id);
}

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string Utf8(std::wstring_view text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

// The window as it is on the screen once it has drawn, as a BMP in the screenshot folder
// (with `under`, the window it covers, when given). The window's push buttons must be the
// ones of `labels`, in order, each visible, and the picture must show each of them drawn
// with its label: a picture taken before the window had drawn fails.
void SaveScreenshot(HWND hwnd, const std::string& name, const std::vector<std::wstring>& labels,
                    HWND under = nullptr) {
    std::vector<std::wstring> shown;
    for (const auto& button : ui::PushButtons(hwnd)) {
        EXPECT_TRUE(button.visible) << name << ": button " << button.id;
        shown.push_back(button.text);
    }
    EXPECT_EQ(shown, labels) << name;
    RECT area{};
    GetWindowRect(hwnd, &area);
    if (under != nullptr) {
        RECT rect{};
        GetWindowRect(under, &rect);
        UnionRect(&area, &area, &rect);
        RedrawWindow(under, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    std::vector<std::wstring> missing;
    const auto shot =
        ui::CaptureDrawn(hwnd, area.left, area.top, area.right, area.bottom, 5000, missing);
    for (const auto& what : missing) {
        ADD_FAILURE() << name << ": " << Utf8(what);
    }
    const std::wstring folder = L"" FU_SCREENSHOT_DIR;
    CreateDirectoryW(folder.c_str(), nullptr);
    EXPECT_TRUE(
        ui::SaveBitmap(shot, folder + L"/" + std::wstring(name.begin(), name.end()) + L".bmp"))
        << name;
}

std::vector<std::wstring> Labels(const MessageBoxButtons& buttons) {
    std::vector<std::wstring> labels;
    for (const auto& button : buttons.buttons) {
        labels.emplace_back(button.label);
    }
    return labels;
}

void Key(HWND hwnd, WPARAM key) {
    PostMessageW(GetFocus() != nullptr ? GetFocus() : hwnd, WM_KEYDOWN, key, 0);
    PostMessageW(GetFocus() != nullptr ? GetFocus() : hwnd, WM_KEYUP, key, 0);
}

// Every static text shows all of its lines inside its control, in the control's own font,
// broken the way the control breaks them; every control lies inside the client area.
void ExpectFits(HWND dialog, const std::string& name) {
    RECT client{};
    GetClientRect(dialog, &client);
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect{};
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right &&
                    rect.bottom <= client.bottom)
            << name << " control " << GetDlgCtrlID(child) << " outside the dialog";
        wchar_t className[32] = {};
        GetClassNameW(child, className, 32);
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
        if (lstrcmpiW(className, L"Static") != 0 || (style & SS_TYPEMASK) > SS_RIGHT) {
            continue;
        }
        const auto text = WindowText(child);
        RECT inside{};
        GetClientRect(child, &inside);
        HDC dc = GetDC(child);
        const HGDIOBJ previous =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
        RECT needed{0, 0, inside.right, 0};
        DrawTextW(dc, text.c_str(), -1, &needed,
                  DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS |
                      ((style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0));
        SelectObject(dc, previous);
        ReleaseDC(child, dc);
        EXPECT_LE(needed.right, inside.right) << name << ": " << Utf8(text);
        EXPECT_LE(needed.bottom, inside.bottom) << name << ": " << Utf8(text);
    }
}

HWND Item(HWND dialog, int id) {
    return GetDlgItem(dialog, id);
}

TEST(Win32UiTest, ConfirmationDialogInEveryLanguageShowsEverythingAndEnterAnswersNo) {
    Win32_Ui ui;
    ui.Start();
    for (const auto* resources : res::AllLanguages()) {
        const auto language = resources->language;
        const auto name = "confirm-" + LanguageTag(language);
        const auto& dialogTemplate = Template(res::IDD_CONFIRM, language);
        ScriptDialog dialog(ui);
        dialog.init = [language](ScriptDialog& d) {
            d.SetDlgItemText(res::IDC_CURRENT_VERSION,
                             Filled(res::IDS_CURRENT_VERSION, language, L"01.20"));
            d.SetDlgItemText(res::IDC_NEW_VERSION,
                             Filled(res::IDS_NEW_VERSION, language, L"01.30"));
            d.SetDlgItemText(res::IDC_WARNING, Text(res::IDS_UPDATE_WARNING, language));
            d.GotoDlgCtrl(IDCANCEL);
            return false;
        };
        dialog.shown = [&](ScriptDialog& d) {
            const HWND hwnd = d.Hwnd();
            ExpectFits(hwnd, name);
            EXPECT_EQ(WindowText(hwnd), dialogTemplate.caption) << name;
            EXPECT_EQ(WindowText(Item(hwnd, IDOK)), dialogTemplate.items[0].text) << name;
            EXPECT_EQ(WindowText(Item(hwnd, IDCANCEL)), dialogTemplate.items[1].text) << name;
            EXPECT_EQ(WindowText(Item(hwnd, res::IDC_WARNING)),
                      Text(res::IDS_UPDATE_WARNING, language));
            EXPECT_EQ(d.W().Focus(), IDCANCEL) << name;
            EXPECT_EQ(GetFocus(), Item(hwnd, IDCANCEL)) << name;
            EXPECT_EQ(LOWORD(SendMessageW(hwnd, DM_GETDEFID, 0, 0)), IDCANCEL) << name;
            EXPECT_NE(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_SYSMENU, 0) << name;
            EXPECT_NE(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), 0) << name;
            EXPECT_NE(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0), 0) << name;
            // The template's size in dialog units, converted with the template's font.
            RECT size{0, 0, dialogTemplate.cx, dialogTemplate.cy};
            MapDialogRect(hwnd, &size);
            RECT client{};
            GetClientRect(hwnd, &client);
            EXPECT_EQ(client.right, size.right) << name;
            EXPECT_EQ(client.bottom, size.bottom) << name;
            SaveScreenshot(hwnd, name,
                           {std::wstring(dialogTemplate.items[0].text),
                            std::wstring(dialogTemplate.items[1].text)});
            Key(hwnd, VK_RETURN);
        };
        EXPECT_EQ(ui.RunModalDialog(dialogTemplate, dialog, nullptr), IDCANCEL) << name;
        EXPECT_FALSE(dialog.IsRunning());
    }
}

TEST(Win32UiTest, APictureFailsWhenAButtonIsNotDrawnHiddenOrWithoutLabel) {
    Win32_Ui ui;
    ScriptDialog dialog(ui);
    dialog.shown = [](ScriptDialog& d) {
        const HWND hwnd = d.Hwnd();
        RECT r{};
        GetWindowRect(hwnd, &r);
        std::vector<std::wstring> missing;
        const auto drawn = CaptureDrawn(hwnd, r.left, r.top, r.right, r.bottom, 5000, missing);
        EXPECT_TRUE(missing.empty());
        // The dialog's face where the window has not drawn yet.
        Win32_Screenshot blank = drawn;
        std::fill(blank.pixels.begin(), blank.pixels.end(), std::uint8_t{0xF0});
        EXPECT_EQ(MissingButtons(blank, r.left, r.top, hwnd).size(), 2u);
        SetWindowTextW(Item(hwnd, IDOK), L"");
        ShowWindow(Item(hwnd, IDCANCEL), SW_HIDE);
        CaptureDrawn(hwnd, r.left, r.top, r.right, r.bottom, 0, missing);
        ASSERT_EQ(missing.size(), 2u);
        EXPECT_NE(missing[0].find(L"has no label"), std::wstring::npos);
        EXPECT_NE(missing[1].find(L"is hidden"), std::wstring::npos);
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(ui.RunModalDialog(Template(res::IDD_CONFIRM, res::LANG_ENGLISH), dialog, nullptr),
              IDOK);
}

TEST(Win32UiTest, ConfirmationDialogAnswersByButtonKeyAndCloseBox) {
    Win32_Ui ui;
    const struct {
        const char* what;
        std::function<void(HWND)> act;
        int result;
    } cases[] = {
        {"Yes clicked", [](HWND h) { PostMessageW(Item(h, IDOK), BM_CLICK, 0, 0); }, IDOK},
        {"No clicked", [](HWND h) { PostMessageW(Item(h, IDCANCEL), BM_CLICK, 0, 0); }, IDCANCEL},
        {"Esc", [](HWND h) { Key(h, VK_ESCAPE); }, IDCANCEL},
        {"close box", [](HWND h) { PostMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
        {"Enter on Yes",
         [](HWND h) {
             SendMessageW(h, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(h, IDOK)), TRUE);
             Key(h, VK_RETURN);
         },
         IDOK},
    };
    for (const auto& c : cases) {
        ScriptDialog dialog(ui);
        dialog.init = [](ScriptDialog& d) {
            d.GotoDlgCtrl(IDCANCEL);
            return false;
        };
        dialog.shown = [&](ScriptDialog& d) { c.act(d.Hwnd()); };
        EXPECT_EQ(ui.RunModalDialog(Template(res::IDD_CONFIRM, res::LANG_ENGLISH), dialog, nullptr),
                  c.result)
            << c.what;
    }
}

TEST(Win32UiTest, ProgressDialogInEveryLanguageHasNoSystemMenuIgnoresEscAndRunsOnItsTimer) {
    Win32_Ui ui;
    ui.Start();
    for (const auto* resources : res::AllLanguages()) {
        const auto language = resources->language;
        const auto name = "progress-" + LanguageTag(language);
        const auto& dialogTemplate = Template(res::IDD_PROGRESS, language);
        ScriptDialog dialog(ui);
        dialog.ignoreCancel = true;
        int ticks = 0;
        int ticksWhenShown = -1;
        dialog.init = [](ScriptDialog& d) {
            EXPECT_EQ(d.SetTimer(1, std::chrono::milliseconds(100)), 1u);
            return true;
        };
        dialog.timer = [&](ScriptDialog& d, unsigned id) {
            EXPECT_EQ(id, 1u);
            d.SetProgressPos(res::IDC_PROGRESS, ticks++);
            if (ticksWhenShown >= 0 && ticks > ticksWhenShown + 3) {
                d.KillTimer(1);
                d.EndDialog(IDOK);
            }
        };
        dialog.shown = [&](ScriptDialog& d) {
            const HWND hwnd = d.Hwnd();
            ExpectFits(hwnd, name);
            EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_SYSMENU, 0) << name;
            const HWND bar = Item(hwnd, res::IDC_PROGRESS);
            wchar_t className[32] = {};
            GetClassNameW(bar, className, 32);
            EXPECT_STREQ(className, PROGRESS_CLASSW);
            EXPECT_NE(GetWindowLongPtrW(bar, GWL_STYLE) & PBS_MARQUEE, 0);
            EXPECT_NE(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), 0) << name;
            // Esc, the close command and Alt+F4 change nothing.
            Key(hwnd, VK_ESCAPE);
            PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
            SaveScreenshot(hwnd, name, {});
            ticksWhenShown = ticks;
        };
        EXPECT_EQ(ui.RunModalDialog(dialogTemplate, dialog, nullptr), IDOK) << name;
        EXPECT_GT(ticks, 3) << name;
    }
}

TEST(Win32UiTest, AnAmountMakesTheProgressBarDeterminateAndFillsItToTheFraction) {
    Win32_Ui ui;
    ui.Start();
    ScriptDialog dialog(ui);
    dialog.ignoreCancel = true;
    dialog.shown = [](ScriptDialog& d) {
        const HWND bar = Item(d.Hwnd(), res::IDC_PROGRESS);
        const auto position = [bar] { return SendMessageW(bar, PBM_GETPOS, 0, 0); };
        const auto maximum = [bar] { return SendMessageW(bar, PBM_GETRANGE, FALSE, 0); };
        d.SetProgressPos(res::IDC_PROGRESS, 1);
        EXPECT_NE(GetWindowLongPtrW(bar, GWL_STYLE) & PBS_MARQUEE, 0);
        const struct {
            std::uint64_t done, total;
            double fraction;
        } cases[] = {{0, 512 * 1024, 0.0},
                     {241 * 1024, 512 * 1024, 241.0 / 512},
                     {600, 500, 1.0},
                     {1, 0, 0.0},
                     {std::uint64_t{1} << 62, std::uint64_t{1} << 63, 0.5}};
        for (const auto& c : cases) {
            d.SetProgressAmount(res::IDC_PROGRESS, c.done, c.total);
            EXPECT_EQ(GetWindowLongPtrW(bar, GWL_STYLE) & PBS_MARQUEE, 0);
            EXPECT_NEAR(static_cast<double>(position()) / static_cast<double>(maximum()),
                        c.fraction, 0.001)
                << c.done << " of " << c.total;
        }
        // Ticks no longer move a bar that shows an amount.
        d.SetProgressAmount(res::IDC_PROGRESS, 241, 512);
        const auto shown = position();
        d.SetProgressPos(res::IDC_PROGRESS, 77);
        EXPECT_EQ(position(), shown);
        SaveScreenshot(d.Hwnd(), "progress-measured-en", {});
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(ui.RunModalDialog(Template(res::IDD_PROGRESS, res::LANG_ENGLISH), dialog, nullptr),
              IDOK);
}

struct BoxKind {
    const char* name;
    std::uint16_t text;
    std::uint32_t style;
    LPCWSTR icon;
};

const BoxKind kBoxKinds[] = {
    {"information", res::IDS_UPDATE_COMPLETED, MB_ICONINFORMATION, IDI_INFORMATION},
    {"exclamation", res::IDS_UPDATE_FAILED, MB_ICONEXCLAMATION, IDI_WARNING},
    {"retry-cancel", res::IDS_NOT_CONNECTED_AGAIN, MB_ICONEXCLAMATION | MB_RETRYCANCEL,
     IDI_WARNING},
};

// Finds the box of this thread's process by caption once it shows, and runs `act` on it
// from another thread; returns that thread.
std::thread WhenBoxShown(const std::wstring& caption, std::function<void(HWND)> act) {
    return std::thread([caption, act = std::move(act)] {
        for (int i = 0; i < 200; ++i) {
            HWND box = FindWindowW(L"#32770", caption.c_str());
            if (box != nullptr && IsWindowVisible(box) && GetFocus() == nullptr) {
                Sleep(150);  // settled before it is answered; pictures wait for drawing
                act(box);
                return;
            }
            Sleep(25);
        }
        ADD_FAILURE() << "no box";
    });
}

void PressKeyIn(HWND box, WPARAM key) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &info);
    const HWND target = info.hwndFocus != nullptr ? info.hwndFocus : box;
    PostMessageW(target, WM_KEYDOWN, key, 0);
    PostMessageW(target, WM_KEYUP, key, 0);
}

TEST(Win32UiTest, MessageBoxesInEveryLanguageShowTextIconAndLabelsAndAnswerEnter) {
    Win32_Ui ui;
    ui.Start();
    for (const auto* resources : res::AllLanguages()) {
        const auto language = resources->language;
        for (const auto& kind : kBoxKinds) {
            const auto name = std::string("box-") + kind.name + "-" + LanguageTag(language);
            const MessageBoxRequest request{Text(kind.text, language),
                                            Text(res::IDS_APP_CAPTION, language),
                                            kind.style | MB_TOPMOST, language, nullptr};
            const auto buttons = ButtonsFor(kind.style, res::MatchLanguage(language)->buttons);
            auto checker = WhenBoxShown(request.caption, [&](HWND box) {
                ExpectFits(box, name);
                EXPECT_NE(GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << name;
                EXPECT_EQ(WindowText(GetDlgItem(box, Win32_MessageBox::kTextId)), request.text);
                EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(
                              GetDlgItem(box, Win32_MessageBox::kIconId), STM_GETICON, 0, 0)),
                          LoadIconW(nullptr, kind.icon))
                    << name;
                for (const auto& button : buttons.buttons) {
                    EXPECT_EQ(WindowText(GetDlgItem(box, button.result)), button.label) << name;
                }
                SaveScreenshot(box, name, Labels(buttons));
                PressKeyIn(box, VK_RETURN);
            });
            const int result = ui.ShowMessageBox(request);
            checker.join();
            EXPECT_EQ(result, buttons.defaultResult) << name;
        }
    }
}

TEST(Win32UiTest, MessageBoxAnswersEscCloseAndButtons) {
    Win32_Ui ui;
    const struct {
        const char* what;
        std::uint32_t style;
        std::function<void(HWND)> act;
        int result;
    } cases[] = {
        {"Esc in Retry/Cancel", MB_RETRYCANCEL, [](HWND b) { PressKeyIn(b, VK_ESCAPE); }, IDCANCEL},
        {"close in Retry/Cancel", MB_RETRYCANCEL,
         [](HWND b) { PostMessageW(b, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
        {"Retry clicked", MB_RETRYCANCEL,
         [](HWND b) { PostMessageW(GetDlgItem(b, IDRETRY), BM_CLICK, 0, 0); }, IDRETRY},
        {"Esc with only OK", MB_OK, [](HWND b) { PressKeyIn(b, VK_ESCAPE); }, IDOK},
        {"close with only OK", MB_OK, [](HWND b) { PostMessageW(b, WM_SYSCOMMAND, SC_CLOSE, 0); },
         IDOK},
    };
    for (const auto& c : cases) {
        const MessageBoxRequest request{L"text", L"caption", c.style | MB_ICONEXCLAMATION,
                                        res::LANG_ENGLISH, nullptr};
        auto checker = WhenBoxShown(request.caption, c.act);
        EXPECT_EQ(ui.ShowMessageBox(request), c.result) << c.what;
        checker.join();
    }
}

TEST(Win32UiTest, WorkerBoxShowsOverTheProgressDialogWhileItsTimerTicks) {
    Win32_Ui ui;
    ui.Start();
    ScriptDialog dialog(ui);
    dialog.ignoreCancel = true;
    std::atomic<int> ticks{0};
    std::atomic<bool> answered{false};
    std::atomic<int> answer{0};
    std::thread worker;
    dialog.init = [&](ScriptDialog& d) {
        d.SetTimer(1, std::chrono::milliseconds(100));
        worker = std::thread([&] {
            answer = ui.ShowMessageBox({Text(res::IDS_UPDATE_FAILED, res::LANG_JAPANESE),
                                        Text(res::IDS_APP_CAPTION, res::LANG_JAPANESE),
                                        MB_ICONEXCLAMATION | MB_TOPMOST, res::LANG_JAPANESE, &d});
            answered = true;
        });
        return true;
    };
    int ticksAtBox = -1;
    dialog.timer = [&](ScriptDialog& d, unsigned) {
        d.SetProgressPos(res::IDC_PROGRESS, ticks++);
        const HWND box =
            FindWindowW(L"#32770", Text(res::IDS_APP_CAPTION, res::LANG_JAPANESE).c_str());
        if (ticksAtBox < 0 && box != nullptr && box != d.Hwnd() && IsWindowVisible(box)) {
            ticksAtBox = ticks;
            EXPECT_EQ(GetWindow(box, GW_OWNER), d.Hwnd());
            EXPECT_FALSE(IsWindowEnabled(d.Hwnd()));
        }
        if (ticksAtBox >= 0 && ticks == ticksAtBox + 5) {
            // The dialog kept ticking with the box open.
            SaveScreenshot(
                box, "progress-with-worker-box-ja",
                Labels(ButtonsFor(MB_OK, res::MatchLanguage(res::LANG_JAPANESE)->buttons)),
                d.Hwnd());
            PressKeyIn(box, VK_RETURN);
        }
        if (answered) {
            d.KillTimer(1);
            d.EndDialog(-1);
        }
    };
    EXPECT_EQ(ui.RunModalDialog(Template(res::IDD_PROGRESS, res::LANG_JAPANESE), dialog, nullptr),
              -1);
    worker.join();
    EXPECT_EQ(answer, IDOK);
    EXPECT_GE(ticksAtBox, 0);
}

TEST(Win32UiTest, NestedDialogDisablesItsParentAndAHandlersExceptionEndsTheDialog) {
    Win32_Ui ui;
    ScriptDialog outer(ui);
    ScriptDialog inner(ui);
    inner.shown = [&](ScriptDialog& d) {
        EXPECT_FALSE(IsWindowEnabled(outer.Hwnd()));
        EXPECT_EQ(GetWindow(d.Hwnd(), GW_OWNER), outer.Hwnd());
        throw std::runtime_error("handler failed");
    };
    outer.shown = [&](ScriptDialog& d) {
        EXPECT_THROW(ui.RunModalDialog(Template(res::IDD_PROGRESS, res::LANG_ENGLISH), inner, &d),
                     std::runtime_error);
        EXPECT_FALSE(inner.IsRunning());
        EXPECT_TRUE(IsWindowEnabled(d.Hwnd()));
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(ui.RunModalDialog(Template(res::IDD_CONFIRM, res::LANG_ENGLISH), outer, nullptr),
              IDOK);
}

// The texts of every combo box item in the window, at any depth.
std::vector<std::wstring> ComboBoxItems(HWND window) {
    std::vector<std::wstring> items;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM found) -> BOOL {
            wchar_t className[32] = {};
            GetClassNameW(child, className, 32);
            if (std::wstring_view(className) == L"ComboBox") {
                const auto count = SendMessageW(child, CB_GETCOUNT, 0, 0);
                for (LRESULT i = 0; i < count; ++i) {
                    std::wstring text(
                        static_cast<std::size_t>(SendMessageW(child, CB_GETLBTEXTLEN, i, 0)) + 1,
                        L'\0');
                    text.resize(static_cast<std::size_t>(SendMessageW(
                        child, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
                    reinterpret_cast<std::vector<std::wstring>*>(found)->push_back(text);
                }
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&items));
    return items;
}

// The menu entries' chooser: the common item dialog with the request's title and types;
// Cancel answers Cancelled.
TEST(Win32UiTest, TheFileChooserShowsTitleAndTypesAndCancelChoosesNothing) {
    Win32_Ui ui;
    ui.Start();
    for (const auto language : {res::LANG_ENGLISH, res::LANG_JAPANESE}) {
        const FileChooserRequest request{Text(res::IDS_CHOOSE_IMAGE, language),
                                         {{Text(res::IDS_IMAGE_FILES, language), {L"*.img"}},
                                          {Text(res::IDS_ALL_FILES, language), {L"*"}}},
                                         language};
        std::vector<std::wstring> items;
        bool seen = false;
        std::thread watcher([&] {
            for (int i = 0; i < 400; ++i) {
                HWND chooser = FindWindowW(nullptr, request.title.c_str());
                if (chooser != nullptr && IsWindowVisible(chooser)) {
                    Sleep(300);  // until its controls are filled
                    seen = true;
                    items = ComboBoxItems(chooser);
                    PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
                    return;
                }
                Sleep(25);
            }
        });
        const auto choice = ui.ChooseFile(request);
        watcher.join();
        ASSERT_TRUE(seen) << "no chooser titled " << Utf8(request.title);
        EXPECT_EQ(choice.outcome, FileChoice::Outcome::Cancelled);
        for (const auto& filter : request.filters) {
            EXPECT_TRUE(std::ranges::any_of(
                items, [&](const std::wstring& item) { return item.starts_with(filter.name); }))
                << "no type " << Utf8(filter.name);
        }
    }
}

// One dialog at a time: the confirmation hides while the progress dialog runs over it, and
// goes on running; the progress dialog has no box to minimize or maximize it, and a task bar
// button of its own.
TEST(Win32UiTest, AParentHiddenUnderItsChildKeepsRunningAndTheProgressDialogCannotBeParked) {
    Win32_Ui ui;
    ui.Start();
    ScriptDialog outer(ui);
    ScriptDialog inner(ui);
    inner.shown = [&](ScriptDialog& d) {
        EXPECT_FALSE(IsWindowVisible(outer.Hwnd()));
        EXPECT_TRUE(IsWindowVisible(d.Hwnd()));
        const auto style = GetWindowLongW(d.Hwnd(), GWL_STYLE);
        EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_SYSMENU), 0);
        EXPECT_NE(GetWindowLongW(d.Hwnd(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
        d.EndDialog(IDOK);
    };
    int innerResult = 0;
    outer.shown = [&](ScriptDialog& d) {
        d.ShowWindow(false);
        innerResult = ui.RunModalDialog(Template(res::IDD_PROGRESS, res::LANG_ENGLISH), inner, &d);
        EXPECT_TRUE(d.IsRunning());
        d.EndDialog(7);
    };
    EXPECT_EQ(ui.RunModalDialog(Template(res::IDD_CONFIRM, res::LANG_ENGLISH), outer, nullptr), 7);
    EXPECT_EQ(innerResult, IDOK);
}

}  // namespace
