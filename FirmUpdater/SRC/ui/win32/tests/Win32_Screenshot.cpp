#include "Win32_Screenshot.h"

#include "Win32_Api.h"

namespace ui {

Win32_Screenshot CaptureWindow(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return CaptureArea(rect.left, rect.top, rect.right, rect.bottom);
}

Win32_Screenshot CaptureArea(int left, int top, int right, int bottom) {
    GdiFlush();
    Win32_Screenshot shot;
    shot.width = right - left;
    shot.height = bottom - top;
    if (shot.width <= 0 || shot.height <= 0) {
        return {};
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = shot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bitmap != nullptr) {
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, shot.width, shot.height, screen, left, top, SRCCOPY);
        GdiFlush();
        const auto stride = (static_cast<std::size_t>(shot.width) * 3 + 3) & ~std::size_t{3};
        const auto* bytes = static_cast<const std::uint8_t*>(pixels);
        shot.pixels.assign(bytes, bytes + stride * static_cast<std::size_t>(shot.height));
        SelectObject(memory, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return shot;
}

bool SaveBitmap(const Win32_Screenshot& shot, const std::wstring& path) {
    if (shot.pixels.empty()) {
        return false;
    }
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = shot.width;
    header.biHeight = shot.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    const auto imageSize = static_cast<DWORD>(shot.pixels.size());
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + imageSize;
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD count = 0;
    const bool written = WriteFile(out, &file, sizeof file, &count, nullptr) &&
                         WriteFile(out, &header, sizeof header, &count, nullptr) &&
                         WriteFile(out, shot.pixels.data(), imageSize, &count, nullptr) &&
                         count == imageSize;
    CloseHandle(out);
    return written;
}

}  // namespace ui
