#pragma once
// Windows as they are on the screen, saved as 24-bit BMP files: what the desktop tests and
// the end-to-end driver leave for people to look at.

#include <cstdint>
#include <string>
#include <vector>

#include "Win32_Handle.h"

namespace ui {

struct Win32_Screenshot {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // bottom-up rows of BGR, each padded to 4 bytes

    bool operator==(const Win32_Screenshot&) const = default;
};

// What the screen shows in an area (screen coordinates, right and bottom excluded).
Win32_Screenshot CaptureArea(int left, int top, int right, int bottom);

// What the screen shows where the window is.
Win32_Screenshot CaptureWindow(HWND window);

// False when the file cannot be written.
bool SaveBitmap(const Win32_Screenshot& shot, const std::wstring& path);

inline bool SaveScreenshot(HWND window, const std::wstring& path) {
    return SaveBitmap(CaptureWindow(window), path);
}

}  // namespace ui
