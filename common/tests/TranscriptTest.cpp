#include "Transcript.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "TemporaryDirectory.h"

namespace common {
namespace {

using namespace std::chrono;

TEST(TranscriptTest, SilentUntilASinkIsAttachedThenOneStampedLinePerEvent) {
    Transcript transcript;
    transcript.SetClock([] { return sys_days{2026y / December / 10} + 5h + 40min + 12s + 345ms; });
    EXPECT_FALSE(transcript.Enabled());
    transcript.Line("before");  // goes nowhere

    std::ostringstream out;
    transcript.AddStream(out);
    EXPECT_TRUE(transcript.Enabled());
    transcript.Line("busy check: free");
    EXPECT_EQ(out.str(), "2026-12-10T05:40:12.345Z  busy check: free\n");
}

TEST(TranscriptTest, AFileIsAppendedToAndAnUnwritableOneIsRefused) {
    const fu_testing::TemporaryDirectory directory("transcript-test-");
    const auto path = directory / "run.log";
    std::ofstream(path) << "earlier run\n";
    {
        Transcript transcript;
        ASSERT_TRUE(transcript.AppendToFile(path.string()));
        transcript.Line("this run");
    }
    std::string first;
    std::string second;
    {
        // Closed before the file is removed: an open file cannot be removed on Windows.
        std::ifstream in(path);
        std::getline(in, first);
        std::getline(in, second);
    }
    EXPECT_EQ(first, "earlier run");
    EXPECT_TRUE(second.ends_with("Z  this run")) << second;
    std::filesystem::remove(path);

    Transcript transcript;
    EXPECT_FALSE(transcript.AppendToFile((path / "no" / "such" / "dir.log").string()));
    EXPECT_FALSE(transcript.Enabled());
}

TEST(TranscriptTest, NumbersAndDurationsReadTheSameEverywhere) {
    EXPECT_EQ(FormatHex(0x1000, 8), "0x00001000");
    EXPECT_EQ(FormatHex(0x7FFF0001, 4), "0x7FFF0001");
    EXPECT_EQ(FormatDuration(4200us), "4.2 ms");
    EXPECT_EQ(FormatDuration(3010ms), "3.01 s");
    EXPECT_EQ(FormatTimestamp(sys_days{1999y / January / 2} + 3h + 4min + 5s + 6ms),
              "1999-01-02T03:04:05.006Z");
}

}  // namespace
}  // namespace common
