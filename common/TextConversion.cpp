#include "TextConversion.h"

#include <climits>
#include <cwchar>

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

std::string WideToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t wch : text) {
        auto c = static_cast<char32_t>(wch);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::wstring Utf8ToWide(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t c = 0;
        if (b0 < 0x80) {
            c = b0;
        } else if ((b0 & 0xE0) == 0xC0) {
            extra = 1;
            c = b0 & 0x1F;
        } else if ((b0 & 0xF0) == 0xE0) {
            extra = 2;
            c = b0 & 0x0F;
        } else if ((b0 & 0xF8) == 0xF0) {
            extra = 3;
            c = b0 & 0x07;
        } else {
            out.push_back(static_cast<wchar_t>(0xFFFD));
            ++i;
            continue;
        }
        if (i + static_cast<std::size_t>(extra) >= text.size()) {
            // Truncated sequence at the end of the text.
            out.push_back(static_cast<wchar_t>(0xFFFD));
            break;
        }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((b & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (b & 0x3F);
        }
        if (!ok) {
            out.push_back(static_cast<wchar_t>(0xFFFD));
            ++i;
            continue;
        }
        out.push_back(static_cast<wchar_t>(c));
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

}  // namespace common
