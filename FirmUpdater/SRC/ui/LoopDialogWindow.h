#pragma once
// A running dialog of a user interface that draws it itself: the controls' texts, the
// focus, the progress positions and the timers, kept here; the interface watches the
// changes through the two hooks and feeds in the user's input through the Dialog.

#include <optional>
#include <string>
#include <vector>

#include "DialogWindow.h"
#include "ModalLoop.h"

namespace ui {

class Dialog;

class LoopDialogWindow : public DialogWindow {
  public:
    LoopDialogWindow(const res::DialogTemplate& dialogTemplate, Dialog& dialog,
                     const Dialog* parent);

    const res::DialogTemplate& Template() const override { return template_; }
    bool HasItem(int id) const override;
    void SetItemText(int id, std::wstring_view text) override;
    std::wstring ItemText(int id) const override;
    void SetFocus(int id) override;
    std::optional<int> Focus() const override { return focus_; }
    void SetProgressPosition(int id, int position) override;
    void SetProgressAmount(int id, std::uint64_t done, std::uint64_t total) override;
    bool SetTimer(unsigned id, std::chrono::milliseconds period) override;
    bool KillTimer(unsigned id) override;
    void SetVisible(bool visible) override;
    void End(int result) override;

    Dialog& Owner() const { return dialog_; }
    const Dialog* Parent() const { return parent_; }
    ModalLoop& Loop() { return loop_; }
    bool Ended() const { return ended_; }
    bool Visible() const { return visible_; }
    int Result() const { return result_; }

    // The texts of all controls, in template order.
    const std::vector<std::wstring>& ItemTexts() const { return texts_; }
    bool HasTimers() const { return loop_.HasTimers(); }

    // Focuses the first control with a tab stop.
    void FocusFirstTabStop();

    // Waits for the next timer and hands it to the dialog; false when no timer is set.
    bool FireNextTimer();

    // Runs posted tasks and timers until a handler ends the dialog. False when the dialog
    // is still running but has no timer left that could end it.
    bool RunUntilEnded();

  protected:
    virtual void ItemTextChanged(std::size_t /*index*/) {}
    virtual void ProgressChanged(int /*id*/, int /*position*/) {}
    // `done` is at most `total` here.
    virtual void ProgressAmountChanged(int /*id*/, std::uint64_t /*done*/,
                                       std::uint64_t /*total*/) {}
    virtual void TimerFired(unsigned /*id*/) {}
    virtual void VisibilityChanged(bool /*visible*/) {}

  private:
    std::optional<std::size_t> IndexOf(int id) const;

    const res::DialogTemplate& template_;
    Dialog& dialog_;
    const Dialog* parent_;
    ModalLoop loop_;
    std::vector<std::wstring> texts_;
    std::optional<int> focus_;
    bool visible_ = true;
    bool ended_ = false;
    int result_ = -1;
};

}  // namespace ui
