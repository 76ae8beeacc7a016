#include "ReportFraming.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "WatchTestSupport.h"

namespace watchsim {
namespace {

using testing::Bytes;

Bytes Sequence(std::size_t count) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    return bytes;
}

TEST(FrameReply, SplitsIntoReportsWithPositionFlagsAndLengths) {
    struct Case {
        std::size_t blockSize;
        std::size_t reportLength;
        std::vector<std::pair<std::uint8_t, std::size_t>> flagsAndLengths;
    };
    const Case cases[] = {
        {13, 65, {{0xC0, 13}}},
        {62, 65, {{0xC0, 62}}},
        {63, 65, {{0x80, 62}, {0x40, 1}}},
        {130, 65, {{0x80, 62}, {0x00, 62}, {0x40, 6}}},
        // 9-bit lengths: bit 8 rides in bit 0 of the flags
        {300, 514, {{0xC1, 300}}},
        {600, 514, {{0x81, 511}, {0x40, 89}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blockSize);
        const Bytes block = Sequence(c.blockSize);
        const auto reports = FrameReply(block, c.reportLength);
        ASSERT_EQ(reports.size(), c.flagsAndLengths.size());
        Bytes joined;
        for (std::size_t i = 0; i < reports.size(); ++i) {
            ASSERT_EQ(reports[i].size(), c.reportLength);
            EXPECT_EQ(reports[i][0], 0x00);
            const auto [flags, length] = c.flagsAndLengths[i];
            EXPECT_EQ(reports[i][1], flags);
            EXPECT_EQ(reports[i][2], length & 0xFF);
            joined.insert(joined.end(), reports[i].begin() + 3, reports[i].begin() + 3 + length);
            EXPECT_TRUE(std::all_of(reports[i].begin() + 3 + length, reports[i].end(),
                                    [](std::uint8_t b) { return b == 0; }));
        }
        EXPECT_EQ(joined, block);
    }
}

TEST(RequestAssembler, CompletesOnceTheAnnouncedPayloadIsIn) {
    const Bytes payload = Sequence(200);
    const auto reports = testing::FrameRequest(0x41, payload, 65);
    ASSERT_EQ(reports.size(), 4u);
    RequestAssembler assembler(1024);
    for (std::size_t i = 0; i + 1 < reports.size(); ++i) {
        EXPECT_EQ(assembler.Feed(reports[i]), RequestAssembler::Outcome::Pending);
    }
    ASSERT_EQ(assembler.Feed(reports.back()), RequestAssembler::Outcome::Complete);
    EXPECT_EQ(assembler.Block(), testing::Concat(testing::Le({{0x41, 1}, {200, 4}}), payload));
}

TEST(RequestAssembler, WaitsAcrossMessagesForAShortRequest) {
    // Header announces 4 payload bytes but the first message ends after 2 of them.
    RequestAssembler assembler(1024);
    Bytes first(65, 0);
    const Bytes head{0x21, 4, 0, 0, 0, 0xAA, 0xBB};
    first[1] = 0xC0;
    first[2] = static_cast<std::uint8_t>(head.size());
    std::copy(head.begin(), head.end(), first.begin() + 3);
    EXPECT_EQ(assembler.Feed(first), RequestAssembler::Outcome::Pending);
    Bytes second(65, 0);
    second[1] = 0x40;
    second[2] = 2;
    second[3] = 0xCC;
    second[4] = 0xDD;
    ASSERT_EQ(assembler.Feed(second), RequestAssembler::Outcome::Complete);
    EXPECT_EQ(assembler.Block(), (Bytes{0x21, 4, 0, 0, 0, 0xAA, 0xBB, 0xCC, 0xDD}));
}

TEST(RequestAssembler, DropsReportsItCannotRead) {
    RequestAssembler assembler(1024);
    auto reports = testing::FrameRequest(0x00, {}, 65);
    Bytes noStart = reports[0];
    noStart[1] = 0x40;
    EXPECT_EQ(assembler.Feed(noStart), RequestAssembler::Outcome::Pending);
    Bytes tooLong = reports[0];
    tooLong[2] = 63;  // one more than a 65-byte report can carry
    EXPECT_EQ(assembler.Feed(tooLong), RequestAssembler::Outcome::Pending);
    EXPECT_EQ(assembler.Feed(Bytes{0x00, 0xC0}), RequestAssembler::Outcome::Pending);
    // A fresh start flag begins a new request and discards any half-received one.
    auto partial = testing::FrameRequest(0x41, Sequence(100), 65);
    EXPECT_EQ(assembler.Feed(partial[0]), RequestAssembler::Outcome::Pending);
    EXPECT_EQ(assembler.Feed(reports[0]), RequestAssembler::Outcome::Complete);
    EXPECT_EQ(assembler.Block(), (Bytes{0, 0, 0, 0, 0}));
}

TEST(RequestAssembler, RefusesAnOversizedAnnouncementWithoutCollectingIt) {
    RequestAssembler assembler(100);
    auto reports = testing::FrameRequest(0x41, Sequence(101), 65);
    EXPECT_EQ(assembler.Feed(reports[0]), RequestAssembler::Outcome::TooLarge);
    EXPECT_EQ(assembler.Block().size(), 5u);
    // The rest of that message is skipped; the next request is read normally.
    EXPECT_EQ(assembler.Feed(reports[1]), RequestAssembler::Outcome::Pending);
    EXPECT_EQ(assembler.Feed(testing::FrameRequest(0x01, {}, 65)[0]),
              RequestAssembler::Outcome::Complete);
}

}  // namespace
}  // namespace watchsim
