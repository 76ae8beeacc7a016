#pragma once
// A dialog template in the binary form the Windows dialog manager creates dialogs from
// (the extended template: a header, the font, then one record per control, each record on a
// four-byte boundary). The Windows interface builds its dialogs from these bytes at run time,
// so the texts and layouts stay in res/ and nowhere else.

#include <cstdint>
#include <string_view>
#include <vector>

#include "Resources.h"

namespace ui {

// Predefined control classes of the dialog manager, and the progress bar's class name.
inline constexpr std::uint16_t kButtonClassAtom = 0x0080;
inline constexpr std::uint16_t kStaticClassAtom = 0x0082;
inline constexpr std::wstring_view kProgressBarClass = L"msctls_progress32";

// Window style bits the template header uses.
inline constexpr std::uint32_t kDsSetFont = 0x00000040;
inline constexpr std::uint32_t kDsFixedSys = 0x00000008;
inline constexpr std::uint32_t kDefaultCharset = 1;

// The template's bytes: position 0, 0 (the interface places the window), the template's
// style and size, `exStyle` as the window's extended style, its caption, font and controls.
// Texts are stored as UTF-16.
std::vector<std::uint8_t> DialogTemplateBytes(const res::DialogTemplate& dialogTemplate,
                                              std::uint32_t exStyle = 0);

// The text as UTF-16 code units with a terminating zero.
std::vector<std::uint16_t> Utf16z(std::wstring_view text);

}  // namespace ui
