// Finding and opening the one watch an image is meant for, on a bus of in-process virtual
// watches: the three failure codes, the enumerations and their pauses, and the probes.
#include <gtest/gtest.h>

#include <functional>
#include <new>

#include "ArmillonException.h"
#include "CTalvenComm.h"
#include "DeviceClockSynchronization.h"
#include "USB_HID_ContainerFilter.h"
#include "VirtualWatch_HidPlatform.h"
#include "WatchChain.h"

namespace {

using ArmillonDevice::testing::kRetryPause;
using ArmillonDevice::testing::VirtualTimePauses;
using watchsim::CommandKind;
using Pauses = std::vector<std::chrono::milliseconds>;

constexpr std::uint16_t kVendor = 0x3A7C;
constexpr std::uint16_t kProduct = 0x0A51;
constexpr std::chrono::milliseconds kEnumerationPause{100};

watchsim::WatchConfig Watch(const char* hardwareText) {
    watchsim::WatchConfig config;
    config.hardwareText = hardwareText;
    return config;
}

// A bus of virtual watches and a facade on it.
struct Bus {
    watchsim::VirtualWatch& Add(watchsim::WatchConfig config = {}) {
        auto& watch = bus.Add(std::move(config));
        platform.AddPort(&watch);
        return watch;
    }

    std::size_t Count(const watchsim::VirtualWatch& watch, CommandKind kind) const {
        return ArmillonDevice::testing::CountRequests(watch, kind);
    }

    // The code Connect throws, or 0 when it connects.
    std::int32_t Connect(const wchar_t* productCode = L"612E") {
        try {
            EXPECT_TRUE(facade->Connect(kVendor, kProduct, productCode));
            return 0;
        } catch (const DeviceException& e) {
            return e.code;
        }
    }

    watchsim::WatchBus bus;
    ArmillonDevice::VirtualWatch_HidPlatform platform;
    VirtualTimePauses pauses{bus};
    std::unique_ptr<CTalvenComm> facade = std::make_unique<CTalvenComm>(platform);
};

class ConnectTest : public ::testing::Test, public Bus {};

TEST_F(ConnectTest, NoWatchWithTheIdentifiersAfterFourEnumerationsIs272) {
    struct Case {
        const char* what;
        std::function<void(Bus&)> setUp;
    };
    const Case cases[] = {
        {"an empty bus", [](auto&) {}},
        {"another product",
         [](auto& t) {
             watchsim::WatchConfig other;
             other.productId = 0x0A52;
             t.Add(other);
         }},
        {"an unplugged watch",
         [](auto& t) {
             watchsim::WatchConfig unplugged;
             unplugged.plugged = false;
             t.Add(unplugged);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bus t;
        c.setUp(t);
        EXPECT_EQ(t.Connect(), 272);
        EXPECT_EQ(t.platform.EnumerationCount(), 4u);
        EXPECT_EQ(t.pauses.Pauses(), Pauses(3, kEnumerationPause));
        EXPECT_FALSE(t.facade->HoldsDeviceList());
    }
}

TEST_F(ConnectTest, AWatchPluggedInBetweenEnumerationsIsFound) {
    watchsim::WatchConfig later;
    later.plugged = false;
    auto& watch = Add(later);
    int enumerationPauses = 0;
    pauses.SetObserver([&](std::chrono::milliseconds length) {
        if (length == kEnumerationPause && ++enumerationPauses == 2) {
            watch.Plug();
        }
    });
    EXPECT_EQ(Connect(), 0);
    EXPECT_EQ(platform.EnumerationCount(), 3u);
    EXPECT_EQ(pauses.Pauses(), Pauses(2, kEnumerationPause));
    EXPECT_TRUE(watch.IsOpen());
}

TEST_F(ConnectTest, TheOneMatchingWatchIsProbedThenOpenedForGood) {
    auto& watch = Add();
    ASSERT_EQ(Connect(), 0);
    EXPECT_TRUE(watch.IsOpen());
    EXPECT_FALSE(facade->HoldsDeviceList());
    EXPECT_TRUE(pauses.Pauses().empty());
    EXPECT_EQ(Count(watch, CommandKind::Version), 2u);     // the probe and the connection
    EXPECT_EQ(Count(watch, CommandKind::Disconnect), 1u);  // the probe's goodbye

    std::wstring version;
    EXPECT_EQ(facade->GetFirmwareVersion(version), 0);
    EXPECT_EQ(version, L"01.20");
    std::wstring a;
    std::wstring b;
    EXPECT_EQ(facade->GetProductInfo(a, b), 0);
    EXPECT_EQ(a + L"/" + b, L"EU01/0A51");

    facade.reset();
    EXPECT_FALSE(watch.IsOpen());
    EXPECT_EQ(Count(watch, CommandKind::Disconnect), 2u);
}

TEST_F(ConnectTest, OnlyAHardwareTextEndingInTheProductCodeQualifies) {
    struct Case {
        const char* hardwareText;
        const wchar_t* productCode;
        std::int32_t expected;
        const wchar_t* otherModel;  // the model code a watch that does not qualify is named by
    };
    const Case cases[] = {
        {"ORNA-HWREV1-612E", L"612E", 0, nullptr},
        {"ORNA-HWREV1-612e", L"612E", 272, L"612e"},  // case-sensitive
        {"ORNA-HWREV1-712E", L"612E", 272, L"712E"},
        {"612E", L"612E", 0, nullptr},  // the whole text
        {"612", L"612E", 272, L"612"},  // shorter than the code
        {"612E-ORNA", L"612E", 272, L"ORNA"},
        {"ORNA-HWREV1-612E", nullptr, 272, L"612E"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hardwareText);
        Bus t;
        auto& watch = t.Add(Watch(c.hardwareText));
        EXPECT_EQ(t.Connect(c.productCode), c.expected);
        EXPECT_EQ(watch.IsOpen(), c.expected == 0);
        EXPECT_EQ(t.facade->OtherModelCodes(), c.otherModel != nullptr
                                                   ? std::vector<std::wstring>{c.otherModel}
                                                   : std::vector<std::wstring>{});
    }
}

TEST_F(ConnectTest, OfTwoWatchesTheOneOfTheRightModelIsChosen) {
    auto& other = Add(Watch("ORNA-HWREV1-712E"));
    auto& right = Add();
    ASSERT_EQ(Connect(), 0);
    EXPECT_TRUE(right.IsOpen());
    EXPECT_FALSE(other.IsOpen());
    // The other one was opened and closed once.
    EXPECT_EQ(Count(other, CommandKind::Version), 1u);
    EXPECT_EQ(Count(other, CommandKind::Disconnect), 1u);
    EXPECT_EQ(facade->OtherModelCodes(), std::vector<std::wstring>{L"712E"});

    // Each Connect starts its list afresh.
    other.Unplug();
    ASSERT_EQ(Connect(), 0);
    EXPECT_TRUE(facade->OtherModelCodes().empty());
}

TEST_F(ConnectTest, TwoQualifyingWatchesAre273AndNeitherStaysOpen) {
    auto& first = Add();
    auto& second = Add();
    EXPECT_EQ(Connect(), 273);
    for (const auto* watch : {&first, &second}) {
        EXPECT_FALSE(watch->IsOpen());
        EXPECT_EQ(Count(*watch, CommandKind::Version), 1u);
        EXPECT_EQ(Count(*watch, CommandKind::Disconnect), 1u);
    }
}

TEST_F(ConnectTest, AWatchHeldByAnotherProgramDoesNotQualify) {
    auto& held = Add();
    held.SetHeldByOtherProgram(true);
    EXPECT_EQ(Connect(), 272);
    EXPECT_EQ(pauses.CountOf(kRetryPause), 2u);  // the probe's open was tried three times
    EXPECT_TRUE(held.Requests().empty());

    // With a free watch of the same model beside it, the free one is taken.
    Add();
    EXPECT_EQ(Connect(), 0);
}

TEST_F(ConnectTest, AWatchThatCannotBeOpenedForGoodIs271) {
    auto& watch = Add();
    watch.AddFaults("open#2-:busy");  // the probe gets in, the connection does not
    EXPECT_EQ(Connect(), 271);
    EXPECT_EQ(pauses.CountOf(kRetryPause), 2u);
    EXPECT_FALSE(watch.IsOpen());
    std::wstring version;
    EXPECT_EQ(facade->GetFirmwareVersion(version), 1);
}

// Another watch answering the final open (one swapped in the cradle, a reused node) would
// become the reference of every later same-watch check: the open counts as failed.
TEST_F(ConnectTest, AFinalOpenReachingAnotherWatchIs271AndWritesNothing) {
    for (const char* plan :
         {"open#2-:hwtext=ORNA-HWREV1-712E", "open#2-:hwtext=ORNA-HWREV2-612E"}) {
        SCOPED_TRACE(plan);
        Bus bus;
        auto& watch = bus.Add();
        watch.AddFaults(plan);
        EXPECT_EQ(bus.Connect(), 271);
        EXPECT_FALSE(watch.IsOpen());
        EXPECT_EQ(bus.facade->SetData1600(0, 1, reinterpret_cast<const std::uint8_t*>("x")),
                  0x7FFFFFFF);
        EXPECT_EQ(bus.Count(watch, CommandKind::DataSet), 0u);
    }
}

TEST_F(ConnectTest, RunningOutOfMemoryWhileBuildingAChainIs271) {
    struct Exhausted : ArmillonDevice::VirtualWatch_HidPlatform {
        std::unique_ptr<ArmillonDevice::IReaderWriter> CreateReaderWriter() override {
            throw std::bad_alloc();
        }
    } exhausted;
    exhausted.AddPort(&Add());
    CTalvenComm onExhausted(exhausted);
    try {
        onExhausted.Connect(kVendor, kProduct, L"612E");
        ADD_FAILURE() << "connected";
    } catch (const DeviceException& e) {
        EXPECT_EQ(e.code, 271);
    }
    EXPECT_FALSE(onExhausted.HoldsDeviceList());
}

TEST_F(ConnectTest, ASecondConnectDropsTheFirstChainSilentlyAndConnectsAfresh) {
    auto& watch = Add();
    ASSERT_EQ(Connect(), 0);
    watch.ClearRequests();
    ASSERT_EQ(Connect(), 0);
    const auto requests = watch.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front().what.kind, CommandKind::Version);  // no goodbye first
    EXPECT_EQ(Count(watch, CommandKind::Disconnect), 1u);         // the new probe's
    EXPECT_TRUE(watch.IsOpen());
}

TEST_F(ConnectTest, AnUpdateEndsWithTheWatchRebootingIntoTheNewVersion) {
    auto& watch = Add();
    ASSERT_EQ(Connect(), 0);
    std::vector<std::uint8_t> block(0x80000, 0x5A);
    const std::string version = "01.30";
    std::copy(version.begin(), version.end(), block.begin() + 0x7FFFA);
    ASSERT_EQ(facade->SetData1600(0, static_cast<std::uint32_t>(block.size()), block.data()), 0);
    ASSERT_EQ(facade->SendCommand30(), 0);
    EXPECT_TRUE(facade->IsRestarted());
    facade->Close();
    EXPECT_EQ(Count(watch, CommandKind::Disconnect), 1u);  // only the probe's

    bus.Advance(std::chrono::seconds(1));
    facade = std::make_unique<CTalvenComm>(platform);
    ASSERT_EQ(Connect(), 0);
    std::wstring current;
    EXPECT_EQ(facade->GetFirmwareVersion(current), 0);
    EXPECT_EQ(current, L"01.30");
}

TEST_F(ConnectTest, TheClockIsSetThroughTheChainOnlyADayBehind) {
    auto& watch = Add();  // its clock reads 2024-01-01 12:00:00 UTC
    ASSERT_EQ(Connect(), 0);
    using namespace std::chrono;
    const sys_seconds watchTime = sys_days{2024y / 1 / 1} + 12h;

    SynchronizeDeviceClock(*facade, 0, watchTime + days{1} - seconds{1});
    EXPECT_EQ(Count(watch, CommandKind::DataSet), 0u);

    SynchronizeDeviceClock(*facade, 0, watchTime + days{1});
    EXPECT_EQ(Count(watch, CommandKind::DataSet), 1u);
    const auto record = watch.ClockRecord();
    EXPECT_EQ(std::vector<std::uint8_t>(record.begin(), record.begin() + 7),
              (std::vector<std::uint8_t>{0xE8, 0x07, 1, 2, 12, 0, 0}));
}

TEST(ContainerFilterTest, ZeroAndZeroAcceptsEverythingOtherwiseBothMustMatch) {
    struct Case {
        std::uint16_t filterVendor, filterProduct, vendor, product;
        bool accepted;
    };
    const Case cases[] = {
        {0, 0, 0x3A7C, 0x0A51, true},
        {0, 0, 0, 0, true},
        {0x3A7C, 0x0A51, 0x3A7C, 0x0A51, true},
        {0x3A7C, 0x0A51, 0x3A7C, 0x0A52, false},
        {0x3A7C, 0x0A51, 0x3A7D, 0x0A51, false},
        {0, 0x0A51, 0x3A7C, 0x0A51, false},
        {0, 0x0A51, 0, 0x0A51, true},
        {0x3A7C, 0, 0x3A7C, 0x0A51, false},
    };
    for (const auto& c : cases) {
        const ArmillonDevice::USB_HID_ContainerFilter filter{c.filterVendor, c.filterProduct};
        EXPECT_EQ(filter(c.vendor, c.product), c.accepted)
            << std::hex << c.filterVendor << "/" << c.filterProduct << " " << c.vendor << "/"
            << c.product;
    }
}

}  // namespace
