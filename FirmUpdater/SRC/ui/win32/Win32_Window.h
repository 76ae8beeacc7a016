#pragma once
// What the dialogs and message boxes of the Windows interface share: the program's icon on
// a window, the placement of a new window, the handle of a running dialog.

#include "Win32_Handle.h"

namespace ui {

class Dialog;

// The program's icon (resource 135) as the window's large and small icon; nothing when the
// executable carries no such icon.
void SetProgramIcon(HWND hwnd);

// Centres a new window over its owner, or on the work area of its monitor without one; it
// stays inside the work area.
void CenterOverOwner(HWND hwnd);

// The window of `dialog` while it runs in the Windows interface, else null.
HWND WindowOf(const Dialog* dialog);

}  // namespace ui
