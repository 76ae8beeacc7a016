#pragma once
// The window search where there is nothing to search: no display to reach, or no platform
// given. It finds no window, so only the uploader lock can make the tool busy.

#include <string>

#include "IWindowTitleSearch.h"

class NoWindowTitleSearch : public IWindowTitleSearch {
  public:
    bool HasWindowTitled(const std::wstring& /*title*/) override { return false; }
};
