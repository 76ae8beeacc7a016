#include "TextFormat.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(TextFormat, WidthRightAlignsAndNeverCuts) {
    const struct {
        const wchar_t* format;
        std::initializer_list<std::wstring_view> args;
        const wchar_t* expected;
    } cases[] = {
        {L"Current firmware version: %5s", {L"01.20"}, L"Current firmware version: 01.20"},
        {L"Current firmware version: %5s", {L"1.2"}, L"Current firmware version:   1.2"},
        {L"Current firmware version: %5s", {L""}, L"Current firmware version:      "},
        {L"[%5s]", {L"1.2.3.4"}, L"[1.2.3.4]"},
        {L"[%s]", {L""}, L"[]"},
        {L"%s\n%s", {L"01.20", L"01.30    "}, L"01.20\n01.30    "},
        {L"[%12s]", {L"現在"}, L"[          現在]"},
        {L"100%% %s", {L"done", L"unused"}, L"100% done"},
        {L"no placeholders", {}, L"no placeholders"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatWide(c.format, c.args), c.expected) << c.format;
    }
}

TEST(TextFormat, RefusesOtherConversionsAndMissingArguments) {
    for (const wchar_t* format :
         {L"%d", L"%ls", L"%-5s", L"%.3s", L"%5d", L"end %", L"%s %s", L"%99999s"}) {
        EXPECT_THROW(FormatWide(format, {L"x"}), std::invalid_argument) << format;
    }
}

}  // namespace
