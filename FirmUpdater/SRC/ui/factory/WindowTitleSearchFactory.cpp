#include "WindowTitleSearchFactory.h"

#ifdef FU_HAVE_X11_SEARCH
#include "Linux_X11WindowTitleSearch.h"
#endif

namespace ui {
namespace {

class NoWindowTitleSearch : public IWindowTitleSearch {
  public:
    bool HasWindowTitled(const std::wstring& /*title*/) override { return false; }
};

}  // namespace

std::unique_ptr<IWindowTitleSearch> CreateWindowTitleSearch() {
#ifdef FU_HAVE_X11_SEARCH
    // Finds nothing by itself when DISPLAY is not set or cannot be opened.
    return std::make_unique<Linux_X11WindowTitleSearch>();
#else
    return std::make_unique<NoWindowTitleSearch>();
#endif
}

}  // namespace ui
