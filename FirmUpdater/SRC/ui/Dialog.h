#pragma once
// Base of the application's dialogs. A dialog class overrides the handlers; the framework
// calls them on the thread that runs the dialog, while DoModal runs. The operations for
// handlers do nothing while the dialog is not running.
//
//   class AskDialog : public ui::Dialog {
//   public:
//       using Dialog::Dialog;
//       bool OnInitDialog() override {
//           SetDlgItemText(1005, L"...");
//           GotoDlgCtrl(ui::IDCANCEL);
//           return false;  // focus set here
//       }
//       void OnOK() override { EndDialog(ui::IDOK); }
//   };
//   int result = AskDialog(ui).DoModal(*templateFound, nullptr);

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "MessageBoxRequest.h"
#include "Resources.h"

namespace ui {

class DialogWindow;
class UiBackend;

class Dialog {
  public:
    explicit Dialog(UiBackend& ui) : ui_(ui) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally from the template; returns the result it ended with, -1 when
    // it could not run (it is already running).
    int DoModal(const res::DialogTemplate& dialogTemplate, Dialog* parent = nullptr);

    UiBackend& Ui() const { return ui_; }
    bool IsRunning() const { return window_ != nullptr; }

    // Handlers. OnInitDialog returns true to let the framework focus the first control
    // with a tab stop, false when it has set the focus itself.
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    virtual void OnCommand(int /*id*/) {}
    virtual void OnTimer(unsigned /*timerId*/) {}

    // Operations for the handlers.
    bool HasDlgItem(int id) const;
    void SetDlgItemText(int id, std::wstring_view text);
    std::wstring GetDlgItemText(int id) const;
    void GotoDlgCtrl(int id);
    void SetProgressPos(int id, int position);
    // `done` of `total`; see DialogWindow::SetProgressAmount.
    void SetProgressAmount(int id, std::uint64_t done, std::uint64_t total);
    // Returns the timer's ID, 0 when it could not be set.
    unsigned SetTimer(unsigned id, std::chrono::milliseconds period);
    bool KillTimer(unsigned id);
    // Hides the running dialog or shows it again, without ending it.
    void ShowWindow(bool visible);
    void EndDialog(int result);

    // The user's input, delivered by the user interface. A push button sends its ID as a
    // command: 1 reaches OnOK, 2 OnCancel, others OnCommand. Enter presses the focused push
    // button, else the default push button, else OK; Esc is Cancel; the close command of
    // the system menu is Cancel when the dialog has a system menu and nothing otherwise.
    void PressButton(int id);
    void PressEnter() { PressButton(EnterCommand()); }
    void PressEscape() { PressButton(IDCANCEL); }
    void PressClose();
    // The command Enter would send now.
    int EnterCommand() const;

    // For the user interfaces: the window while the dialog runs, null otherwise.
    void Attach(DialogWindow* window) { window_ = window; }
    DialogWindow* Window() const { return window_; }

  private:
    UiBackend& ui_;
    DialogWindow* window_ = nullptr;
};

}  // namespace ui
