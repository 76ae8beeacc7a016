#pragma once
// Conversion between the program's wide strings and the narrow texts that come from the
// device or the image. The narrow encoding is the multibyte encoding of the user's locale
// (the program calls setlocale(LC_ALL, "") at start). Nothing is ever dropped silently: a
// character the encoding cannot carry, or a byte sequence that is not valid in it, becomes
// '?', the substitute character.

#include <string>
#include <string_view>

namespace common {

std::string WideToNarrow(std::wstring_view text);
std::wstring NarrowToWide(std::string_view text);

// UTF-8 is what the terminal and the desktop show, whatever the locale.
std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);

}  // namespace common
