// State files and the report trace.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "ReportTraceFile.h"
#include "TemporaryDirectory.h"
#include "VirtualWatch.h"
#include "WatchTestSupport.h"

namespace watchsim {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::Bytes;
using testing::Concat;
using testing::DataClass;
using testing::Exchange;
using testing::Le;

using TemporaryDirectory = fu_testing::TemporaryDirectory;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(WatchState, FilesFollowTheUpdateAndALaterWatchContinuesFromThem) {
    TemporaryDirectory directory;
    WatchConfig config;
    config.stateDirectory = directory.Path() / "state";
    auto clock = std::make_shared<ManualClock>();
    {
        VirtualWatch watch(config, clock);
        EXPECT_EQ(fs::file_size(config.stateDirectory / "flash.bin"), 2u * 1024 * 1024);
        EXPECT_EQ(ReadText(config.stateDirectory / "version"), "01.20\n");

        ASSERT_TRUE(watch.Open());
        ASSERT_TRUE(Exchange(watch, 0x41, Concat(Le({{0x2000, 4}, {3, 4}}), {7, 8, 9})));
        Bytes block(0x7FFFA + 5, 0);
        std::copy_n("01.30", 5, block.begin() + 0x7FFFA);
        const auto size = static_cast<std::uint32_t>(block.size());
        ASSERT_TRUE(Exchange(
            watch, 0x21, Concat(DataClass(0x1600, 0x00, Le({{0, 2}, {0, 4}, {size, 4}})), block)));
        ASSERT_TRUE(Exchange(watch, 0x30));
        clock->Advance(1s);
        EXPECT_TRUE(watch.Present());

        // Consistent as soon as the watch is back, before anything shuts down.
        EXPECT_EQ(ReadText(config.stateDirectory / "version"), "01.30\n");
        const std::string flash = ReadText(config.stateDirectory / "flash.bin");
        EXPECT_EQ(flash.substr(0x1FFF, 5), std::string("\xFF\x07\x08\x09\xFF", 5));
        EXPECT_EQ(fs::file_size(config.stateDirectory / "data-1600.bin"), block.size());
        EXPECT_TRUE(watch.StateError().empty());
    }
    VirtualWatch again(config, clock);
    EXPECT_EQ(again.FirmwareVersion(), "01.30");
    EXPECT_EQ(again.Flash(0x2000, 3), (Bytes{7, 8, 9}));
    EXPECT_EQ(again.SettingsBlock(0x1600)->size(), 0x7FFFAu + 5);
}

TEST(WatchState, AnUnwritableDirectoryIsReportedNotThrown) {
    TemporaryDirectory directory;
    std::ofstream(directory.Path() / "file") << "x";
    WatchConfig config;
    config.stateDirectory = directory.Path() / "file" / "state";
    VirtualWatch watch(config);
    EXPECT_FALSE(watch.StateError().empty());
    ASSERT_TRUE(watch.Open());
    EXPECT_TRUE(Exchange(watch, 0x00));
}

TEST(ReportTrace, OneLinePerReportWithDirectionAndHex) {
    TemporaryDirectory directory;
    const fs::path path = directory.Path() / "trace.txt";
    {
        ReportTraceFile trace(path);
        WatchConfig config;
        config.reportLength = 8;
        VirtualWatch watch(config);
        watch.SetTrace(trace.Sink());
        ASSERT_TRUE(watch.Open());
        ASSERT_TRUE(Exchange(watch, 0x01));
        watch.SetTrace({});
    }
    EXPECT_EQ(ReadText(path),
              "> 00 C0 05 01 00 00 00 00 00\n"
              "< 00 C0 05 01 00 00 00 00 00\n");
}

}  // namespace
}  // namespace watchsim
