#include "TextWrap.h"

#include <gtest/gtest.h>

namespace {

using ui::WrapText;

// Every character is one unit wide.
int Count(std::wstring_view text) {
    return static_cast<int>(text.size());
}

TEST(TextWrap, BreaksAfterSpacesAtTheTextsOwnBreaksAndInsideOverlongWords) {
    const struct {
        const wchar_t* text;
        int width;
        const wchar_t* wrapped;
    } cases[] = {
        {L"short", 10, L"short"},
        {L"one two three", 7, L"one two\nthree"},
        {L"one two three", 6, L"one\ntwo\nthree"},
        {L"one  two", 4, L"one\ntwo"},   // spaces at a break are dropped
        {L"a\n\nb c", 1, L"a\n\nb\nc"},  // empty lines stay
        {L"abcdefghij xy", 4, L"abcd\nefgh\nij\nxy"},
        {L"", 5, L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WrapText(c.text, c.width, Count), c.wrapped) << c.text << " / " << c.width;
    }
}

TEST(TextWrap, BreaksBetweenCjkCharactersButNotBeforeClosingPunctuation) {
    EXPECT_EQ(WrapText(L"更新しますか", 4, Count), L"更新しま\nすか");
    // "。" and "」" stay with the character before them; "「" with the one after it.
    EXPECT_EQ(WrapText(L"更新する。完了", 4, Count), L"更新す\nる。完了");
    EXPECT_EQ(WrapText(L"abcd「更新」", 5, Count), L"abcd\n「更新」");
    // A Latin word inside CJK text is not split; "ー" does not begin a line either.
    EXPECT_EQ(WrapText(L"USBケーブル", 4, Count), L"USB\nケーブル");
}

TEST(TextWrap, NoTextIsLostAndNoLineIsWiderThanTheWidthUnlessOneCharacterIs) {
    const std::wstring text =
        L"Wenn die Firmware aktualisiert wird, befindet sich die KORVELIN im selben Zustand.\n"
        L"固件更新后，KORVELIN将与执行系统复位后的状态相同。\n\nОбновить?";
    for (int width = 1; width <= 40; ++width) {
        const auto wrapped = WrapText(text, width, Count);
        std::wstring joined;
        std::wstring original;
        std::size_t lineStart = 0;
        for (std::size_t i = 0; i <= wrapped.size(); ++i) {
            if (i == wrapped.size() || wrapped[i] == L'\n') {
                EXPECT_LE(static_cast<int>(i - lineStart), std::max(width, 1)) << width;
                lineStart = i + 1;
            }
        }
        for (const wchar_t c : wrapped) {
            if (c != L' ' && c != L'\n') {
                joined += c;
            }
        }
        for (const wchar_t c : text) {
            if (c != L' ' && c != L'\n') {
                original += c;
            }
        }
        EXPECT_EQ(joined, original) << width;
    }
}

}  // namespace
