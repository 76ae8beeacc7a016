// The terminal interface's windows made findable.

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

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

// As another program sees the window: a message sent with a bound is answered.
bool Answers(HWND window) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 2000,
                                 &result) != 0;
}

// Whether the sender's thread got an answer while this thread waited for it without pumping,
// as the terminal interface waits at a prompt.
bool AnswersWhileThisThreadWaits(HWND window) {
    bool answered = false;
    std::thread sender([window, &answered] { answered = Answers(window); });
    sender.join();
    return answered;
}

std::vector<HWND> TopLevelWindowsOfThisProcess() {
    std::vector<HWND> found;
    ::EnumWindows(
        [](HWND window, LPARAM list) -> BOOL {
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            if (process == ::GetCurrentProcessId()) {
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST(Windows_WindowAnnouncerTest, AnnouncedWindowsAnswerWhileTheirAnnouncersDoNotPump) {
    const std::wstring title = L"KORVELIN answers " + std::to_wstring(::GetCurrentProcessId());
    Windows_WindowAnnouncer announcer;
    {
        const auto here = announcer.Announce(title + L" here");
        ASSERT_NE(nullptr, here);
        // Announced on a thread that has ended since, as the update worker's box may be.
        std::unique_ptr<ui::WindowAnnouncement> there;
        std::thread([&] { there = announcer.Announce(title + L" there"); }).join();
        ASSERT_NE(nullptr, there);

        for (const auto* suffix : {L" here", L" there"}) {
            const HWND found = ::FindWindowW(nullptr, (title + suffix).c_str());
            ASSERT_NE(nullptr, found) << "title" << suffix;
            EXPECT_TRUE(AnswersWhileThisThreadWaits(found)) << "title" << suffix;
        }
        there.reset();
        EXPECT_EQ(nullptr, ::FindWindowW(nullptr, (title + L" there").c_str()));
        EXPECT_NE(nullptr, ::FindWindowW(nullptr, (title + L" here").c_str()));
    }
    // No window is left behind that nobody would pump.
    EXPECT_TRUE(TopLevelWindowsOfThisProcess().empty());
}

}  // namespace
