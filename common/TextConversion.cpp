#include "TextConversion.h"

namespace common {

namespace {

// A wide string holds UTF-32 where wchar_t has 32 bits and UTF-16 where it has 16 bits
// (Windows): there a character outside the Basic Multilingual Plane is a surrogate pair.
constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The code point starting at text[i]; `i` moves past it. A lone surrogate is U+FFFD.
char32_t NextCodePoint(std::wstring_view text, std::size_t& i) {
    auto c = static_cast<char32_t>(text[i++]);
    if constexpr (kWideIsUtf16) {
        c &= 0xFFFF;
        if (IsHighSurrogate(c) && i < text.size() &&
            IsLowSurrogate(static_cast<char32_t>(text[i]) & 0xFFFF)) {
            const auto low = static_cast<char32_t>(text[i++]) & 0xFFFF;
            return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    if (c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c)) {
        return 0xFFFD;
    }
    return c;
}

void AppendCodePoint(std::wstring& out, char32_t c) {
    if (kWideIsUtf16 && c >= 0x10000) {
        c -= 0x10000;
        out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
        return;
    }
    out.push_back(static_cast<wchar_t>(c));
}

}  // namespace

std::string WideToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char32_t c = NextCodePoint(text, i);
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
        if (c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c)) {
            c = 0xFFFD;
        }
        AppendCodePoint(out, c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

}  // namespace common
