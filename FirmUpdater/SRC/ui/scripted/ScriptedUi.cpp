#include "ScriptedUi.h"

#include "Dialog.h"
#include "MessageBoxButtons.h"

namespace ui {

// Records what happens to one dialog while it runs.
class ScriptedWindow : public LoopDialogWindow {
  public:
    ScriptedWindow(const res::DialogTemplate& dialogTemplate, Dialog& dialog, const Dialog* parent,
                   ScriptedUi& ui, std::size_t record)
        : LoopDialogWindow(dialogTemplate, dialog, parent), ui_(ui), record_(record) {}

    std::size_t Record() const { return record_; }

  protected:
    void ProgressChanged(int /*id*/, int position) override {
        ui_.UpdateDialog(record_,
                         [&](DialogRecord& r) { r.progressPositions.push_back(position); });
    }
    void ProgressAmountChanged(int /*id*/, std::uint64_t done, std::uint64_t total) override {
        ui_.UpdateDialog(record_,
                         [&](DialogRecord& r) { r.progressAmounts.emplace_back(done, total); });
    }
    void TimerFired(unsigned id) override {
        ui_.UpdateDialog(record_, [&](DialogRecord& r) { r.ticks.push_back(id); });
    }
    void VisibilityChanged(bool visible) override {
        ui_.UpdateDialog(record_, [&](DialogRecord& r) { r.visibilityChanges.push_back(visible); });
    }

  private:
    ScriptedUi& ui_;
    std::size_t record_;
};

std::wstring DialogRecord::TextAfterInit(int id) const {
    for (std::size_t i = 0; i < controlIds.size(); ++i) {
        if (controlIds[i] == id) {
            return textsAfterInit[i];
        }
    }
    return {};
}

Dialog& ScriptedDialog::Target() const {
    return window_.Owner();
}
std::wstring ScriptedDialog::Text(int id) const {
    return window_.ItemText(id);
}
std::optional<int> ScriptedDialog::Focus() const {
    return window_.Focus();
}
bool ScriptedDialog::Ended() const {
    return window_.Ended();
}
int ScriptedDialog::Result() const {
    return window_.Result();
}
void ScriptedDialog::Press(int id) {
    window_.Owner().PressButton(id);
}
void ScriptedDialog::Enter() {
    window_.Owner().PressEnter();
}
void ScriptedDialog::Escape() {
    window_.Owner().PressEscape();
}
void ScriptedDialog::Close() {
    window_.Owner().PressClose();
}
bool ScriptedDialog::Tick() {
    return !window_.Ended() && window_.FireNextTimer();
}
bool ScriptedDialog::RunUntilEnded() {
    return window_.RunUntilEnded();
}

void ScriptedUi::Answer(int result, int ticksWhileOpen) {
    Answer([result](const MessageBoxRecord&) { return result; }, ticksWhileOpen);
}

void ScriptedUi::Answer(BoxAnswer answer, int ticksWhileOpen) {
    std::lock_guard lock(mutex_);
    answers_.push_back({std::move(answer), ticksWhileOpen});
}

void ScriptedUi::AnswerAll(BoxAnswer answer) {
    std::lock_guard lock(mutex_);
    answerAll_ = std::move(answer);
}

void ScriptedUi::Script(DialogScript script) {
    std::lock_guard lock(mutex_);
    scripts_.push_back(std::move(script));
}

void ScriptedUi::ChooseFileAnswer(FileChoice choice) {
    std::lock_guard lock(mutex_);
    fileAnswers_.push_back(std::move(choice));
}

std::vector<FileChooserRequest> ScriptedUi::FileChoosers() const {
    std::lock_guard lock(mutex_);
    return fileChoosers_;
}

FileChoice ScriptedUi::ChooseFile(const FileChooserRequest& request) {
    std::lock_guard lock(mutex_);
    events_.push_back({EventKind::FileChooser, fileChoosers_.size()});
    fileChoosers_.push_back(request);
    if (fileAnswers_.empty()) {
        return {FileChoice::Outcome::Cancelled, {}};
    }
    auto choice = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
    return choice;
}

std::vector<MessageBoxRecord> ScriptedUi::MessageBoxes() const {
    std::lock_guard lock(mutex_);
    return boxes_;
}

std::vector<std::wstring> ScriptedUi::MessageTexts() const {
    std::lock_guard lock(mutex_);
    std::vector<std::wstring> texts;
    for (const auto& box : boxes_) {
        texts.push_back(box.text);
    }
    return texts;
}

std::vector<DialogRecord> ScriptedUi::Dialogs() const {
    std::lock_guard lock(mutex_);
    return dialogs_;
}

std::vector<ScriptedUi::Event> ScriptedUi::Events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

void ScriptedUi::Start() {
    std::lock_guard lock(mutex_);
    events_.push_back({EventKind::Start, 0});
}

void ScriptedUi::Exit() {
    std::lock_guard lock(mutex_);
    events_.push_back({EventKind::Exit, 0});
}

int ScriptedUi::ShowMessageBoxHere(const MessageBoxRequest& request, std::thread::id requestedOn) {
    MessageBoxRecord record{
        request.text, request.caption,           request.style, request.language, request.owner,
        requestedOn,  std::this_thread::get_id()};
    BoxAnswer answer;
    int ticksWhileOpen = 0;
    ScriptedWindow* beneath = nullptr;
    {
        std::lock_guard lock(mutex_);
        if (!answers_.empty()) {
            answer = std::move(answers_.front().answer);
            ticksWhileOpen = answers_.front().ticksWhileOpen;
            answers_.pop_front();
        } else {
            answer = answerAll_;
        }
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
            if ((*it)->Loop().IsLoopThread()) {
                beneath = *it;
                break;
            }
        }
    }
    while (beneath != nullptr && record.ticksWhileOpen < ticksWhileOpen && !beneath->Ended() &&
           beneath->FireNextTimer()) {
        ++record.ticksWhileOpen;
    }
    record.scripted = static_cast<bool>(answer);
    record.answer =
        answer ? answer(record)
               : ButtonsFor(request.style, ButtonLabelsFor(request.language)).endOfInputResult;
    std::lock_guard lock(mutex_);
    events_.push_back({EventKind::MessageBox, boxes_.size()});
    boxes_.push_back(record);
    return record.answer;
}

std::unique_ptr<LoopDialogWindow> ScriptedUi::CreateWindow(
    const res::DialogTemplate& dialogTemplate, Dialog& dialog, const Dialog* parent) {
    std::lock_guard lock(mutex_);
    DialogRecord record;
    record.templateId = dialogTemplate.id;
    record.language = dialogTemplate.language;
    record.caption = dialogTemplate.caption;
    record.dialog = &dialog;
    record.parent = parent;
    for (const auto* running : windows_) {
        if (&running->Owner() == parent) {
            record.parentShownAtStart = running->Visible();
        }
    }
    for (const auto& item : dialogTemplate.items) {
        record.controlIds.push_back(item.id);
    }
    events_.push_back({EventKind::Dialog, dialogs_.size()});
    dialogs_.push_back(std::move(record));
    auto window = std::make_unique<ScriptedWindow>(dialogTemplate, dialog, parent, *this,
                                                   dialogs_.size() - 1);
    windows_.push_back(window.get());
    return window;
}

void ScriptedUi::DriveDialog(LoopDialogWindow& window) {
    auto& scripted = static_cast<ScriptedWindow&>(window);
    DialogScript script;
    {
        std::lock_guard lock(mutex_);
        auto& record = dialogs_[scripted.Record()];
        record.textsAfterInit = window.ItemTexts();
        record.focusAfterInit = window.Focus();
        if (!scripts_.empty()) {
            script = std::move(scripts_.front());
            scripts_.pop_front();
            record.scripted = true;
        }
    }
    if (script) {
        ScriptedDialog control(scripted);
        script(control);
    } else {
        bool hasButtons = false;
        for (const auto& item : window.Template().items) {
            hasButtons |= item.controlClass == res::ControlClass::Button;
        }
        if (hasButtons) {
            window.Owner().PressEscape();
        }
    }
    if (!window.Ended() && !window.RunUntilEnded()) {
        UpdateDialog(scripted.Record(), [](DialogRecord& r) { r.stuck = true; });
    }
}

void ScriptedUi::DialogEnded(LoopDialogWindow& window) {
    auto& scripted = static_cast<ScriptedWindow&>(window);
    {
        std::lock_guard lock(mutex_);
        std::erase(windows_, &scripted);
    }
    UpdateDialog(scripted.Record(), [&](DialogRecord& r) {
        if (r.textsAfterInit.empty()) {  // OnInitDialog ended it
            r.textsAfterInit = window.ItemTexts();
            r.focusAfterInit = window.Focus();
        }
        r.result = window.Result();
    });
}

}  // namespace ui
