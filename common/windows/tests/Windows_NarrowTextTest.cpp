// The narrow texts in the ANSI code page. The test runs with the Western European code page
// (1252): the test registration sets the locale the code page follows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "TextConversion.h"

namespace {

class AnsiCodePage : public testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(::GetACP(), 1252u) << "the test expects code page 1252"; }
};

TEST_F(AnsiCodePage, TextTheCodePageHoldsRoundTrips) {
    const std::wstring text = L"Gr\u00fc\u00dfe 1.2\u00e93 \u20ac\u00a3 \u00bf\u00e7\u00f1";
    const std::string narrow = common::WideToNarrow(text);
    EXPECT_EQ(narrow,
              "Gr\xfc\xdf"
              "e 1.2\xe9"
              "3 \x80\xa3 \xbf\xe7\xf1");
    EXPECT_EQ(common::NarrowToWide(narrow), text);
    EXPECT_EQ(common::WideToNarrow(L"01.23"), "01.23");
}

TEST_F(AnsiCodePage, WhatItCannotHoldBecomesOneQuestionMarkEach) {
    const struct {
        const wchar_t* wide;
        const char* narrow;
    } cases[] = {
        {L"1.2\u4e003", "1.2?3"},
        {L"\u0417\u0434\u0440", "???"},
        // Letters with a look-alike in the code page are not replaced by it: a version or
        // a path would name something else.
        {L"\u0100\u0107\u0141", "???"},
        {L"\u221e\u2260", "??"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(common::WideToNarrow(c.wide), c.narrow);
    }
}

TEST_F(AnsiCodePage, EveryByteBecomesOneCharacter) {
    // 0x81 and 0x8D have no character in the code page; they never vanish.
    const std::wstring wide =
        common::NarrowToWide(std::string("A\x81\x8d"
                                         "B\xff",
                                         5));
    ASSERT_EQ(wide.size(), 5u);
    EXPECT_EQ(wide[0], L'A');
    EXPECT_EQ(wide[3], L'B');
    EXPECT_EQ(wide[4], L'\u00ff');
}

}  // namespace
