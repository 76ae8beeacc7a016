#include "TextConversion.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextConversion, Utf8DecoderSurvivesBrokenInput) {
    EXPECT_EQ(common::Utf8ToWide("\xe6\x97\xa5"), L"\u65e5");
    EXPECT_EQ(common::Utf8ToWide("a\xe6\x97"), std::wstring(L"a\xfffd"));
    EXPECT_EQ(common::Utf8ToWide("\x80x"), std::wstring(L"\xfffdx"));
    EXPECT_EQ(common::WideToUtf8(L"\U0001F600"), "\xf0\x9f\x98\x80");
}

// Characters outside the Basic Multilingual Plane take two wide characters where wchar_t has
// 16 bits; either way they survive the round trip whole, and what is no character becomes
// one U+FFFD.
TEST(TextConversion, Utf8CarriesEveryPlaneOnBothWideWidths) {
    const std::wstring astral = L"a\U0001F600\U00010348z";
    EXPECT_EQ(common::WideToUtf8(astral), "a\xf0\x9f\x98\x80\xf0\x90\x8d\x88z");
    EXPECT_EQ(common::Utf8ToWide(common::WideToUtf8(astral)), astral);
    EXPECT_EQ(common::Utf8ToWide("\xed\xa0\x80"), std::wstring(L"\xfffd"));      // a surrogate
    EXPECT_EQ(common::Utf8ToWide("\xf4\x90\x80\x80"), std::wstring(L"\xfffd"));  // > U+10FFFF
    if constexpr (sizeof(wchar_t) == 2) {
        const wchar_t lone[] = {L'x', static_cast<wchar_t>(0xD83D), L'y',
                                static_cast<wchar_t>(0xDE00)};
        EXPECT_EQ(common::WideToUtf8(std::wstring_view(lone, 4)), "x\xef\xbf\xbdy\xef\xbf\xbd");
    }
}

}  // namespace
