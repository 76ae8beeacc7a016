// The terminal interface's windows made findable, and the wide command line.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "Windows_CommandLine.h"
#include "Windows_WindowAnnouncer.h"

namespace {

TEST(Windows_WindowAnnouncerTest, AnnouncedTitleIsFoundWhileTheAnnouncementLives) {
    const std::wstring title =
        L"KORVELIN firmware update tool \u4e2d " + std::to_wstring(::GetCurrentProcessId());
    Windows_WindowAnnouncer announcer;
    {
        const auto announcement = announcer.Announce(title);
        ASSERT_NE(nullptr, announcement);
        const HWND found = ::FindWindowW(nullptr, title.c_str());
        ASSERT_NE(nullptr, found);
        EXPECT_FALSE(::IsWindowVisible(found));
    }
    EXPECT_EQ(nullptr, ::FindWindowW(nullptr, title.c_str()));
}

TEST(Windows_CommandLineTest, SplitsAsTheSystemDoesAndKeepsEveryCharacter) {
    const std::vector<std::wstring> expected = {
        L"firmupdater.exe", L"/l:1041", L"C:\\Bilder\\\u00fcber \u65e5\u672c\\fw \U0001F600.img"};
    EXPECT_EQ(expected, Windows_CommandLine::Split(
                            L"firmupdater.exe /l:1041 "
                            L"\"C:\\Bilder\\\u00fcber \u65e5\u672c\\fw \U0001F600.img\""));
    EXPECT_FALSE(Windows_CommandLine::Arguments().empty());
}

}  // namespace
