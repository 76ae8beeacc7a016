// The protocol, the command set and the information records against the in-process virtual
// watch: a second, independent reading of the wire formats answers.
#include <gtest/gtest.h>

#include <numeric>

#include "IFirmwareInformation.h"
#include "IHardwareInformation.h"
#include "IProductInformation.h"
#include "ORNA_Communication.h"
#include "Pause.h"
#include "VirtualWatch.h"
#include "VirtualWatch_DeviceIdentifier.h"
#include "VirtualWatch_HID_DeviceReaderWriter.h"

namespace ArmillonDevice {
namespace {

using Bytes = std::vector<std::uint8_t>;
using std::chrono::milliseconds;
using namespace std::string_literals;

std::unique_ptr<ORNA_Communication> Connect(watchsim::HostPort& port) {
    return std::make_unique<ORNA_Communication>(
        std::make_unique<ORNA_Device>(std::make_unique<VirtualWatch_DeviceIdentifier>(&port),
                                      std::make_unique<VirtualWatch_HID_DeviceReaderWriter>()));
}

Bytes Pattern(std::size_t n, std::uint8_t seed) {
    Bytes bytes(n);
    for (std::size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<std::uint8_t>(seed + i * 7 + (i >> 8));
    }
    return bytes;
}

class VirtualWatchTest : public ::testing::Test {
  protected:
    VirtualWatchTest() : VirtualWatchTest(watchsim::WatchConfig{}) {}
    explicit VirtualWatchTest(watchsim::WatchConfig config)
        : watch(std::move(config)), connection(Connect(watch)) {
        // Waits pass in the watch's virtual time instead of real time.
        common::SetPauseHook([this](milliseconds d) {
            pauses.push_back(d);
            watch.GetClock().SleepFor(d);
        });
    }
    ~VirtualWatchTest() override { common::SetPauseHook({}); }

    void Open() { ASSERT_EQ(connection->Open(), DeviceErrorCode::Success); }

    watchsim::VirtualWatch watch;
    std::unique_ptr<ORNA_Communication> connection;
    std::vector<milliseconds> pauses;
};

TEST_F(VirtualWatchTest, HandshakeAndInformationRecords) {
    IFirmwareInformation firmware(*connection);
    IProductInformation product(*connection);
    IHardwareInformation hardware(*connection);
    // Closed at first: each update opens, reads and closes again.
    ASSERT_EQ(firmware.Update(), DeviceErrorCode::Success);
    EXPECT_FALSE(connection->IsOpen());
    EXPECT_EQ(connection->GetVersionWords(), (std::array<std::uint16_t, 4>{1, 0x14, 0, 0}));
    EXPECT_EQ(firmware.GetVersion(), "01.20");

    Open();
    ASSERT_EQ(product.Update(), DeviceErrorCode::Success);
    ASSERT_EQ(hardware.Update(), DeviceErrorCode::Success);
    EXPECT_TRUE(connection->IsOpen());
    EXPECT_EQ(product.GetProductText1(), "ORNA Running Watch\0\0"s);
    EXPECT_EQ(product.GetProductText2(), "0A51");
    EXPECT_EQ(product.GetProductText3(), "EU01");
    EXPECT_EQ(product.GetProductText4(), "01");
    EXPECT_EQ(hardware.GetHardwareText(), "ORNA-HWREV1-612E");
    EXPECT_EQ(hardware.GetHardwareWord(), 0x0001);
    EXPECT_EQ(connection->Close(), DeviceErrorCode::Success);
    EXPECT_FALSE(watch.IsOpen());
}

TEST_F(VirtualWatchTest, FlashEraseWriteAndReadBack) {
    Open();
    const Bytes block = Pattern(5000, 3);  // 81 reports of 62 bytes
    ASSERT_EQ(connection->FlashSectorErase(1), DeviceErrorCode::Success);
    ASSERT_EQ(connection->FlashSectorErase(2), DeviceErrorCode::Success);
    ASSERT_EQ(
        connection->FlashWrite(0x1000, static_cast<std::uint32_t>(block.size()), block.data()),
        DeviceErrorCode::Success);
    Bytes read{0xEE};
    ASSERT_EQ(connection->FlashRead(0x1000, 5000, read), DeviceErrorCode::Success);
    EXPECT_EQ(Bytes(read.begin() + 1, read.end()), block);
    EXPECT_EQ(watch.Flash(0x1000, 5000), block);
    // Erased flash reads 0xFF.
    Bytes erased;
    ASSERT_EQ(connection->FlashRead(0x1000 + 5000, 16, erased), DeviceErrorCode::Success);
    EXPECT_EQ(erased, Bytes(16, 0xFF));

    const Bytes second = Pattern(300, 9);
    ASSERT_EQ(connection->FlashWrite2(0x100, 300, second.data()), DeviceErrorCode::Success);
    Bytes read2;
    ASSERT_EQ(connection->FlashRead2(0x100, 300, read2), DeviceErrorCode::Success);
    EXPECT_EQ(read2, second);
}

TEST_F(VirtualWatchTest, SettingsBlockAndClockRoundTrip) {
    Open();
    const Bytes settings = Pattern(1000, 1);
    ASSERT_EQ(connection->DataSet(0x1604, 0, 0, 1000, settings.data()), DeviceErrorCode::Success);
    EXPECT_EQ(watch.SettingsBlock(0x1604), settings);
    std::uint32_t size = 0;
    ASSERT_EQ(connection->DataSizeGet(0x1604, 0, size), DeviceErrorCode::Success);
    EXPECT_EQ(size, 1000u);

    ASSERT_EQ(connection->DataSizeGet(0x2010, 0, size), DeviceErrorCode::Success);
    EXPECT_EQ(size, 32u);
    Bytes clock;
    ASSERT_EQ(connection->DataGet(0x2010, 0, 0, size, clock, nullptr), DeviceErrorCode::Success);
    ASSERT_EQ(clock.size(), 32u);
    EXPECT_EQ(Bytes(clock.begin(), clock.begin() + 8),
              (Bytes{0xE8, 0x07, 1, 1, 12, 0, 0, 1}));  // 2024-01-01 12:00:00, a Monday
}

TEST_F(VirtualWatchTest, ControlCommandEndsTheConnectionAndTheWatchComesBack) {
    Open();
    ASSERT_EQ(connection->SendCommand31(), DeviceErrorCode::Success);
    EXPECT_FALSE(connection->IsOpen());
    EXPECT_EQ(connection->FlashSectorErase(1), DeviceErrorCode::NotOpen);

    EXPECT_EQ(connection->Open(), DeviceErrorCode::OpenFailed);  // rebooting
    watch.GetClock().SleepFor(std::chrono::seconds(1));
    EXPECT_EQ(connection->Open(), DeviceErrorCode::Success);
    EXPECT_EQ(watch.RebootCount(), 1u);
}

watchsim::WatchConfig WithTrainingRecords() {
    watchsim::WatchConfig config;
    config.trainingRecords = {{7, {0xA1, 0xA2}, Pattern(986, 4), 1},
                              {9, {0xB1}, Pattern(40, 8), 0}};
    return config;
}

class VirtualWatchTrainingTest : public VirtualWatchTest {
  protected:
    VirtualWatchTrainingTest() : VirtualWatchTest(WithTrainingRecords()) {}
};

TEST_F(VirtualWatchTrainingTest, TrainingRecordDownloadWithProgress) {
    struct Progress : IReadProgressListener {
        void OnRead(std::uintptr_t received, std::uint32_t total) override {
            last = {static_cast<std::uint32_t>(received), total};
            ++calls;
        }
        std::pair<std::uint32_t, std::uint32_t> last;
        int calls = 0;
    } progress;
    Open();
    std::vector<std::uint16_t> all;
    std::vector<std::uint16_t> pending;
    ASSERT_EQ(connection->DataIndexTableGet(0x5100, 0, all), DeviceErrorCode::Success);
    ASSERT_EQ(connection->DataIndexTableGet(0x5100, 1, pending), DeviceErrorCode::Success);
    EXPECT_EQ(all, (std::vector<std::uint16_t>{7, 9}));
    EXPECT_EQ(pending, std::vector<std::uint16_t>{7});

    Bytes meta;
    ASSERT_EQ(connection->MetaDataGet(0x5100, 7, meta), DeviceErrorCode::Success);
    EXPECT_EQ(meta, (Bytes{0xA1, 0xA2}));
    std::uint32_t size = 0;
    ASSERT_EQ(connection->DataSizeGet(0x5100, 7, size), DeviceErrorCode::Success);
    ASSERT_EQ(size, 986u);
    Bytes data;
    ASSERT_EQ(connection->DataGet(0x5100, 7, 0, size, data, &progress), DeviceErrorCode::Success);
    EXPECT_EQ(data, Pattern(986, 4));
    EXPECT_EQ(progress.last, std::make_pair(1000u, 1000u));
    EXPECT_EQ(progress.calls, 1 + 17);

    ASSERT_EQ(connection->DataUploadFlagSet(0x5100, 7, 0), DeviceErrorCode::Success);
    EXPECT_EQ(watch.UploadFlag(7), 0);
}

TEST_F(VirtualWatchTest, WatchFaultsReachTheCallerAsTheirErrors) {
    struct Case {
        const char* fault;
        std::function<ArmillonDeviceError(BasicCommunication&)> run;
        ArmillonDeviceError expected;
        std::vector<milliseconds> pauses;
    };
    const auto readFlash = [](BasicCommunication& c) {
        Bytes out;
        return c.FlashRead(0, 200, out);  // a reply of 4 reports
    };
    const auto sizeOfFirmware = [](BasicCommunication& c) {
        std::uint32_t size = 0;
        return c.DataSizeGet(0x1200, 0, size);
    };
    const auto loadFirmware = [](BasicCommunication& c) {
        return IFirmwareInformation(c).Update();
    };
    const milliseconds timeout(10000);
    const std::vector<Case> cases = {
        {"erase:error=0x0005", [](auto& c) { return c.FlashSectorErase(1); }, 5, {}},
        {"read:code=0x41", readFlash, DeviceErrorCode::UnexpectedReply, {}},
        {"read:zerolen", readFlash, DeviceErrorCode::TransferFailed, {}},
        {"read:nostart", readFlash, DeviceErrorCode::TransferFailed, {}},
        {"read:drop=2", readFlash, DeviceErrorCode::TransferFailed, {}},
        {"read:silent", readFlash, DeviceErrorCode::TransferFailed, {timeout}},
        {"size@0x1200:status=3", sizeOfFirmware, DeviceErrorCode::InvalidData, {}},
        {"size@0x1200:short", loadFirmware, DeviceErrorCode::GeneralFailure, {}},
        {"get@0x1200:short", loadFirmware, DeviceErrorCode::InvalidData, {}},
        {"erase:silent",
         [](auto& c) { return c.FlashSectorErase(1); },
         DeviceErrorCode::TransferFailed,
         {timeout}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        watch.ClearFaults();
        connection->GetDevice()->Close();
        watch.GetClock().SleepFor(std::chrono::seconds(2));  // past any drop-off
        Open();
        pauses.clear();
        watch.AddFaults(c.fault);
        EXPECT_EQ(c.run(*connection), c.expected);
        EXPECT_EQ(pauses, c.pauses);
    }
}

TEST_F(VirtualWatchTest, OpenFailures) {
    watch.AddFaults("open#1:busy");
    EXPECT_EQ(connection->Open(), DeviceErrorCode::OpenFailed);
    watch.AddFaults("version#1:silent");
    EXPECT_EQ(connection->Open(), DeviceErrorCode::TransferFailed);
    EXPECT_EQ(pauses, std::vector<milliseconds>{milliseconds(10000)});
    EXPECT_FALSE(watch.IsOpen());
    EXPECT_EQ(connection->Open(), DeviceErrorCode::Success);
}

TEST_F(VirtualWatchTest, WatchSideRefusalsAreDeviceErrors) {
    Open();
    EXPECT_EQ(connection->FlashSectorErase(0xFFFF), 0x0014);  // beyond the flash
    const Bytes data(4, 1);
    EXPECT_EQ(connection->DataSet(0x1200, 0, 0, 4, data.data()), 0x0017);  // read-only
    Bytes out;
    EXPECT_EQ(connection->FlashRead(0x00200000, 16, out), 0x0013);  // outside the area
    EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace ArmillonDevice
