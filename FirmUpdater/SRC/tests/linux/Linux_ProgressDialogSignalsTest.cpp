// The progress dialog holds off the interrupt signals while it and its worker live.

#include <gtest/gtest.h>

#include <csignal>

#include "HeldProgressDialog.h"
#include "Linux_InterruptGuard.h"

namespace {

using ProgressDialog = HeldProgressDialogTest;

TEST_F(ProgressDialog, InterruptSignalsAreHeldOffWhileItAndItsWorkerLive) {
    struct sigaction before {};
    sigaction(SIGTERM, nullptr, &before);
    {
        HeldProgDlg dialog(ui, true);
        const unsigned heldOff = Linux_InterruptGuard::HeldOffCount();
        ui.Script([&](ui::ScriptedDialog& d) {
            std::raise(SIGTERM);
            std::raise(SIGINT);
            EXPECT_EQ(Linux_InterruptGuard::HeldOffCount(), heldOff + 2);
            dialog.Held().Finish(true);
            d.Tick();
        });
        EXPECT_EQ(RunDialog(dialog), ui::IDOK);
    }
    struct sigaction after {};
    sigaction(SIGTERM, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}

}  // namespace
