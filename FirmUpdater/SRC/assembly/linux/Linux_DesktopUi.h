#pragma once
// The desktop interface of the Linux program: the wxWidgets one when the build has it; none
// without it, and the program runs its dialogs on the terminal.

#include "UiFactory.h"

ui::DesktopUiFactory Linux_DesktopUi();
