// The thread locale and thread priorities through the Windows calls.

#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "Windows_PlatformServices.h"

namespace {

TEST(Windows_PlatformServicesTest, LocaleIsTheCallingThreadsLocale) {
    Windows_PlatformServices services;
    std::thread([&] {
        for (const LCID locale : {0x0407u, 0x0411u, 0x0404u}) {
            ASSERT_TRUE(::SetThreadLocale(locale));
            EXPECT_EQ(locale, services.Current());
        }
    }).join();
}

TEST(Windows_PlatformServicesTest, WorkerRunsOneLevelBelowItsStarter) {
    Windows_PlatformServices services;
    int level = THREAD_PRIORITY_ERROR_RETURN;
    std::thread([&] {
        ASSERT_EQ(THREAD_PRIORITY_NORMAL, ::GetThreadPriority(::GetCurrentThread()));
        services.LowerCallingThreadOneStep();
        level = ::GetThreadPriority(::GetCurrentThread());
    }).join();
    EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, level);
}

TEST(Windows_PlatformServicesTest, OneStepBelowEveryLevel) {
    const int steps[][2] = {
        {THREAD_PRIORITY_TIME_CRITICAL, THREAD_PRIORITY_HIGHEST},
        {THREAD_PRIORITY_HIGHEST, THREAD_PRIORITY_ABOVE_NORMAL},
        {THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_NORMAL},
        {THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_BELOW_NORMAL},
        {THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_LOWEST},
        {THREAD_PRIORITY_LOWEST, THREAD_PRIORITY_IDLE},
        {THREAD_PRIORITY_IDLE, THREAD_PRIORITY_IDLE},
    };
    for (const auto& [level, below] : steps) {
        EXPECT_EQ(below, Windows_PlatformServices::OneStepBelow(level)) << level;
    }
}

}  // namespace
