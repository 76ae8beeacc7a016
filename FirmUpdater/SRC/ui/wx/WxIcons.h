#pragma once
// The program's icon (resource 135) for the windows of the desktop interface.

#include <wx/iconbndl.h>

namespace ui {

// All sizes of the icon; made once, on the GUI thread.
const wxIconBundle& ProgramIconBundle();

}  // namespace ui
