#pragma once
// Finds a window when any of several searches does (the display's windows, and the
// terminal copies of this tool, for example).

#include <vector>

#include "IWindowTitleSearch.h"

class AnyWindowTitleSearch : public IWindowTitleSearch {
  public:
    // The searches are borrowed and asked in order.
    explicit AnyWindowTitleSearch(std::vector<IWindowTitleSearch*> searches)
        : searches_(std::move(searches)) {}

    bool HasWindowTitled(const std::wstring& title) override {
        for (auto* search : searches_) {
            if (search->HasWindowTitled(title)) {
                return true;
            }
        }
        return false;
    }

  private:
    std::vector<IWindowTitleSearch*> searches_;
};
