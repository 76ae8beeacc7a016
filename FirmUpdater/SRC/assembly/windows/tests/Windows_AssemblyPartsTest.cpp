// The wide command line.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "Windows_CommandLine.h"

namespace {

TEST(Windows_CommandLineTest, SplitsAsTheSystemDoesAndKeepsEveryCharacter) {
    const std::vector<std::wstring> expected = {
        L"firmupdater.exe", L"/l:1041", L"C:\\Bilder\\\u00fcber \u65e5\u672c\\fw \U0001F600.img"};
    EXPECT_EQ(expected, Windows_CommandLine::Split(
                            L"firmupdater.exe /l:1041 "
                            L"\"C:\\Bilder\\\u00fcber \u65e5\u672c\\fw \U0001F600.img\""));
    EXPECT_FALSE(Windows_CommandLine::Arguments().empty());
}

}  // namespace
