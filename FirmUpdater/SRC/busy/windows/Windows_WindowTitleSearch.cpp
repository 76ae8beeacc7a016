#include "Windows_WindowTitleSearch.h"

#include <windows.h>

bool Windows_WindowTitleSearch::HasWindowTitled(const std::wstring& title) {
    return ::FindWindowW(nullptr, title.c_str()) != nullptr;
}
