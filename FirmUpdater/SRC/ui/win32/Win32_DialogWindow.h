#pragma once
// A dialog of the Windows interface while it runs: the dialog manager's window, created from
// the template's bytes (DialogTemplateBytes) by DialogBoxIndirectParamW, with the dialog
// manager's own keyboard handling. Input reaches the Dialog's handlers as the framework
// defines it: push buttons (and Enter, Esc) send their ID, the close command counts only with
// a system menu, WM_TIMER calls OnTimer. A handler's exception ends the dialog with -1 and
// comes out of Run.

#include <exception>
#include <optional>
#include <vector>

#include "DialogWindow.h"
#include "Win32_Handle.h"

namespace ui {

class Dialog;

class Win32_DialogWindow : public DialogWindow {
  public:
    // Runs `dialog` modally over `owner` (may be null); returns its result.
    static int Run(const res::DialogTemplate& dialogTemplate, Dialog& dialog, HWND owner);

    const res::DialogTemplate& Template() const override { return template_; }
    bool HasItem(int id) const override;
    void SetItemText(int id, std::wstring_view text) override;
    std::wstring ItemText(int id) const override;
    void SetFocus(int id) override;
    std::optional<int> Focus() const override;
    void SetProgressPosition(int id, int position) override;
    void SetProgressAmount(int id, std::uint64_t done, std::uint64_t total) override;
    bool SetTimer(unsigned id, std::chrono::milliseconds period) override;
    bool KillTimer(unsigned id) override;
    void SetVisible(bool visible) override;
    void End(int result) override;

    HWND Handle() const { return hwnd_; }
    // The control of template item `index`.
    HWND Control(std::size_t index) const { return controls_[index]; }

  private:
    Win32_DialogWindow(const res::DialogTemplate& dialogTemplate, Dialog& dialog);
    static std::intptr_t Procedure(HWND hwnd, unsigned message, Win32_WParam wParam,
                                   Win32_LParam lParam);
    std::intptr_t HandleMessage(unsigned message, Win32_WParam wParam);
    void Initialise(HWND hwnd);
    std::optional<std::size_t> IndexOf(int id) const;
    // Runs a handler; an exception ends the dialog and is kept for Run.
    template <typename Handler>
    void Guard(Handler&& handler);

    const res::DialogTemplate& template_;
    Dialog& dialog_;
    HWND hwnd_ = nullptr;
    std::vector<HWND> controls_;  // in template order
    std::vector<bool> marqueeStarted_;
    std::vector<bool> measured_;  // the bar shows an amount
    std::exception_ptr error_;
};

}  // namespace ui
