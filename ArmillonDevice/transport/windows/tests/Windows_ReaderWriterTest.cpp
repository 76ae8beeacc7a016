// Opening and whole-report transfers through the HID class driver, against a fake of the
// Win32 calls that produces what no device does on demand.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "FakeHidApi.h"
#include "Pause.h"
#include "Windows_USB_DeviceIdentifier.h"
#include "Windows_USB_HID_DeviceReaderWriter.h"

namespace ArmillonDevice {
namespace {

using testing::FakeHidApi;
using testing::FakeInterface;
using testing::FakeTransfer;
using Kind = FakeTransfer::Kind;

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD kShared = FILE_SHARE_READ | FILE_SHARE_WRITE;

FakeInterface WatchInterface() {
    FakeInterface watch;
    watch.path = L"\\\\?\\hid#vid_3a7c&pid_0a51#watch";
    watch.vendorId = 0x3A7C;
    watch.productId = 0x0A51;
    watch.caps.InputReportByteLength = 65;
    watch.caps.OutputReportByteLength = 65;
    return watch;
}

class Windows_ReaderWriterTest : public ::testing::Test {
  protected:
    Windows_ReaderWriterTest() { api_->interfaces = {WatchInterface()}; }

    FakeInterface& Watch() { return api_->interfaces[0]; }

    std::shared_ptr<FakeHidApi> api_ = std::make_shared<FakeHidApi>();
    Windows_USB_DeviceIdentifier identity_{L"\\\\?\\hid#vid_3a7c&pid_0a51#watch", 0x3A7C, 0x0A51};
};

TEST_F(Windows_ReaderWriterTest, OpensExclusivelyOverlappedWithLengthsFromTheCapabilities) {
    Watch().caps.InputReportByteLength = 65;
    Watch().caps.OutputReportByteLength = 33;
    Windows_USB_HID_DeviceReaderWriter transport(api_);

    ASSERT_EQ(DeviceErrorCode::Success, transport.Open(&identity_));
    EXPECT_TRUE(transport.IsOpen());
    EXPECT_EQ(65, transport.GetInputReportLength());
    EXPECT_EQ(33, transport.GetOutputReportLength());
    ASSERT_EQ(1u, api_->opens.size());
    EXPECT_EQ(kReadWrite, api_->opens[0].access);
    EXPECT_EQ(0u, api_->opens[0].share);
    EXPECT_EQ(static_cast<DWORD>(FILE_FLAG_OVERLAPPED), api_->opens[0].flags);
    EXPECT_EQ(1, api_->preparsedFreed);

    // Open again: nothing is reopened.
    EXPECT_EQ(DeviceErrorCode::Success, transport.Open(&identity_));
    EXPECT_EQ(1u, api_->opens.size());

    transport.Close();
    EXPECT_FALSE(transport.IsOpen());
    EXPECT_EQ(0, api_->OpenHandles());
    transport.Close();  // closing a closed transport is harmless
}

TEST_F(Windows_ReaderWriterTest, FallsBackToSharedWhenAnotherHandleHoldsTheDevice) {
    Watch().exclusiveOpenFails = true;
    Windows_USB_HID_DeviceReaderWriter transport(api_);

    ASSERT_EQ(DeviceErrorCode::Success, transport.Open(&identity_));
    ASSERT_EQ(2u, api_->opens.size());
    EXPECT_EQ(0u, api_->opens[0].share);
    EXPECT_EQ(static_cast<DWORD>(kShared), api_->opens[1].share);
    EXPECT_EQ(kReadWrite, api_->opens[1].access);
    EXPECT_EQ(static_cast<DWORD>(FILE_FLAG_OVERLAPPED), api_->opens[1].flags);
}

TEST_F(Windows_ReaderWriterTest, OpenFailuresLeaveNothingOpen) {
    struct Case {
        const char* name;
        void (*spoil)(FakeInterface&);
        DeviceErrorCode expected;
        int preparsedFreed;
    };
    const Case cases[] = {
        {"opens in neither share mode",
         [](FakeInterface& i) { i.exclusiveOpenFails = i.sharedOpenFails = true; },
         DeviceErrorCode::OpenFailed, 0},
        {"no preparsed data", [](FakeInterface& i) { i.preparsedDataFails = true; },
         DeviceErrorCode::GeneralFailure, 0},
        {"capabilities refused",
         [](FakeInterface& i) { i.capsStatus = HIDP_STATUS_INVALID_PREPARSED_DATA; },
         DeviceErrorCode::GeneralFailure, 1},
        {"reports too short for the framing",
         [](FakeInterface& i) { i.caps.InputReportByteLength = 3; }, DeviceErrorCode::OpenFailed,
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto api = std::make_shared<FakeHidApi>();
        api->interfaces = {WatchInterface()};
        c.spoil(api->interfaces[0]);
        Windows_USB_HID_DeviceReaderWriter transport(api);

        EXPECT_EQ(c.expected, transport.Open(&identity_));
        EXPECT_FALSE(transport.IsOpen());
        EXPECT_EQ(0, api->OpenHandles());
        EXPECT_EQ(c.preparsedFreed, api->preparsedFreed);
    }
}

class OtherIdentity : public DeviceIdentifier {
  public:
    std::unique_ptr<DeviceIdentifier> Clone() const override {
        return std::make_unique<OtherIdentity>();
    }
};

TEST_F(Windows_ReaderWriterTest, RefusesMissingAndForeignIdentities) {
    Windows_USB_HID_DeviceReaderWriter transport(api_);
    const OtherIdentity other;

    EXPECT_EQ(DeviceErrorCode::GeneralFailure, transport.Open(nullptr));
    EXPECT_EQ(DeviceErrorCode::GeneralFailure, transport.Open(&other));
    EXPECT_TRUE(api_->opens.empty());
}

// One row of the transfer table, tried both ways.
struct TransferCase {
    const char* name;
    FakeTransfer transfer;
    DeviceErrorCode expected;
    int cancels;
};

FakeTransfer Scripted(Kind kind, DWORD count, DWORD error = ERROR_SUCCESS) {
    FakeTransfer transfer;
    transfer.kind = kind;
    transfer.count = count;
    transfer.error = error;
    // A whole one-report message of 13 payload bytes, as the watch sends it.
    transfer.report.assign(65, 0);
    transfer.report[1] = 0xC0;
    transfer.report[2] = 13;
    return transfer;
}

const TransferCase kTransferCases[] = {
    {"whole report at once", Scripted(Kind::AtOnce, 65), DeviceErrorCode::Success, 0},
    {"short report at once", Scripted(Kind::AtOnce, 64), DeviceErrorCode::TransferFailed, 0},
    {"whole report after a wait", Scripted(Kind::Pending, 65), DeviceErrorCode::Success, 0},
    {"short report after a wait", Scripted(Kind::Pending, 20), DeviceErrorCode::TransferFailed, 0},
    {"device left during the wait", Scripted(Kind::Pending, 0, ERROR_DEVICE_NOT_CONNECTED),
     DeviceErrorCode::TransferFailed, 0},
    {"never ends", Scripted(Kind::NeverEnds, 0), DeviceErrorCode::TransferFailed, 1},
    {"whole report between the time-out and the cancellation", Scripted(Kind::EndsAtCancel, 65),
     DeviceErrorCode::Success, 1},
    {"short report between the time-out and the cancellation", Scripted(Kind::EndsAtCancel, 20),
     DeviceErrorCode::TransferFailed, 1},
    {"wait fails", Scripted(Kind::WaitFails, 0), DeviceErrorCode::TransferFailed, 1},
    {"device gone", Scripted(Kind::Refused, 0, ERROR_DEVICE_NOT_CONNECTED),
     DeviceErrorCode::GeneralFailure, 0},
    {"refused", Scripted(Kind::Refused, 0, ERROR_INVALID_PARAMETER),
     DeviceErrorCode::GeneralFailure, 0},
};

TEST_F(Windows_ReaderWriterTest, EveryWayATransferEndsBothWays) {
    for (const bool reading : {true, false}) {
        for (const auto& c : kTransferCases) {
            SCOPED_TRACE(std::string(c.name) + (reading ? " (read)" : " (write)"));
            auto api = std::make_shared<FakeHidApi>();
            api->interfaces = api_->interfaces;
            // The read is posted as the device opens: a read's script is there before.
            if (reading) {
                api->reads = {c.transfer};
            }
            Windows_USB_HID_DeviceReaderWriter transport(api);
            ASSERT_EQ(DeviceErrorCode::Success, transport.Open(&identity_));
            if (!reading) {
                api->writes = {c.transfer};
            }
            const common::ScopedPauseRecorder pauses;

            std::vector<std::uint8_t> report(65, 0);
            const auto result =
                reading ? transport.ReadReport(report) : transport.WriteReport(report);

            EXPECT_EQ(c.expected, result);
            EXPECT_EQ(c.cancels, api->cancels);
            EXPECT_FALSE(api->releasedWhilePending);
            EXPECT_EQ(2, api->eventsCreated) << "the events are the open device's";
            EXPECT_EQ(3, api->OpenHandles());
            for (const DWORD wait : api->waits) {
                EXPECT_EQ(10000u, wait);
            }
            // Only a time-out that ran its course is a pause; nothing sleeps for real.
            const bool timesOut =
                c.transfer.kind == Kind::NeverEnds || c.transfer.kind == Kind::EndsAtCancel;
            EXPECT_EQ(std::chrono::milliseconds(timesOut ? 10000 : 0), pauses.Total());
            if (reading && result == DeviceErrorCode::Success) {
                EXPECT_EQ(0xC0, report[1]);
                EXPECT_EQ(13, report[2]);
            }
        }
    }
}

TEST_F(Windows_ReaderWriterTest, NoEventsNoOpenDevice) {
    api_->eventFails = true;
    Windows_USB_HID_DeviceReaderWriter transport(api_);

    EXPECT_EQ(DeviceErrorCode::GeneralFailure, transport.Open(&identity_));
    EXPECT_FALSE(transport.IsOpen());
    EXPECT_EQ(0, api_->OpenHandles());
}

// The watch answers the command that ends the connection and leaves the bus at once: the
// reply was read by the read posted before, as on Linux, where a read started after the
// removal would be refused.
TEST_F(Windows_ReaderWriterTest, AReplySentJustBeforeTheWatchLeftIsRead) {
    Windows_USB_HID_DeviceReaderWriter transport(api_);
    ASSERT_EQ(DeviceErrorCode::Success, transport.Open(&identity_));
    api_->writes = {Scripted(Kind::AtOnce, 65)};
    const std::vector<std::uint8_t> request = {0x30, 1, 2};
    ASSERT_EQ(DeviceErrorCode::Success, transport.Write(request));

    api_->reads = {Scripted(Kind::Pending, 65)};
    api_->reads[0].report[3] = 0x5A;
    api_->Unplug();

    std::vector<std::uint8_t> reply(13);
    ASSERT_EQ(DeviceErrorCode::Success, transport.Read(reply, nullptr));
    EXPECT_EQ(0x5A, reply[0]);
    // Nothing more comes from a watch that has gone.
    EXPECT_NE(DeviceErrorCode::Success, transport.Read(reply, nullptr));
    EXPECT_EQ(0, api_->cancels);
    transport.Close();
    EXPECT_EQ(0, api_->OpenHandles());
    EXPECT_FALSE(api_->releasedWhilePending);
}

// Reports keep coming to the one posted read across reads, also when Windows cancelled the
// posted read because the thread that started it ended (the connection opens on one thread,
// the update reads on another).
TEST_F(Windows_ReaderWriterTest, ThePostedReadOutlivesTheThreadThatPostedIt) {
    Windows_USB_HID_DeviceReaderWriter transport(api_);
    ASSERT_EQ(DeviceErrorCode::Success, transport.Open(&identity_));
    api_->CancelWaitingReads();
    api_->reads = {Scripted(Kind::AtOnce, 65), Scripted(Kind::AtOnce, 65)};
    const common::ScopedPauseRecorder pauses;

    std::vector<std::uint8_t> report(65, 0);
    EXPECT_EQ(DeviceErrorCode::Success, transport.ReadReport(report));
    EXPECT_EQ(DeviceErrorCode::Success, transport.ReadReport(report));
    EXPECT_EQ(0, api_->cancels);
    EXPECT_EQ(std::chrono::milliseconds(0), pauses.Total());
}

TEST_F(Windows_ReaderWriterTest, ClosedTransportRefusesTransfers) {
    Windows_USB_HID_DeviceReaderWriter transport(api_);
    std::vector<std::uint8_t> report(65, 0);

    EXPECT_EQ(DeviceErrorCode::GeneralFailure, transport.ReadReport(report));
    EXPECT_EQ(DeviceErrorCode::GeneralFailure, transport.WriteReport(report));
    EXPECT_EQ(0, api_->OpenHandles());
}

TEST_F(Windows_ReaderWriterTest, BlocksTravelAsFramedReportsBothWays) {
    Windows_USB_HID_DeviceReaderWriter transport(api_);
    ASSERT_EQ(DeviceErrorCode::Success, transport.Open(&identity_));
    std::vector<std::uint8_t> block(130);
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<std::uint8_t>(i);
    }
    api_->writes = {Scripted(Kind::Pending, 65), Scripted(Kind::AtOnce, 65),
                    Scripted(Kind::Pending, 65)};

    ASSERT_EQ(DeviceErrorCode::Success, transport.Write(block));

    ASSERT_EQ(3u, api_->written.size());
    const std::uint8_t headers[3][3] = {{0, 0x80, 62}, {0, 0x00, 62}, {0, 0x40, 6}};
    for (std::size_t i = 0; i < 3; ++i) {
        ASSERT_EQ(65u, api_->written[i].size());
        EXPECT_EQ(
            std::vector<std::uint8_t>(headers[i], headers[i] + 3),
            std::vector<std::uint8_t>(api_->written[i].begin(), api_->written[i].begin() + 3));
    }
    EXPECT_EQ(block[129], api_->written[2][3 + 5]);

    // A two-report reply read back by byte counts.
    FakeTransfer first = Scripted(Kind::Pending, 65);
    first.report[1] = 0x80;
    first.report[2] = 62;
    first.report[3] = 0xAA;
    FakeTransfer last = Scripted(Kind::AtOnce, 65);
    last.report[1] = 0x40;
    last.report[2] = 2;
    last.report[4] = 0xBB;
    api_->reads = {first, last};
    std::vector<std::uint8_t> reply(64);

    ASSERT_EQ(DeviceErrorCode::Success, transport.Read(reply, nullptr));
    EXPECT_EQ(0xAA, reply[0]);
    EXPECT_EQ(0xBB, reply[63]);
    EXPECT_EQ(3, api_->OpenHandles());
}

}  // namespace
}  // namespace ArmillonDevice
