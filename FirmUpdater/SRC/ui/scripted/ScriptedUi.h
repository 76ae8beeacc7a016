#pragma once
// A user interface for tests: records every message box and dialog the application shows
// and answers them from a script, without a terminal or a display.
//
//   ui::ScriptedUi ui;
//   ui.Answer(ui::IDRETRY);                      // the first box: Retry
//   ui.Answer(ui::IDCANCEL);                     // the second: Cancel
//   ui.Script([](ui::ScriptedDialog& d) {        // the first dialog
//       EXPECT_EQ(d.Text(1005), L"...");
//       d.Press(ui::IDOK);
//   });
//   ui.ChooseFileAnswer({ui::FileChoice::Outcome::Chosen, L"a.img"});  // the first chooser
//   ... run the application on `ui` ...
//   ui.MessageBoxes(), ui.Dialogs(), ui.FileChoosers(), ui.Events()
//
// A box without a scripted answer takes the answer a closed input gives (Cancel, No or
// OK). A dialog without a script is cancelled when it has push buttons, then runs on its
// timers until it ends. Timer waits go through common::Pause: install a pause hook (for
// example common::ScopedPauseRecorder) so that they do not sleep.

#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "LoopBackend.h"

namespace ui {

struct MessageBoxRecord {
    std::wstring text;
    std::wstring caption;
    std::uint32_t style = 0;
    std::uint16_t language = 0;
    const Dialog* owner = nullptr;
    std::thread::id requestedOn;  // the thread that asked for the box
    std::thread::id shownOn;      // the thread it was shown on
    int answer = 0;
    bool scripted = false;   // false: no answer was scripted; the end-of-input answer was given
    int ticksWhileOpen = 0;  // timer ticks of the dialog beneath while the box was open
};

struct DialogRecord {
    std::uint16_t templateId = 0;
    std::uint16_t language = 0;
    std::wstring caption;
    const Dialog* dialog = nullptr;
    const Dialog* parent = nullptr;
    std::vector<int> controlIds;               // in template order
    std::vector<std::wstring> textsAfterInit;  // every control's text, in the same order
    std::optional<int> focusAfterInit;
    std::vector<unsigned> ticks;  // the timers that fired, in order
    std::vector<int> progressPositions;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> progressAmounts;  // done, total
    int result = 0;
    bool scripted = false;
    bool stuck = false;
    // Whether the parent dialog was shown when this one started (true without a parent),
    // and every change of this dialog's own visibility, in order.
    bool parentShownAtStart = true;
    std::vector<bool>
        visibilityChanges;  // nothing could end it any more; the framework ended it with -1

    // The text of control `id` after OnInitDialog.
    std::wstring TextAfterInit(int id) const;
};

class ScriptedWindow;

// What a dialog script does with the running dialog, on the dialog's thread.
class ScriptedDialog {
  public:
    explicit ScriptedDialog(ScriptedWindow& window) : window_(window) {}

    Dialog& Target() const;
    std::wstring Text(int id) const;
    std::optional<int> Focus() const;
    bool Ended() const;
    int Result() const;

    void Press(int id);
    void Enter();
    void Escape();
    void Close();
    // Lets the next timer fire; false when no timer is set.
    bool Tick();
    // Lets the timers run until the dialog ends; false when no timer is left to end it.
    bool RunUntilEnded();

  private:
    ScriptedWindow& window_;
};

class ScriptedUi : public LoopBackend {
  public:
    using BoxAnswer = std::function<int(const MessageBoxRecord&)>;
    using DialogScript = std::function<void(ScriptedDialog&)>;

    // Answers for the next message boxes, one per box, in order. `ticksWhileOpen` keeps
    // the box open while the timers of the dialog running on its thread fire that many
    // times, as they go on firing beneath an open box.
    void Answer(int result, int ticksWhileOpen = 0);
    void Answer(BoxAnswer answer, int ticksWhileOpen = 0);
    // The answer of every box once the queued ones are used up.
    void AnswerAll(BoxAnswer answer);
    // Scripts for the next dialogs, one per dialog, in order.
    void Script(DialogScript script);
    // Answers for the next file choosers, in order; a chooser without one is cancelled.
    void ChooseFileAnswer(FileChoice choice);

    // The file choosers asked for, in order.
    std::vector<FileChooserRequest> FileChoosers() const;

    enum class EventKind { Start, MessageBox, Dialog, FileChooser, Exit };
    struct Event {
        EventKind kind;
        std::size_t index;  // into MessageBoxes(), Dialogs() or FileChoosers()
    };

    std::vector<MessageBoxRecord> MessageBoxes() const;
    std::vector<std::wstring> MessageTexts() const;
    std::vector<DialogRecord> Dialogs() const;
    std::vector<Event> Events() const;

    void Start() override;
    void Exit() override;
    FileChoice ChooseFile(const FileChooserRequest& request) override;

  protected:
    int ShowMessageBoxHere(const MessageBoxRequest& request, std::thread::id requestedOn) override;
    std::unique_ptr<LoopDialogWindow> CreateWindow(const res::DialogTemplate& dialogTemplate,
                                                   Dialog& dialog, const Dialog* parent) override;
    void DriveDialog(LoopDialogWindow& window) override;
    void DialogEnded(LoopDialogWindow& window) override;

  private:
    friend class ScriptedWindow;
    template <typename Change>
    void UpdateDialog(std::size_t index, Change change) {
        std::lock_guard lock(mutex_);
        change(dialogs_[index]);
    }

    struct QueuedAnswer {
        BoxAnswer answer;
        int ticksWhileOpen;
    };

    mutable std::mutex mutex_;
    std::deque<QueuedAnswer> answers_;
    std::vector<ScriptedWindow*> windows_;  // running dialogs, innermost last
    BoxAnswer answerAll_;
    std::deque<DialogScript> scripts_;
    std::vector<MessageBoxRecord> boxes_;
    std::vector<DialogRecord> dialogs_;
    std::deque<FileChoice> fileAnswers_;
    std::vector<FileChooserRequest> fileChoosers_;
    std::vector<Event> events_;
};

}  // namespace ui
