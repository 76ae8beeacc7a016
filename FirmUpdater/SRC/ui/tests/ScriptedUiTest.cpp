#include "ScriptedUi.h"

#include <gtest/gtest.h>

#include "Pause.h"
#include "ResourceIds.h"
#include "TestDialogs.h"
#include "WindowAnnouncer.h"

namespace {

using namespace ui;
using uitest::EnglishTemplate;
using uitest::TickingDialog;
using uitest::YesNoDialog;

MessageBoxRequest Box(std::wstring text, std::uint32_t style) {
    return {std::move(text), L"caption", style, res::LANG_ENGLISH, nullptr};
}

TEST(ScriptedUi, AnswersFromTheQueueThenTheCatchAllThenAsAClosedInput) {
    ScriptedUi ui;
    ui.Answer(IDRETRY);
    ui.Answer([](const MessageBoxRecord& r) { return r.text == L"two" ? IDCANCEL : IDRETRY; });
    EXPECT_EQ(ui.ShowMessageBox(Box(L"one", MB_RETRYCANCEL)), IDRETRY);
    EXPECT_EQ(ui.ShowMessageBox(Box(L"two", MB_RETRYCANCEL)), IDCANCEL);
    EXPECT_EQ(ui.ShowMessageBox(Box(L"three", MB_RETRYCANCEL)), IDCANCEL);
    EXPECT_EQ(ui.ShowMessageBox(Box(L"four", MB_ICONINFORMATION)), IDOK);
    ui.AnswerAll([](const MessageBoxRecord&) { return IDRETRY; });
    EXPECT_EQ(ui.ShowMessageBox(Box(L"five", MB_RETRYCANCEL)), IDRETRY);

    const auto boxes = ui.MessageBoxes();
    ASSERT_EQ(boxes.size(), 5u);
    EXPECT_EQ(ui.MessageTexts(),
              (std::vector<std::wstring>{L"one", L"two", L"three", L"four", L"five"}));
    EXPECT_TRUE(boxes[0].scripted);
    EXPECT_FALSE(boxes[2].scripted);
    EXPECT_FALSE(boxes[3].scripted);
    EXPECT_TRUE(boxes[4].scripted);
    EXPECT_EQ(boxes[0].caption, L"caption");
    EXPECT_EQ(boxes[0].style, MB_RETRYCANCEL);
    EXPECT_EQ(boxes[0].language, res::LANG_ENGLISH);
    EXPECT_EQ(boxes[0].shownOn, std::this_thread::get_id());
}

// A box asked for on a worker thread while a dialog runs is shown on the dialog's thread
// between two ticks; the dialog's timer goes on and the worker gets the answer.
TEST(ScriptedUi, BoxFromAWorkerThreadIsShownOnTheDialogThread) {
    common::ScopedPauseRecorder pauses;
    ScriptedUi ui;
    std::thread::id workerThread;
    int answer = 0;
    TickingDialog dialog(ui, [&](TickingDialog& self) {
        workerThread = std::this_thread::get_id();
        answer = self.Ui().ShowMessageBox(
            {L"failed", L"caption", MB_ICONEXCLAMATION, res::LANG_ENGLISH, &self});
    });
    ui.Answer([&](const MessageBoxRecord&) {
        EXPECT_TRUE(dialog.IsRunning());
        return IDOK;
    });
    EXPECT_EQ(dialog.DoModal(EnglishTemplate(res::IDD_PROGRESS)), 1);
    EXPECT_EQ(answer, IDOK);

    const auto box = ui.MessageBoxes().at(0);
    EXPECT_EQ(box.requestedOn, workerThread);
    EXPECT_EQ(box.shownOn, std::this_thread::get_id());
    EXPECT_EQ(box.owner, &dialog);
    const auto record = ui.Dialogs().at(0);
    EXPECT_FALSE(record.scripted);
    EXPECT_GE(record.ticks.size(), 1u);
    EXPECT_EQ(record.progressPositions.size(), record.ticks.size());
    EXPECT_EQ(record.result, 1);
}

// The box stays open for three ticks of the dialog beneath; the dialog ends on a tick
// after it is closed (how many ticks pass before the worker notices the answer depends on
// the threads, since ticks do not really wait).
TEST(ScriptedUi, TimersTickBeneathAnOpenBox) {
    common::ScopedPauseRecorder pauses;
    ScriptedUi ui;
    TickingDialog dialog(ui, [&](TickingDialog& self) {
        while (self.ticks < 2) {
            std::this_thread::yield();
        }
        self.Ui().ShowMessageBox({L"failed", L"", MB_ICONEXCLAMATION, 0, &self});
    });
    int ticksAtAnswer = 0;
    ui.Answer(
        [&](const MessageBoxRecord&) {
            ticksAtAnswer = dialog.ticks;
            return IDOK;
        },
        3);
    EXPECT_EQ(dialog.DoModal(EnglishTemplate(res::IDD_PROGRESS)), 1);
    EXPECT_EQ(ui.MessageBoxes().at(0).ticksWhileOpen, 3);
    EXPECT_GE(ticksAtAnswer, 5);
    EXPECT_GT(dialog.ticks, ticksAtAnswer);
}

TEST(ScriptedUi, RecordsNestedDialogsAndBoxesInOrder) {
    common::ScopedPauseRecorder pauses;
    ScriptedUi ui;
    struct Outer : YesNoDialog {
        using YesNoDialog::YesNoDialog;
        void OnOK() override {
            TickingDialog inner(Ui());
            inner.finished = true;
            Ui().ShowMessageBox({L"before", L"", MB_OK, 0, this});
            EndDialog(inner.DoModal(EnglishTemplate(res::IDD_PROGRESS), this));
        }
    };
    Outer outer(ui);
    ui.Script([](ScriptedDialog& d) { d.Press(IDOK); });
    ui.Start();
    EXPECT_EQ(outer.DoModal(EnglishTemplate(res::IDD_CONFIRM)), 1);
    ui.ShowMessageBox(Box(L"after", MB_OK));
    ui.Exit();

    using K = ScriptedUi::EventKind;
    std::vector<std::pair<K, std::size_t>> events;
    for (const auto& e : ui.Events()) {
        events.emplace_back(e.kind, e.index);
    }
    EXPECT_EQ(events, (std::vector<std::pair<K, std::size_t>>{
                          {K::Start, 0},
                          {K::Dialog, 0},
                          {K::MessageBox, 0},
                          {K::Dialog, 1},
                          {K::MessageBox, 1},
                          {K::Exit, 0},
                      }));
    const auto dialogs = ui.Dialogs();
    EXPECT_EQ(dialogs[0].templateId, res::IDD_CONFIRM);
    EXPECT_EQ(dialogs[0].caption, L"KORVELIN firmware update tool");
    EXPECT_EQ(dialogs[0].focusAfterInit, IDCANCEL);
    EXPECT_TRUE(dialogs[0].scripted);
    EXPECT_EQ(dialogs[1].templateId, res::IDD_PROGRESS);
    EXPECT_EQ(dialogs[1].parent, &outer);
    EXPECT_EQ(dialogs[1].ticks, (std::vector<unsigned>{1}));
    EXPECT_EQ(dialogs[1].progressPositions, (std::vector<int>{0}));
    EXPECT_EQ(dialogs[1].result, 1);
    EXPECT_EQ(pauses.Pauses(),
              (std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(100)}));
}

}  // namespace

namespace {

// Keeps the titles announced and not yet withdrawn.
class RecordingAnnouncer : public ui::WindowAnnouncer {
  public:
    std::unique_ptr<ui::WindowAnnouncement> Announce(std::wstring_view title) override {
        struct Shown : ui::WindowAnnouncement {
            Shown(RecordingAnnouncer& owner, std::wstring title) : owner(owner) {
                owner.showing.push_back(std::move(title));
            }
            ~Shown() override { owner.showing.pop_back(); }
            RecordingAnnouncer& owner;
        };
        return std::make_unique<Shown>(*this, std::wstring(title));
    }
    std::vector<std::wstring> showing;
};

TEST(ScriptedUi, BoxesAndDialogsAreAnnouncedWhileTheyShow) {
    ui::ScriptedUi ui;
    RecordingAnnouncer announcer;
    ui.SetWindowAnnouncer(&announcer);
    std::vector<std::vector<std::wstring>> seen;
    ui.Answer([&](const ui::MessageBoxRecord&) {
        seen.push_back(announcer.showing);
        return ui::IDOK;
    });
    ui.ShowMessageBox(Box(L"one", ui::MB_OK));
    uitest::YesNoDialog dialog(ui);
    ui.Script([&](ui::ScriptedDialog& d) {
        seen.push_back(announcer.showing);
        d.Press(ui::IDCANCEL);
    });
    dialog.DoModal(EnglishTemplate(res::IDD_CONFIRM));
    EXPECT_EQ(seen, (std::vector<std::vector<std::wstring>>{{L"caption"},
                                                            {L"KORVELIN firmware update tool"}}));
    EXPECT_TRUE(announcer.showing.empty());

    ui.SetWindowAnnouncer(nullptr);
    ui.ShowMessageBox(Box(L"two", ui::MB_OK));
    EXPECT_TRUE(announcer.showing.empty());
}

}  // namespace
