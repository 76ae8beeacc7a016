// The dialog base: how user input reaches the handlers, and what the handlers' operations
// do. Run on the scripted interface.

#include "Dialog.h"

#include <gtest/gtest.h>

#include "Pause.h"
#include "ResourceIds.h"
#include "ScriptedUi.h"
#include "TestDialogs.h"

namespace {

using namespace ui;
using uitest::EnglishTemplate;
using uitest::TickingDialog;
using uitest::YesNoDialog;

TEST(Dialog, InputReachesTheHandlers) {
    const struct {
        const char* name;
        bool focusNo;
        std::function<void(ScriptedDialog&)> input;
        int result;
    } cases[] = {
        {"Enter with No focused", true, [](ScriptedDialog& d) { d.Enter(); }, IDCANCEL},
        // Without a focus of its own the first tab stop, Yes, has it, and Enter presses it.
        {"Enter with default focus", false, [](ScriptedDialog& d) { d.Enter(); }, IDOK},
        {"Yes", true, [](ScriptedDialog& d) { d.Press(IDOK); }, IDOK},
        {"No", true, [](ScriptedDialog& d) { d.Press(IDCANCEL); }, IDCANCEL},
        {"Esc", false, [](ScriptedDialog& d) { d.Escape(); }, IDCANCEL},
        {"close command", false, [](ScriptedDialog& d) { d.Close(); }, IDCANCEL},
    };
    for (const auto& c : cases) {
        ScriptedUi ui;
        YesNoDialog dialog(ui, c.focusNo);
        ui.Script(c.input);
        EXPECT_EQ(dialog.DoModal(EnglishTemplate(res::IDD_CONFIRM)), c.result) << c.name;
        EXPECT_EQ(dialog.okCount, c.result == IDOK ? 1 : 0) << c.name;
        EXPECT_EQ(dialog.cancelCount, c.result == IDCANCEL ? 1 : 0) << c.name;
        EXPECT_FALSE(dialog.IsRunning());
    }
}

TEST(Dialog, EnterCommandFollowsFocusThenDefaultButton) {
    ScriptedUi ui;
    YesNoDialog dialog(ui);
    ui.Script([](ScriptedDialog& d) {
        EXPECT_EQ(d.Focus(), IDCANCEL);
        EXPECT_EQ(d.Target().EnterCommand(), IDCANCEL);
        d.Target().GotoDlgCtrl(IDOK);
        EXPECT_EQ(d.Target().EnterCommand(), IDOK);
        d.Target().GotoDlgCtrl(res::IDC_CURRENT_VERSION);  // a static: the default button
        EXPECT_EQ(d.Target().EnterCommand(), IDCANCEL);
        d.Escape();
    });
    dialog.DoModal(EnglishTemplate(res::IDD_CONFIRM));
}

// The progress template has no system menu; its dialog ignores Esc.
TEST(Dialog, WithoutSystemMenuTheCloseCommandDoesNothing) {
    common::ScopedPauseRecorder pauses;
    ScriptedUi ui;
    TickingDialog dialog(ui);
    ui.Script([&](ScriptedDialog& d) {
        d.Close();
        d.Escape();
        EXPECT_FALSE(d.Ended());
        EXPECT_TRUE(d.Tick());
        dialog.finished = true;
        EXPECT_TRUE(d.RunUntilEnded());
    });
    EXPECT_EQ(dialog.DoModal(EnglishTemplate(res::IDD_PROGRESS)), 1);
    EXPECT_EQ(dialog.ticks, 2);
}

TEST(Dialog, OperationsOutsideTheModalRunDoNothing) {
    ScriptedUi ui;
    YesNoDialog dialog(ui);
    dialog.SetDlgItemText(res::IDC_WARNING, L"text");
    EXPECT_EQ(dialog.GetDlgItemText(res::IDC_WARNING), L"");
    EXPECT_FALSE(dialog.HasDlgItem(ui::IDOK));
    EXPECT_EQ(dialog.SetTimer(1, std::chrono::milliseconds(100)), 0u);
    dialog.PressEnter();
    dialog.EndDialog(5);
    EXPECT_EQ(dialog.okCount + dialog.cancelCount, 0);
}

TEST(Dialog, ControlTextsAndTheRunningState) {
    ScriptedUi ui;
    YesNoDialog dialog(ui);
    ui.Script([&](ScriptedDialog& d) {
        EXPECT_TRUE(dialog.IsRunning());
        EXPECT_EQ(dialog.DoModal(EnglishTemplate(res::IDD_CONFIRM)), -1) << "already running";
        EXPECT_EQ(d.Text(res::IDC_CURRENT_VERSION), L"Current firmware version: 01.20");
        EXPECT_EQ(d.Text(res::IDC_WARNING), L"");
        EXPECT_TRUE(dialog.HasDlgItem(res::IDC_WARNING));
        EXPECT_FALSE(dialog.HasDlgItem(res::IDC_PROGRESS));
        EXPECT_FALSE(dialog.HasDlgItem(res::IDC_NONE));
        dialog.SetDlgItemText(res::IDC_NONE, L"ignored");
        dialog.SetDlgItemText(res::IDC_WARNING, L"Do you want to update the firmware?");
        EXPECT_EQ(dialog.GetDlgItemText(res::IDC_WARNING), L"Do you want to update the firmware?");
        d.Press(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(EnglishTemplate(res::IDD_CONFIRM)), IDOK);
    EXPECT_EQ(ui.Dialogs().at(0).TextAfterInit(res::IDC_CURRENT_VERSION),
              L"Current firmware version: 01.20");
}

// A dialog that ends in its initialisation is not shown for input.
TEST(Dialog, EndingInOnInitDialog) {
    struct Immediate : Dialog {
        using Dialog::Dialog;
        bool OnInitDialog() override {
            EndDialog(42);
            return true;
        }
    };
    ScriptedUi ui;
    bool scriptRan = false;
    ui.Script([&](ScriptedDialog&) { scriptRan = true; });
    Immediate dialog(ui);
    EXPECT_EQ(dialog.DoModal(EnglishTemplate(res::IDD_CONFIRM)), 42);
    EXPECT_FALSE(scriptRan);
}

// Nothing can end a dialog that ignores Esc and has no timer: the framework ends it with
// -1 rather than hang.
TEST(Dialog, StuckDialogEndsWithMinusOne) {
    struct Stubborn : Dialog {
        using Dialog::Dialog;
        void OnCancel() override {}
    };
    ScriptedUi ui;
    Stubborn dialog(ui);
    EXPECT_EQ(dialog.DoModal(EnglishTemplate(res::IDD_CONFIRM)), -1);
    EXPECT_TRUE(ui.Dialogs().at(0).stuck);
}

}  // namespace
