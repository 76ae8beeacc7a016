// The narrow texts on Windows: the ANSI code page (CP_ACP). A character the code page cannot
// carry becomes '?', never a look-alike of another character.
#include <windows.h>

#include <climits>

#include "TextConversion.h"

namespace common {
namespace {

int Length(std::size_t size) {
    return size > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(size);
}

}  // namespace

std::string WideToNarrow(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    if (::GetACP() == CP_UTF8) {
        return WideToUtf8(text);  // the UTF-8 code page takes no substitute character
    }
    const int length = Length(text.size());
    const int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length,
                                           nullptr, 0, "?", nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, out.data(), size,
                              "?", nullptr);
    }
    return out;
}

std::wstring NarrowToWide(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    if (::GetACP() == CP_UTF8) {
        return Utf8ToWide(text);
    }
    const int length = Length(text.size());
    const int size = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) {
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, out.data(), size);
    }
    return out;
}

}  // namespace common
