#pragma once
// The window search of the busy check on an X11 display: the top-level windows of the
// screen's root, each by its _NET_WM_NAME (UTF-8) or else its WM_NAME, compared exactly
// with the title asked for. Mapped or not, like the window search of the busy check
// expects. Behind a reparenting window manager the root's children are frames; the client
// window inside a frame (the one with WM_STATE) counts as the top-level window.
//
// Each search opens its own connection to the display, so it works whether or not the
// process shows windows itself. Without a display (none set, or it cannot be opened) it
// finds nothing.

#include <string>
#include <vector>

#include "IWindowTitleSearch.h"

class Linux_X11WindowTitleSearch : public IWindowTitleSearch {
  public:
    // `displayName` empty: the DISPLAY of the process.
    explicit Linux_X11WindowTitleSearch(std::string displayName = {});

    bool HasWindowTitled(const std::wstring& title) override;

    // The titles of all top-level windows, in UTF-8, in the root's stacking order; windows
    // without a title are left out. Empty without a display.
    std::vector<std::string> TopLevelTitles() const;

  private:
    std::string displayName_;
};
