#include "WindowTitleSearchFactory.h"

#include "NoWindowTitleSearch.h"

#ifdef FU_HAVE_X11_SEARCH
#include "Linux_X11WindowTitleSearch.h"
#endif

namespace ui {

std::unique_ptr<IWindowTitleSearch> CreateWindowTitleSearch() {
#ifdef FU_HAVE_X11_SEARCH
    // Finds nothing by itself when DISPLAY is not set or cannot be opened.
    return std::make_unique<Linux_X11WindowTitleSearch>();
#else
    return std::make_unique<NoWindowTitleSearch>();
#endif
}

}  // namespace ui
