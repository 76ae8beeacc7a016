#pragma once
// The Windows desktop interface: dialogs built by the dialog manager from the templates of
// res/ (see Win32_DialogWindow), message boxes of our own (see Win32_MessageBox).
//
// Dialogs run on the thread that asks for them, each in the dialog manager's modal loop. A
// message box runs on the thread that asks for it, owned by the window of the dialog named
// as its owner: the update worker's box sits over the progress dialog, whose timer goes on
// ticking on the main thread meanwhile, and the worker waits for the answer.

#include "UiBackend.h"

namespace ui {

class Win32_Ui : public UiBackend {
  public:
    // Registers the common controls (the progress bar among them).
    void Start() override;
    int ShowMessageBox(const MessageBoxRequest& request) override;
    int RunModalDialog(const res::DialogTemplate& dialogTemplate, Dialog& dialog,
                       Dialog* parent) override;
    // The common item dialog (Win32_FileChooser), without an owner.
    FileChoice ChooseFile(const FileChooserRequest& request) override;
};

}  // namespace ui
