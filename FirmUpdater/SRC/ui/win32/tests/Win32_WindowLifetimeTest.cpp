// Another program's SendMessage waits for every top-level window there is, so each window of
// the desktop interface lives only inside the modal loop of the thread that made it: once a
// dialog or box has ended, its thread holds no window while it goes on without pumping (the
// worker after its box, the main thread between two dialogs while it looks for the watch).

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "Dialog.h"
#include "ResourceIds.h"
#include "ResourceLookup.h"
#include "Win32_Ui.h"
// After the framework's headers.
#include "Win32_Api.h"

namespace {

using namespace ui;

int WindowsOfThisThread() {
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND, LPARAM counter) -> BOOL {
            ++*reinterpret_cast<int*>(counter);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

class EndsAtOnce : public Dialog {
  public:
    using Dialog::Dialog;
    bool OnInitDialog() override {
        EndDialog(7);
        return true;
    }
};

TEST(Win32_WindowLifetimeTest, NoWindowOutlivesItsBoxOrDialog) {
    const std::wstring caption =
        L"KORVELIN window lifetime " + std::to_wstring(GetCurrentProcessId());
    Win32_Ui ui;
    ui.Start();
    std::thread([&] {
        std::thread closer([&caption] {
            HWND box = nullptr;
            while ((box = FindWindowW(nullptr, caption.c_str())) == nullptr) {
                Sleep(10);
            }
            PostMessageW(box, WM_CLOSE, 0, 0);
        });
        EXPECT_EQ(IDOK, ui.ShowMessageBox({L"A box", caption, MB_ICONINFORMATION | MB_TOPMOST,
                                           res::LANG_ENGLISH, nullptr}));
        closer.join();
        EXPECT_EQ(0, WindowsOfThisThread()) << "after the box";

        EndsAtOnce dialog(ui);
        const auto& confirm =
            *res::FindDialog(*res::MatchLanguage(res::LANG_ENGLISH), res::IDD_CONFIRM);
        EXPECT_EQ(7, ui.RunModalDialog(confirm, dialog, nullptr));
        EXPECT_EQ(0, WindowsOfThisThread()) << "after the dialog";
    }).join();
}

}  // namespace
