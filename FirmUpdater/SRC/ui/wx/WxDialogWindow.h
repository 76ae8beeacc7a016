#pragma once
// A dialog of the desktop interface while it runs: a wxDialog with one control per
// template item, placed from the template's dialog units in the dialog's own font. Input
// reaches the Dialog's handlers the way the framework defines it: push buttons send their
// ID, Enter and Esc are handled here (not by the toolkit's defaults), the close box counts
// only with a system menu. Exceptions from a handler end the dialog and are rethrown by
// RunModal.

#include <wx/dialog.h>

#include <chrono>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DialogLayout.h"
#include "DialogWindow.h"

class wxFont;
class wxKeyEvent;
class wxTimer;
class wxWindow;

namespace ui {

class Dialog;

class WxDialogWindow : public DialogWindow {
  public:
    WxDialogWindow(const res::DialogTemplate& dialogTemplate, Dialog& dialog, wxWindow* parent);
    ~WxDialogWindow() override;
    WxDialogWindow(const WxDialogWindow&) = delete;
    WxDialogWindow& operator=(const WxDialogWindow&) = delete;

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

    // Calls OnInitDialog, then runs the modal loop until the dialog ends; returns its result.
    int RunModal();

    // For the user interface and its tests.
    wxDialog& Frame() { return *frame_; }
    // The control of template item `index`.
    wxWindow& Control(std::size_t index) { return *controls_[index]; }
    const DialogLayout& Layout() const { return layout_; }
    // The text of template item `index`, and what a static control shows of it: the text
    // broken into lines to fit the control.
    const std::wstring& TextAt(std::size_t index) const { return texts_[index]; }
    std::wstring ShownText(std::size_t index) const;
    // What a key would do; for keys the framework handles itself (Enter, Esc).
    void HandleKey(wxKeyEvent& event);

  private:
    class Timer;

    std::optional<std::size_t> IndexOf(int id) const;
    void CreateControls();
    // Places the controls: template positions, then static texts wrapped and grown to fit.
    void Relayout();
    void Fire(unsigned id);
    // Runs a handler; an exception ends the dialog and is kept for RunModal.
    template <typename Handler>
    void Guard(Handler&& handler);

    const res::DialogTemplate& template_;
    Dialog& dialog_;
    std::unique_ptr<wxDialog> frame_;
    std::vector<wxWindow*> controls_;  // owned by frame_
    std::vector<std::wstring> texts_;
    DialogLayout layout_;
    std::map<unsigned, std::unique_ptr<Timer>> timers_;
    std::optional<int> requestedFocus_;
    bool modal_ = false;
    bool ended_ = false;
    bool measured_ = false;  // a progress amount has been shown
    int result_ = -1;
    std::exception_ptr error_;
};

}  // namespace ui
