#pragma once
// printf-style formatting of the program's message texts. The texts use only "%s" with an
// optional width ("%5s"), which takes a wide string, right-aligns it in a field of at least
// that many characters and never cuts it; "%%" is a percent sign. Any other conversion, or
// a placeholder without an argument, throws std::invalid_argument: the texts are the
// program's own, so that is a fault of the program.

#include <initializer_list>
#include <string>
#include <string_view>

std::wstring FormatWide(std::wstring_view format, std::initializer_list<std::wstring_view> args);
