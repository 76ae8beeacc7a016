#include "TextFormat.h"

#include <stdexcept>

std::wstring FormatWide(std::wstring_view format, std::initializer_list<std::wstring_view> args) {
    std::wstring out;
    auto next = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%') {
            out += format[i];
            continue;
        }
        ++i;
        if (i < format.size() && format[i] == L'%') {
            out += L'%';
            continue;
        }
        std::size_t width = 0;
        while (i < format.size() && format[i] >= L'0' && format[i] <= L'9') {
            width = width * 10 + static_cast<std::size_t>(format[i] - L'0');
            if (width > 1024) {
                throw std::invalid_argument("field width out of range");
            }
            ++i;
        }
        if (i >= format.size() || format[i] != L's') {
            throw std::invalid_argument("only %s conversions are supported");
        }
        if (next == args.end()) {
            throw std::invalid_argument("more placeholders than arguments");
        }
        const std::wstring_view arg = *next++;
        if (arg.size() < width) {
            out.append(width - arg.size(), L' ');
        }
        out += arg;
    }
    return out;
}
