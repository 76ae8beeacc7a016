// The terminal interface's windows made findable.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

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

}  // namespace
