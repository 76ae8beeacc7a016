// The uploader mutex and the window search against a second process of the same Wine prefix
// (or Windows session), as the companion programs and other copies of the tool meet them.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "Windows_NamedMutex.h"
#include "Windows_PeerProcess.h"
#include "Windows_WindowTitleSearch.h"

namespace {

using std::chrono::milliseconds;

// A name of this test's own, so that parallel runs and real companions stay out of it.
std::wstring MutexName(const wchar_t* what) {
    return std::wstring(L"FirmUpdaterTest ") + what + L" " +
           std::to_wstring(::GetCurrentProcessId());
}

TEST(Windows_NamedMutexTest, HeldElsewhereNotAcquiredUntilReleasedOrAbandoned) {
    for (const wchar_t* mode : {L"mutex", L"abandon"}) {
        SCOPED_TRACE(std::string(mode == std::wstring(L"mutex") ? "released" : "abandoned"));
        const auto name = MutexName(mode);
        Windows_PeerProcess peer(mode, name);
        ASSERT_EQ("held", peer.ReadLine());
        Windows_NamedMutex mutex(name);

        EXPECT_FALSE(mutex.Wait(milliseconds(10)));

        EXPECT_EQ(0u, peer.Finish());
        EXPECT_TRUE(mutex.Wait(milliseconds(10)));
        mutex.Release();
    }
}

TEST(Windows_NamedMutexTest, HeldHereKeepsAPeerOutUntilReleased) {
    const auto name = MutexName(L"here");
    Windows_NamedMutex mutex(name);
    ASSERT_TRUE(mutex.Wait(milliseconds(10)));
    ASSERT_TRUE(mutex.Wait(milliseconds(10)));  // a second check does not count twice
    {
        Windows_PeerProcess peer(L"mutex", name);
        // The peer waits up to 5 s for the mutex; it gets it once this side lets go once.
        mutex.Release();
        EXPECT_EQ("held", peer.ReadLine());
    }
    EXPECT_TRUE(mutex.Wait(milliseconds(10)));
}

TEST(Windows_NamedMutexTest, UnusableNameThrows) {
    // A backslash names a kernel object directory that does not exist.
    EXPECT_THROW(Windows_NamedMutex(L"NoSuchNamespace\\uploader"), std::runtime_error);
}

TEST(Windows_WindowTitleSearchTest, FindsAnotherProcessWindowByItsExactTitle) {
    Windows_WindowTitleSearch search;
    const std::wstring title =
        L"Kavel Pelmora \u30c6\u30b9\u30c8 " + std::to_wstring(::GetCurrentProcessId());
    EXPECT_FALSE(search.HasWindowTitled(title));
    {
        Windows_PeerProcess peer(L"window", title);
        ASSERT_EQ("shown", peer.ReadLine());

        EXPECT_TRUE(search.HasWindowTitled(title));
        EXPECT_FALSE(search.HasWindowTitled(title.substr(0, 5)));
        EXPECT_EQ(0u, peer.Finish());
    }
    EXPECT_FALSE(search.HasWindowTitled(title));
}

}  // namespace
