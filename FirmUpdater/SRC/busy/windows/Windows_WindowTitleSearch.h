#pragma once
// The busy check's window search on Windows: a top-level window of any class whose title is
// exactly the text, as FindWindowW compares titles.

#include <string>

#include "IWindowTitleSearch.h"

class Windows_WindowTitleSearch : public IWindowTitleSearch {
  public:
    bool HasWindowTitled(const std::wstring& title) override;
};
