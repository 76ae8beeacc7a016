#include "ModalLoop.h"

#include <gtest/gtest.h>

#include <thread>

#include "Pause.h"

namespace {

using namespace std::chrono_literals;
using ui::ModalLoop;

TEST(ModalLoop, TimersFireInOrderOfDueTimeWaitingOnlyThroughPause) {
    common::ScopedPauseRecorder pauses;
    ModalLoop loop;
    loop.SetTimer(1, 100ms);
    loop.SetTimer(2, 250ms);
    std::vector<unsigned> fired;
    for (int i = 0; i < 6; ++i) {
        fired.push_back(*loop.WaitForNextTimer());
    }
    // 100, 200, 250, 300, 400, 500 (timer 1 before 2 when both are due)
    EXPECT_EQ(fired, (std::vector<unsigned>{1, 1, 2, 1, 1, 1}));
    EXPECT_EQ(pauses.Total(), 500ms);
    EXPECT_EQ(pauses.Pauses().front(), 100ms);
}

TEST(ModalLoop, KillingAndRestartingTimers) {
    common::ScopedPauseRecorder pauses;
    ModalLoop loop;
    EXPECT_FALSE(loop.WaitForNextTimer());
    loop.SetTimer(1, 100ms);
    loop.SetTimer(2, 100ms);
    EXPECT_TRUE(loop.KillTimer(1));
    EXPECT_FALSE(loop.KillTimer(1));
    EXPECT_EQ(loop.WaitForNextTimer(), 2u);
    loop.SetTimer(2, 1ms);  // restarted, and lengthened to the minimum period
    EXPECT_EQ(loop.WaitForNextTimer(), 2u);
    EXPECT_EQ(pauses.Pauses().back(), ModalLoop::kMinimumPeriod);
    loop.KillAllTimers();
    EXPECT_FALSE(loop.HasTimers());
    EXPECT_FALSE(loop.WaitForNextTimer());
}

TEST(ModalLoop, TasksPostedFromOtherThreadsRunOnTheLoopThread) {
    ModalLoop loop;
    EXPECT_TRUE(loop.IsLoopThread());
    std::thread::id ranOn;
    std::thread poster([&] {
        EXPECT_FALSE(loop.IsLoopThread());
        loop.Post([&] { ranOn = std::this_thread::get_id(); });
    });
    poster.join();
    EXPECT_TRUE(loop.RunPendingTasks());
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_FALSE(loop.RunPendingTasks());
}

}  // namespace
