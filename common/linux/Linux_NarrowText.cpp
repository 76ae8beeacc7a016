// The narrow texts on Linux: the multibyte encoding of the C library's locale.
#include <climits>
#include <cwchar>

#include "TextConversion.h"

namespace common {

std::string WideToNarrow(std::wstring_view text) {
    std::string out;
    std::mbstate_t state{};
    char buf[MB_LEN_MAX];
    for (wchar_t wc : text) {
        std::size_t n = std::wcrtomb(buf, wc, &state);
        if (n == static_cast<std::size_t>(-1)) {
            state = std::mbstate_t{};
            out.push_back('?');
            continue;
        }
        out.append(buf, n);
    }
    return out;
}

std::wstring NarrowToWide(std::string_view text) {
    std::wstring out;
    std::mbstate_t state{};
    std::size_t pos = 0;
    while (pos < text.size()) {
        wchar_t wc = 0;
        std::size_t n = std::mbrtowc(&wc, text.data() + pos, text.size() - pos, &state);
        if (n == static_cast<std::size_t>(-1) || n == static_cast<std::size_t>(-2)) {
            // Invalid or truncated sequence: substitute and resynchronise on the next byte.
            state = std::mbstate_t{};
            out.push_back(L'?');
            ++pos;
            continue;
        }
        if (n == 0) {
            // An embedded zero byte stays a zero character.
            out.push_back(L'\0');
            ++pos;
            continue;
        }
        out.push_back(wc);
        pos += n;
    }
    return out;
}

}  // namespace common
