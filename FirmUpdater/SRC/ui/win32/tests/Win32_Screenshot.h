#pragma once
// Windows as they are on the screen, saved as 24-bit BMP files: what the desktop tests and
// the end-to-end driver leave for people to look at. A picture is taken once the window has
// drawn: the screen can lag behind a window that has just painted (Wine hands a window's
// pixels to the X server when its thread next waits), and a picture taken too early shows a
// box without its buttons or a button without its label.

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

// A push button of a window as the window itself reports it.
struct Win32_PushButton {
    int id = 0;
    std::wstring text;     // GetWindowTextW: no message is sent to another process
    bool visible = false;  // IsWindowVisible
    int left = 0, top = 0, right = 0, bottom = 0;  // screen coordinates
};

// The push buttons among the window's children, in their order.
std::vector<Win32_PushButton> PushButtons(HWND window);

// What the screen shows in an area (screen coordinates, right and bottom excluded).
Win32_Screenshot CaptureArea(int left, int top, int right, int bottom);

// What the screen shows where the window is.
Win32_Screenshot CaptureWindow(HWND window);

// What the window itself shows wrong of its push buttons: one line for each button that is
// hidden or has no label. For a display that draws nothing, where no picture can tell more.
std::vector<std::wstring> UnusableButtons(HWND window);

// What a picture of the area lacks of the window's push buttons: one line for each button
// that is hidden, has no label, or shows in the picture as a plain face (not drawn, or its
// label not drawn). Empty when every button shows drawn with a label.
std::vector<std::wstring> MissingButtons(const Win32_Screenshot& shot, int areaLeft, int areaTop,
                                         HWND window);

// The picture of the area once the window has drawn: the window (its thread, when another)
// is made to paint now (a window of another process is only told to); then the screen is looked at
// until the picture shows every push button of the window drawn, for at most `timeoutMs`. `missing`
// receives what the last picture still lacks (MissingButtons).
Win32_Screenshot CaptureDrawn(HWND window, int left, int top, int right, int bottom,
                              unsigned timeoutMs, std::vector<std::wstring>& missing);

// False when the file cannot be written.
bool SaveBitmap(const Win32_Screenshot& shot, const std::wstring& path);

}  // namespace ui
