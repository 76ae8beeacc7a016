#include "Pause.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TEST(Pause, RecorderSeesEveryPauseWithoutSleeping) {
    const auto start = std::chrono::steady_clock::now();
    {
        common::ScopedPauseRecorder recorder;
        common::Pause(3000ms);
        common::Pause(100ms);
        EXPECT_EQ(recorder.Pauses(), (std::vector<std::chrono::milliseconds>{3000ms, 100ms}));
        EXPECT_EQ(recorder.Total(), 3100ms);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}

TEST(Pause, RecordersNestAndRestoreTheOuterOne) {
    common::ScopedPauseRecorder outer;
    {
        common::ScopedPauseRecorder inner;
        common::Pause(5ms);
        EXPECT_EQ(inner.Pauses().size(), 1u);
    }
    common::Pause(7ms);
    EXPECT_EQ(outer.Pauses(), (std::vector<std::chrono::milliseconds>{7ms}));
}

}  // namespace
