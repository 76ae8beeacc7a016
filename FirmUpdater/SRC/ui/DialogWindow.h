#pragma once
// A dialog while it runs: what the framework offers the dialog's handlers. Each user
// interface makes one per modal run; the handlers reach it through Dialog.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Resources.h"

namespace ui {

class DialogWindow {
  public:
    virtual ~DialogWindow() = default;

    virtual const res::DialogTemplate& Template() const = 0;

    // Controls are addressed by their ID; IDC_NONE addresses none.
    virtual bool HasItem(int id) const = 0;
    virtual void SetItemText(int id, std::wstring_view text) = 0;
    virtual std::wstring ItemText(int id) const = 0;
    virtual void SetFocus(int id) = 0;
    virtual std::optional<int> Focus() const = 0;
    // Moves a progress bar to `position`. A bar with the marquee style only moves on, as
    // long as no amount has been shown.
    virtual void SetProgressPosition(int id, int position) = 0;
    // Shows how much of a measured piece of work is done: `done` of `total` units (the
    // progress dialog gives bytes), done above total counting as total. From the first call
    // on, the bar is a determinate bar filled to that fraction, also when its template gave
    // it the marquee style: it no longer moves by itself. A total of 0 shows an empty bar.
    // Called on the dialog's thread, typically on every tick of a timer, with the same
    // values again when nothing moved.
    virtual void SetProgressAmount(int id, std::uint64_t done, std::uint64_t total) = 0;

    // Timers fire on the thread that runs the dialog. Setting an existing timer restarts it.
    virtual bool SetTimer(unsigned id, std::chrono::milliseconds period) = 0;
    virtual bool KillTimer(unsigned id) = 0;

    // Hides the window or shows it again; the dialog goes on running either way (a hidden
    // dialog still runs its timers and handlers). A dialog starts shown.
    virtual void SetVisible(bool visible) = 0;

    // Ends the modal loop once the running handler returns.
    virtual void End(int result) = 0;
};

}  // namespace ui
