#pragma once
// Common part of the user interfaces that run dialogs and message boxes themselves on the
// application's threads (the terminal and the scripted one). Each modal dialog gets a
// ModalLoop on the thread that runs it; a message box asked for on another thread while a
// dialog runs is posted to the innermost dialog's thread, shown there between two timer
// ticks, and its answer handed back to the asking thread.

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "LoopDialogWindow.h"
#include "UiBackend.h"
#include "WindowAnnouncer.h"

namespace ui {

class LoopBackend : public UiBackend {
  public:
    int ShowMessageBox(const MessageBoxRequest& request) final;
    int RunModalDialog(const res::DialogTemplate& dialogTemplate, Dialog& dialog,
                       Dialog* parent) final;
    // Announces every box and dialog while it shows: these windows exist only here.
    void SetWindowAnnouncer(WindowAnnouncer* announcer) override { announcer_ = announcer; }

  protected:
    // Shows a box on the calling thread; only one at a time. `requestedOn` is the thread
    // that asked for it.
    virtual int ShowMessageBoxHere(const MessageBoxRequest& request,
                                   std::thread::id requestedOn) = 0;

    virtual std::unique_ptr<LoopDialogWindow> CreateWindow(
        const res::DialogTemplate& dialogTemplate, Dialog& dialog, const Dialog* parent);

    // Called after OnInitDialog: delivers the user's input and the timers until the dialog
    // ends. If it returns while the dialog still runs, the dialog ends with -1.
    virtual void DriveDialog(LoopDialogWindow& window) = 0;

    // Called when the dialog has ended, also when a handler's exception ends it, before
    // its window goes. Must not throw.
    virtual void DialogEnded(LoopDialogWindow& /*window*/) {}

  private:
    void PopLoop(ModalLoop& loop);

    std::mutex loopsMutex_;
    std::vector<ModalLoop*> loops_;  // innermost last
    std::mutex showMutex_;
    std::atomic<WindowAnnouncer*> announcer_{nullptr};
};

}  // namespace ui
