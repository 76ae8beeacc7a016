// The progress dialog over a worker the test controls: it polls the worker's flags on its
// timer, cannot be closed by the user, and never waits for a worker whose thread did not
// start.

#include <gtest/gtest.h>

#include "HeldProgressDialog.h"

namespace {

using ProgressDialog = HeldProgressDialogTest;

TEST_F(ProgressDialog, EndsOnTheFirstTickAfterTheWorkerFinishesAndNotBefore) {
    for (const bool success : {true, false}) {
        SCOPED_TRACE(success);
        ui::ScriptedUi ui;
        HeldProgDlg dialog(ui, true);
        ui.Script([&](ui::ScriptedDialog& d) {
            for (int i = 0; i < 3; ++i) {
                ASSERT_TRUE(d.Tick());
            }
            // The user cannot end it.
            d.Escape();
            d.Enter();
            d.Press(ui::IDOK);
            d.Close();
            EXPECT_FALSE(d.Ended());
            dialog.Held().Finish(success);
            EXPECT_TRUE(d.Tick());
            EXPECT_TRUE(d.Ended());
        });
        EXPECT_EQ(RunDialog(dialog), success ? ui::IDOK : -1);
        const auto record = ui.Dialogs().at(0);
        EXPECT_EQ(record.ticks, std::vector<unsigned>(4, ProgDlg::kTimerId));
        EXPECT_TRUE(ui.MessageBoxes().empty());
    }
    EXPECT_EQ(pauses.Pauses(), std::vector<std::chrono::milliseconds>(8, ProgDlg::kTimerPeriod));
}

TEST_F(ProgressDialog, TheBarMovesOnFromWhereTheLastDialogLeftIt) {
    std::vector<int> positions;
    for (int run = 0; run < 2; ++run) {
        ui::ScriptedUi ui;
        HeldProgDlg dialog(ui, true);
        ui.Script([&](ui::ScriptedDialog& d) {
            d.Tick();
            d.Tick();
            dialog.Held().Finish(true);
        });
        RunDialog(dialog);
        const auto moved = ui.Dialogs().at(0).progressPositions;
        positions.insert(positions.end(), moved.begin(), moved.end());
    }
    ASSERT_EQ(positions.size(), 6u);
    for (std::size_t i = 1; i < positions.size(); ++i) {
        EXPECT_EQ(positions[i], positions[i - 1] + 1);
    }
}

TEST_F(ProgressDialog, TheBarMovesUntilTheFirstByteThenMeasuresAndAFailureFreezesIt) {
    HeldProgDlg dialog(ui, true);
    ui.Script([&](ui::ScriptedDialog& d) {
        auto& progress = dialog.Held().progress;
        progress.SetTotal(1000);
        progress.BeginStep(600);
        d.Tick();  // nothing sent yet: the bar only moves
        progress.OnWritten(100);
        d.Tick();
        progress.OnWritten(900);  // more than the step sends: counted up to its end
        d.Tick();
        progress.EndStep();
        progress.BeginStep(400);
        progress.Stop();
        d.Tick();
        d.Tick();
        dialog.Held().Finish(false);
    });
    EXPECT_EQ(RunDialog(dialog), -1);
    const auto record = ui.Dialogs().at(0);
    EXPECT_EQ(record.progressPositions.size(), 1u);
    using Amounts = std::vector<std::pair<std::uint64_t, std::uint64_t>>;
    EXPECT_EQ(record.progressAmounts,
              (Amounts{{100, 1000}, {600, 1000}, {600, 1000}, {600, 1000}, {600, 1000}}));
}

TEST_F(ProgressDialog, AWorkerThatCannotStartEndsTheDialogWithFailure) {
    HeldProgDlg dialog(ui, false);
    EXPECT_EQ(RunDialog(dialog), -1);
    const auto boxes = ui.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, LoadText(res::IDS_UPDATE_FAILED));
    EXPECT_EQ(boxes[0].style, ui::MB_ICONEXCLAMATION | ui::MB_TOPMOST);
    EXPECT_EQ(boxes[0].owner, &dialog);
    EXPECT_TRUE(ui.Dialogs().at(0).ticks.empty());
    EXPECT_FALSE(ui.Dialogs().at(0).stuck);
}

}  // namespace
