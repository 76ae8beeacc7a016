// The device operations through the whole chain down to an in-process virtual watch that
// fails on purpose: retry decorator, ORNA operations, packet protocol, report framing.
#include <gtest/gtest.h>

#include <chrono>

#include "DeviceClockRecord.h"
#include "OperationTable.h"
#include "WatchChain.h"

namespace ArmillonDevice {
namespace {

using testing::kReportTimeout;
using testing::kRetryPause;
using testing::WatchChain;
using watchsim::CommandKind;
using Pauses = std::vector<std::chrono::milliseconds>;

constexpr std::uint16_t kHardwareRecord = 0x1300;

TEST(DeviceChainTest, OpenReadsTheIdentityAndAFirstSuccessNeedsNoRetry) {
    WatchChain c;
    ASSERT_EQ(c.creator->Open(), DeviceErrorCode::Success);
    const SDeviceInformation* identity = c.creator->GetCachedDeviceInformation();
    ASSERT_NE(identity, nullptr);
    EXPECT_EQ(identity->firmwareVersion, L"01.20");
    EXPECT_EQ(identity->hardwareText, L"ORNA-HWREV1-612E");
    EXPECT_EQ(identity->productText1, L"ORNA Running Watch");
    EXPECT_EQ(identity->productText2, L"0A51");
    EXPECT_EQ(identity->productText3, L"EU01");

    EXPECT_EQ(c.creator->FlashSectorErase(1, 1), DeviceErrorCode::Success);
    EXPECT_TRUE(c.pauses.Pauses().empty());
    EXPECT_EQ(c.Count(CommandKind::Version), 1u);  // no reconnection
    EXPECT_EQ(c.Count(CommandKind::SectorErase), 1u);
}

TEST(DeviceChainTest, AFailingOperationIsAttemptedThreeTimesAfterReconnecting) {
    struct Case {
        const char* faults;
        std::int32_t expected;
        Pauses pauses;
        std::size_t attempts;
    };
    const Case cases[] = {
        // Three error replies: two retry pauses, the third error comes back.
        {"erase#1-3:error=0x0005", 0x0005, {kRetryPause, kRetryPause}, 3},
        {"erase#1-2:error=0x0005,erase#3:error=0x0006", 0x0006, {kRetryPause, kRetryPause}, 3},
        // Lost requests: each attempt waits for its reply until the time-out.
        {"erase#1-2:silent", 0, {kReportTimeout, kRetryPause, kReportTimeout, kRetryPause}, 3},
        {"erase#1:nostart", 0, {kRetryPause}, 2},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.faults);
        WatchChain c;
        ASSERT_EQ(c.creator->Open(), DeviceErrorCode::Success);
        c.watch.AddFaults(k.faults);
        EXPECT_EQ(c.creator->FlashSectorErase(1, 1), k.expected);
        EXPECT_EQ(c.pauses.Pauses(), k.pauses);
        EXPECT_EQ(c.Count(CommandKind::SectorErase), k.attempts);
        // Each retry reconnected (handshake) and read the identity again.
        EXPECT_EQ(c.Count(CommandKind::Version), k.attempts);
        EXPECT_EQ(c.Count(CommandKind::DataGet, kHardwareRecord), k.attempts);
    }
}

TEST(DeviceChainTest, AnotherWatchAnsweringAfterAReconnectionIsNotWrittenTo) {
    WatchChain c;
    ASSERT_EQ(c.creator->Open(), DeviceErrorCode::Success);
    // Every later opening of the port finds a watch of another model.
    c.watch.AddFaults("open:hwtext=ORNA-HWREV1-712E,write#1:error=0x0005");
    EXPECT_EQ(c.creator->FlashWrite(0x1000, {1, 2, 3}), DeviceErrorCode::TransferFailed);
    EXPECT_EQ(c.Count(CommandKind::FlashWrite), 1u);
    EXPECT_EQ(c.pauses.CountOf(kRetryPause), 2u);
    EXPECT_EQ(c.watch.Flash(0x1000, 3), (ByteVector{0xFF, 0xFF, 0xFF}));

    // Nor is the next operation, whose first attempt would go out on the connection the
    // failed identity check left behind.
    EXPECT_EQ(c.creator->FlashSectorErase(1, 1), DeviceErrorCode::TransferFailed);
    EXPECT_EQ(c.Count(CommandKind::SectorErase), 0u);
}

TEST(DeviceChainTest, AfterAnotherWatchAnsweredTheNextOperationGoesOnlyToTheOpenedOne) {
    WatchChain c;
    ASSERT_EQ(c.creator->Open(), DeviceErrorCode::Success);
    // Both retries of the write find another watch; then the opened one is back.
    c.watch.AddFaults("open#1-2:hwtext=ORNA-HWREV1-712E,write#1:error=0x0005");
    EXPECT_EQ(c.creator->FlashWrite(0x1000, {1, 2, 3}), DeviceErrorCode::TransferFailed);
    c.pauses.Clear();

    // The erase is not sent on the connection to the other watch; its retry reconnects,
    // finds the opened watch and erases there.
    EXPECT_EQ(c.creator->FlashSectorErase(1, 1), DeviceErrorCode::Success);
    EXPECT_EQ(c.Count(CommandKind::SectorErase), 1u);
    EXPECT_EQ(c.pauses.Pauses(), Pauses{kRetryPause});
}

TEST(DeviceChainTest, ANewerFirmwareGenerationStopsTheTrainingCountAtOnce) {
    struct Case {
        const char* version;
        bool supported;
    };
    const Case cases[] = {
        {"00.90", true}, {"01.99", true},  {"AB.CD", true},  // no digits reads as 0
        {" 1.00", true}, {"02.00", false}, {"10.00", false}, {"-1.00", false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.version);
        watchsim::WatchConfig config;
        config.firmwareVersion = k.version;
        WatchChain c(config);
        ASSERT_EQ(c.creator->Open(), DeviceErrorCode::Success);
        std::int32_t count = -1;
        const auto result = c.creator->GetTrainingDataCount(count, 1);
        if (k.supported) {
            EXPECT_EQ(result, DeviceErrorCode::Success);
            EXPECT_EQ(count, 0);
            EXPECT_EQ(c.Count(CommandKind::IndexTable), 1u);
        } else {
            EXPECT_EQ(result, DeviceErrorCode::UnsupportedFirmware);
            EXPECT_EQ(count, -1);
            EXPECT_EQ(c.Count(CommandKind::IndexTable), 0u);
            EXPECT_TRUE(c.pauses.Pauses().empty());
            EXPECT_EQ(c.Count(CommandKind::Version), 1u);
        }
    }
}

TEST(DeviceChainTest, AnInformationRecordThatFailedToLoadIsReadAgainNotTakenAsEmpty) {
    watchsim::WatchConfig config;
    config.firmwareVersion = "02.10";
    WatchChain c(config);
    ASSERT_EQ(c.orna->Open(), DeviceErrorCode::Success);
    c.watch.AddFaults("get@0x1200#1:error=0x0016");
    std::unique_ptr<SDeviceInformation> information;
    EXPECT_EQ(c.orna->GetDeviceInformation(information), 0x0016);
    EXPECT_EQ(information, nullptr);
    // An empty version text would read as generation 0 and let the download through.
    std::int32_t count = -1;
    EXPECT_EQ(c.orna->GetTrainingDataCount(count, 1), DeviceErrorCode::UnsupportedFirmware);
    EXPECT_EQ(c.Count(CommandKind::DataGet, 0x1200), 2u);
}

TEST(DeviceChainTest, CloseSucceedsEvenWhenTheGoodbyeIsLostAndForgetsTheIdentity) {
    WatchChain c;
    ASSERT_EQ(c.creator->Open(), DeviceErrorCode::Success);
    c.watch.AddFaults("disconnect:silent");
    EXPECT_EQ(c.creator->Close(), DeviceErrorCode::Success);
    EXPECT_EQ(c.pauses.Pauses(),
              (Pauses{kReportTimeout, kRetryPause, kReportTimeout, kRetryPause, kReportTimeout}));
    EXPECT_EQ(c.Count(CommandKind::Disconnect), 3u);
    EXPECT_EQ(c.creator->GetCachedDeviceInformation(), nullptr);
    std::unique_ptr<SDeviceInformation> information;
    EXPECT_EQ(c.creator->GetDeviceInformation(information), DeviceErrorCode::GeneralFailure);

    // Nothing proves the device any more: a failing write is retried but cannot succeed.
    c.pauses.Clear();
    EXPECT_EQ(c.creator->FlashWrite(0, {1}), DeviceErrorCode::GeneralFailure);
    EXPECT_EQ(c.pauses.CountOf(kRetryPause), 2u);
    EXPECT_EQ(c.Count(CommandKind::FlashWrite), 0u);
}

TEST(DeviceChainTest, WithoutAnOpenConnectionEveryOperationFailsAndSendsNothing) {
    WatchChain c;
    std::unique_ptr<SDeviceInformation> information;
    const auto checkAll = [&](const char* when,
                              DeviceErrorCode download = DeviceErrorCode::GeneralFailure) {
        SCOPED_TRACE(when);
        const auto before = c.watch.Requests().size();
        for (const auto& k : testing::kOrdinaryOperations) {
            SCOPED_TRACE(k.operation);
            testing::Arguments arguments;
            const bool isDownload = std::string(k.operation) == "GetTrainingData";
            EXPECT_EQ(k.call(*c.orna, arguments),
                      isDownload ? download : DeviceErrorCode::GeneralFailure);
            EXPECT_TRUE(arguments.OutputsUntouched());
        }
        EXPECT_EQ(c.orna->Reconnect(), DeviceErrorCode::GeneralFailure);
        EXPECT_EQ(c.orna->GetDeviceInformation(information), DeviceErrorCode::GeneralFailure);
        EXPECT_EQ(c.watch.Requests().size(), before);
    };
    checkAll("before the first open");
    ASSERT_EQ(c.orna->Open(), DeviceErrorCode::Success);
    ASSERT_EQ(c.orna->Close(), DeviceErrorCode::Success);
    EXPECT_EQ(c.Count(CommandKind::Disconnect), 1u);
    checkAll("after a close");

    // A failed open leaves a connection state without protocol: the same, but the download
    // finds its queue empty.
    c.watch.SetHeldByOtherProgram(true);
    EXPECT_EQ(c.orna->Open(), DeviceErrorCode::OpenFailed);
    EXPECT_NE(c.orna->GetConnectionState(), nullptr);
    checkAll("after a failed open", DeviceErrorCode::NoRecord);
    EXPECT_EQ(c.orna->Close(), DeviceErrorCode::Success);
    EXPECT_EQ(c.orna->GetConnectionState(), nullptr);
}

TEST(DeviceChainTest, FailedOperationsLeaveTheirOutputsAlone) {
    struct Case {
        const char* faults;
        const char* operation;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"read:error=0x0013", "FlashRead", 0x0013},
        {"read2:code=0x41", "FlashRead2", 0x0103},
        {"size@0x2010:short", "GetTime", 0x0102},  // a clock record of 31 bytes
        {"get@0x2010:short", "GetTime", 0x0102},   // the record arrives a byte short
        {"index:error=0x0011", "GetTrainingDataCount", 0x0011},
        {"get@0x5100:short", "GetTrainingData", 0x0102},
        {"meta@0x5100:error=0x0016", "GetTrainingData", 0x0016},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.faults);
        watchsim::WatchConfig config;
        config.trainingRecords = {{7, {0x4D}, {1, 2, 3, 4}, 1}};
        WatchChain c(config);
        ASSERT_EQ(c.creator->Open(), DeviceErrorCode::Success);
        std::int32_t queued = 0;
        ASSERT_EQ(c.creator->GetTrainingDataCount(queued, 1), DeviceErrorCode::Success);
        c.watch.AddFaults(k.faults);
        const auto& operation = *std::find_if(
            std::begin(testing::kOrdinaryOperations), std::end(testing::kOrdinaryOperations),
            [&](const auto& o) { return std::string(o.operation) == k.operation; });
        testing::Arguments arguments;
        EXPECT_EQ(operation.call(*c.creator, arguments), k.expected);
        EXPECT_TRUE(arguments.OutputsUntouched());
        EXPECT_EQ(c.pauses.CountOf(kRetryPause), 2u);
    }
}

TEST(DeviceChainTest, TrainingRecordsComeInTableOrderAndAFailedOneComesAgain) {
    watchsim::WatchConfig config;
    config.trainingRecords = {{5, {0xA1, 0xA2}, {1, 2, 3}, 1},
                              {9, {0xB1}, {4, 5}, 1},
                              {12, {0xC1}, {6}, 0}};  // already uploaded
    WatchChain c(config);
    ASSERT_EQ(c.creator->Open(), DeviceErrorCode::Success);
    std::int32_t count = -1;
    ASSERT_EQ(c.creator->GetTrainingDataCount(count, 1), DeviceErrorCode::Success);
    EXPECT_EQ(count, 2);

    std::unique_ptr<SORNATrainingData> record;
    ASSERT_EQ(c.creator->GetTrainingData(record, nullptr), DeviceErrorCode::Success);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->kind, 1);
    EXPECT_EQ(record->number, 5);
    EXPECT_EQ(record->bytes, (ByteVector{0xA1, 0xA2, 1, 2, 3}));  // metadata, then data
    EXPECT_EQ(record->hardwareText, "ORNA-HWREV1-612E");
    EXPECT_EQ(record->productText2, "0A51");
    EXPECT_EQ(record->productText3, "EU01");
    EXPECT_EQ(record->versionText, "01.20");
    ASSERT_EQ(c.creator->SetUploadFlag(record.get()), DeviceErrorCode::Success);
    EXPECT_EQ(c.watch.UploadFlag(5), 0);

    // Every attempt at the next record fails: the caller's pointer stays as it was and the
    // same record comes next time.
    c.watch.AddFaults("meta@0x5100#1-3:error=0x0016");
    EXPECT_EQ(c.creator->GetTrainingData(record, nullptr), 0x0016);
    EXPECT_EQ(record->number, 5);
    ASSERT_EQ(c.creator->GetTrainingData(record, nullptr), DeviceErrorCode::Success);
    EXPECT_EQ(record->number, 9);
    EXPECT_EQ(record->bytes, (ByteVector{0xB1, 4, 5}));

    // An empty queue: the listener still hears the start of a transfer.
    struct Listener : IReadProgressListener {
        void OnRead(std::uintptr_t value, std::uint32_t length) override {
            calls.emplace_back(value, length);
        }
        std::vector<std::pair<std::uintptr_t, std::uint32_t>> calls;
    } listener;
    EXPECT_EQ(c.orna->GetTrainingData(record, &listener), DeviceErrorCode::NoRecord);
    EXPECT_EQ(listener.calls, (decltype(listener.calls){{0, 100}}));
    EXPECT_EQ(record->number, 9);
    EXPECT_EQ(c.creator->SetUploadFlag(nullptr), DeviceErrorCode::GeneralFailure);
}

TEST(DeviceChainTest, SetTimeRewritesTheFirstTenBytesAndKeepsTheRest) {
    watchsim::WatchConfig config;
    config.clockRecordSize = 40;
    WatchChain c(config);
    ASSERT_EQ(c.creator->Open(), DeviceErrorCode::Success);
    // Device data behind the clock fields, put there directly through the protocol.
    ByteVector tail(30);
    for (std::size_t i = 0; i < tail.size(); ++i) {
        tail[i] = static_cast<std::uint8_t>(0x80 + i);
    }
    ASSERT_EQ(c.orna->GetCommunication()->DataSet(0x2010, 0, 10, 30, tail.data()),
              DeviceErrorCode::Success);

    STimeData time{SSystemTime{}, STimeZoneInformation{}, 0};
    ASSERT_EQ(c.creator->GetTime(time), DeviceErrorCode::Success);
    EXPECT_EQ(time.time, (SSystemTime{2024, 1, 1, 1, 12, 0, 0, 0}));  // a Monday

    // Tuesday 4 March 2025, 05:06:07 UTC, for a PC at UTC+09:00 without daylight saving.
    STimeData pc{SSystemTime{2025, 3, 2, 4, 5, 6, 7, 500}, STimeZoneInformation{}, 0};
    pc.timeZone.bias = -540;
    pc.timeZone.daylightBias = -60;
    ASSERT_EQ(c.creator->SetTime(pc), DeviceErrorCode::Success);
    const ByteVector record = c.watch.ClockRecord();
    ASSERT_EQ(record.size(), 40u);
    EXPECT_EQ(ByteVector(record.begin(), record.begin() + 10),
              (ByteVector{0xE9, 0x07, 3, 4, 5, 6, 7, 2, 36, 0}));
    EXPECT_EQ(ByteVector(record.begin() + 10, record.end()), tail);
}

TEST(DeviceChainTest, SectorErasesStopAtTheFirstSectorNumberZero) {
    struct Case {
        std::uint32_t first;
        std::uint32_t count;
        std::int32_t expected;
        std::vector<std::uint32_t> erased;
    };
    const Case cases[] = {
        {5, 0, 0, {}},
        {0, 1, 0x0104, {}},
        {0xFFFF, 2, 0x0104, {0xFFFF}},  // the second sector number wraps to 0
        {2, 3, 0, {2, 3, 4}},
        {0x1FFFE, 1, 0, {0xFFFE}},  // sector numbers travel as 16 bits
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(::testing::Message() << k.first << " + " << k.count);
        watchsim::WatchConfig config;
        config.sectorSize = 16;
        config.flashSize = 0x10000 * 16;  // room for sector 0xFFFF
        WatchChain c(config);
        ASSERT_EQ(c.orna->Open(), DeviceErrorCode::Success);
        for (std::uint32_t sector : k.erased) {
            ASSERT_EQ(c.orna->FlashWrite(sector * 16, ByteVector(16, 0)), DeviceErrorCode::Success);
        }
        EXPECT_EQ(c.orna->FlashSectorErase(k.first, k.count), k.expected);
        EXPECT_EQ(c.Count(CommandKind::SectorErase), k.erased.size());
        for (std::uint32_t sector : k.erased) {
            EXPECT_EQ(c.watch.Flash(sector * 16, 16), ByteVector(16, 0xFF)) << sector;
        }
    }
}

TEST(DeviceChainTest, FlashBlocksTravelWholeInOneRequest) {
    WatchChain c;
    ASSERT_EQ(c.creator->Open(), DeviceErrorCode::Success);
    ByteVector block(1000);
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<std::uint8_t>(i * 7);
    }
    ASSERT_EQ(c.creator->FlashWrite(0x2000, block), DeviceErrorCode::Success);
    ASSERT_EQ(c.creator->FlashWrite(0x3000, {}), DeviceErrorCode::Success);  // length 0
    EXPECT_EQ(c.Count(CommandKind::FlashWrite), 2u);

    ByteVector read{0xEE};
    ASSERT_EQ(c.creator->FlashRead(0x2000, 1000, read), DeviceErrorCode::Success);
    EXPECT_EQ(read.size(), 1001u);  // appended
    EXPECT_EQ(ByteVector(read.begin() + 1, read.end()), block);
    EXPECT_EQ(c.Count(CommandKind::FlashRead), 1u);
}

TEST(DeviceChainTest, AfterABareCommandCloseSaysNoGoodbye) {
    WatchChain c;
    ASSERT_EQ(c.creator->Open(), DeviceErrorCode::Success);
    ASSERT_EQ(c.creator->SendCommand30(), DeviceErrorCode::Success);
    EXPECT_EQ(c.orna->FlashSectorErase(1, 1), DeviceErrorCode::NotOpen);
    EXPECT_EQ(c.orna->Close(), DeviceErrorCode::Success);
    EXPECT_EQ(c.Count(CommandKind::Disconnect), 0u);
    EXPECT_EQ(c.orna->GetConnectionState(), nullptr);
    EXPECT_TRUE(c.watch.RebootPending());
}

}  // namespace
}  // namespace ArmillonDevice
