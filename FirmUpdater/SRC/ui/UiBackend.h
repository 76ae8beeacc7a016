#pragma once
// The dialog framework the application runs on. Its three parts: modal message boxes,
// modal dialogs built from dialog templates, and the application's start and exit hooks.
// One implementation per user interface: the terminal, a scripted one for tests, the
// desktop. A desktop interface also offers its file chooser.

#include "FileChooser.h"
#include "MessageBoxRequest.h"
#include "Resources.h"

namespace ui {

class Dialog;
class WindowAnnouncer;

class UiBackend {
  public:
    virtual ~UiBackend() = default;

    // Called once before the application's own start-up and once from its exit handling.
    virtual void Start() {}
    virtual void Exit() {}

    // A modal, top-most message box; returns the ID of the button pressed (IDOK, ...).
    // May be called from any thread. A user interface that shows its boxes on one thread
    // runs the box there while a modal dialog loop runs on that thread, so the dialog's
    // timers go on ticking, and blocks the calling thread until the box is answered.
    virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;

    // Runs `dialog` modally on the calling thread: creates the controls of the template,
    // calls the dialog's OnInitDialog, then delivers the user's input and the timers to its
    // handlers until one of them ends the dialog. Returns the result the dialog ended with,
    // or -1 when it could not run. `parent` is disabled while the dialog runs.
    virtual int RunModalDialog(const res::DialogTemplate& dialogTemplate, Dialog& dialog,
                               Dialog* parent) = 0;

    // Asks for a file to open in the desktop's file chooser, modally, on the calling thread
    // (the main thread, with no dialog of ours running). An interface without a chooser
    // answers NoChooser and shows nothing.
    virtual FileChoice ChooseFile(const FileChooserRequest& /*request*/) { return {}; }

    // An interface whose windows the platform's window search cannot find announces each
    // dialog and message box here while it shows (by caption); others ignore it. The
    // announcer is borrowed; null stops the announcements.
    virtual void SetWindowAnnouncer(WindowAnnouncer* /*announcer*/) {}
};

}  // namespace ui
