#include "LoopBackend.h"

#include <future>

#include "Dialog.h"

namespace ui {

namespace {

std::unique_ptr<WindowAnnouncement> AnnounceOn(WindowAnnouncer* announcer,
                                               std::wstring_view title) {
    return announcer != nullptr ? announcer->Announce(title) : nullptr;
}

}  // namespace

int LoopBackend::ShowMessageBox(const MessageBoxRequest& request) {
    const auto shown = AnnounceOn(announcer_, request.caption);
    const auto caller = std::this_thread::get_id();
    std::packaged_task<int()> show([this, &request, caller] {
        std::lock_guard lock(showMutex_);
        return ShowMessageBoxHere(request, caller);
    });
    auto answer = show.get_future();
    bool posted = false;
    {
        std::lock_guard lock(loopsMutex_);
        if (!loops_.empty() && !loops_.back()->IsLoopThread()) {
            loops_.back()->Post([&show] { show(); });
            posted = true;
        }
    }
    if (!posted) {
        show();
    }
    return answer.get();
}

std::unique_ptr<LoopDialogWindow> LoopBackend::CreateWindow(
    const res::DialogTemplate& dialogTemplate, Dialog& dialog, const Dialog* parent) {
    return std::make_unique<LoopDialogWindow>(dialogTemplate, dialog, parent);
}

void LoopBackend::PopLoop(ModalLoop& loop) {
    {
        std::lock_guard lock(loopsMutex_);
        std::erase(loops_, &loop);
    }
    // Nothing can be posted to this loop any more; whatever was, still runs.
    loop.RunPendingTasks();
}

int LoopBackend::RunModalDialog(const res::DialogTemplate& dialogTemplate, Dialog& dialog,
                                Dialog* parent) {
    const auto shown = AnnounceOn(announcer_, dialogTemplate.caption);
    auto window = CreateWindow(dialogTemplate, dialog, parent);
    {
        std::lock_guard lock(loopsMutex_);
        loops_.push_back(&window->Loop());
    }
    // Undone on every way out, a handler's exception included.
    struct Running {
        LoopBackend& backend;
        LoopDialogWindow& window;
        Dialog& dialog;
        ~Running() {
            if (!window.Ended()) {
                window.End(-1);
            }
            backend.DialogEnded(window);
            dialog.Attach(nullptr);
            backend.PopLoop(window.Loop());
        }
    } running{*this, *window, dialog};

    dialog.Attach(window.get());
    if (dialog.OnInitDialog() && !window->Ended()) {
        window->FocusFirstTabStop();
    }
    if (!window->Ended()) {
        DriveDialog(*window);
    }
    if (!window->Ended()) {
        window->End(-1);
    }
    return window->Result();
}

}  // namespace ui
