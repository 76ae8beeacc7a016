#pragma once
// The window handle type, declared as <windows.h> declares it, so that headers of the
// Windows interface need not include <windows.h> (whose macros clash with the framework's
// names; see Win32_Api.h).

#include <cstdint>

struct HWND__;
typedef HWND__* HWND;

namespace ui {

// The parameters of a dialog procedure on 64-bit Windows.
using Win32_WParam = std::uintptr_t;
using Win32_LParam = std::intptr_t;

}  // namespace ui
