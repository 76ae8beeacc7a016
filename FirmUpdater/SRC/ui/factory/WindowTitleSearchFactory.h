#pragma once
// The window search the busy check uses: the X11 display's windows whenever a display is
// reachable, whichever user interface runs; none without one (it then finds nothing).

#include <memory>

#include "IWindowTitleSearch.h"

namespace ui {

std::unique_ptr<IWindowTitleSearch> CreateWindowTitleSearch();

}  // namespace ui
