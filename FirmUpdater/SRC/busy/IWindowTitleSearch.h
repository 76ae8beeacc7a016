#pragma once
// Looks for a top-level window by its exact title: how the busy check recognises the
// companion programs and other copies of this tool. The desktop backend searches the X11
// display; tests use a fake.

#include <string>

class IWindowTitleSearch {
  public:
    virtual ~IWindowTitleSearch() = default;

    // True when a top-level window with exactly this title exists.
    virtual bool HasWindowTitled(const std::wstring& title) = 0;
};
