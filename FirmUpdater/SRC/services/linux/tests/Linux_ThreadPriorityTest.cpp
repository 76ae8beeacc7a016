#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "Linux_ThreadPriority.h"

namespace {

TEST(ThreadPriority, LowersOnlyTheCallingThreadByOneStep) {
    const int own = Linux_ThreadPriority::CallingThreadNice();
    int lowered = 0;
    std::thread([&] {
        Linux_ThreadPriority::LowerCallingThreadOneStep();
        lowered = Linux_ThreadPriority::CallingThreadNice();
    }).join();
    EXPECT_EQ(lowered, std::min(own + 1, 19));
    EXPECT_EQ(Linux_ThreadPriority::CallingThreadNice(), own);
}

}  // namespace
