#pragma once
// A modal message box as the application asks for it, with the style and result values
// the application's code uses.

#include <cstdint>
#include <string>

namespace ui {

class Dialog;

// Styles: the buttons in the low four bits, the icon in the next four.
inline constexpr std::uint32_t MB_OK = 0x0;
inline constexpr std::uint32_t MB_OKCANCEL = 0x1;
inline constexpr std::uint32_t MB_YESNOCANCEL = 0x3;
inline constexpr std::uint32_t MB_YESNO = 0x4;
inline constexpr std::uint32_t MB_RETRYCANCEL = 0x5;
inline constexpr std::uint32_t MB_TYPEMASK = 0xF;
inline constexpr std::uint32_t MB_ICONEXCLAMATION = 0x30;
inline constexpr std::uint32_t MB_ICONINFORMATION = 0x40;
inline constexpr std::uint32_t MB_ICONMASK = 0xF0;
inline constexpr std::uint32_t MB_DEFBUTTON2 = 0x100;
inline constexpr std::uint32_t MB_DEFBUTTON3 = 0x200;
inline constexpr std::uint32_t MB_DEFMASK = 0xF00;
inline constexpr std::uint32_t MB_TOPMOST = 0x40000;

// Results: the button pressed. Dialog commands use the same numbers (push button 1 is OK,
// 2 is Cancel).
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDRETRY = 4;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

struct MessageBoxRequest {
    std::wstring text;
    std::wstring caption;
    std::uint32_t style = MB_OK;
    std::uint16_t language = 0;     // language of the button labels
    const Dialog* owner = nullptr;  // the dialog the box belongs to; null for none
};

}  // namespace ui
