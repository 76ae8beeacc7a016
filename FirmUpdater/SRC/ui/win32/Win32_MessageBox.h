#pragma once
// The message box of the Windows interface: a dialog of our own rather than MessageBoxExW,
// whose language argument labels the buttons only when Windows has that display language
// installed; ours carries the labels of res/ in the box's language on every system. It
// looks and answers like the system's box: the information or exclamation icon of the
// system, the text broken into lines at the system's message font, the buttons at the
// bottom right, the default one focused; Enter presses the focused button, Esc and the
// close box answer Cancel (OK in a box with only OK); top-most when asked; the caption is
// the window's title, so the window search of other copies finds the box.

#include "MessageBoxRequest.h"
#include "Win32_Handle.h"

namespace ui {

class Win32_MessageBox {
  public:
    // Control IDs besides the buttons, whose IDs are their results.
    static constexpr int kIconId = 0x0FF0;
    static constexpr int kTextId = 0x0FF1;

    // Shows the box on the calling thread, owned by `owner` (may be null), and returns the
    // button pressed.
    static int Show(const MessageBoxRequest& request, HWND owner);
};

}  // namespace ui
