// The facade's device operations over a scripted creator: what each forwards, the plain
// integer it returns, the outputs it leaves alone on failure, the "/d:" override, and the
// closing on destruction.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>

#include "CTalvenComm.h"
#include "DeviceVersionOverride.h"
#include "FakeTrainingDataCreator.h"
#include "VirtualWatch_HidPlatform.h"

namespace {

using ArmillonDevice::VirtualWatch_HidPlatform;
using ArmillonDevice::testing::FakeTrainingDataCreator;

constexpr std::int32_t kDeviceError = 0x0005;
constexpr std::int32_t kGeneralFailure = 0x7FFFFFFF;

class TalvenCommTest : public ::testing::Test {
  protected:
    TalvenCommTest() {
        SetDeviceVersionOverride(nullptr);
        facade = std::make_unique<CTalvenComm>(platform);
    }
    ~TalvenCommTest() override { SetDeviceVersionOverride(nullptr); }

    FakeTrainingDataCreator& Attach() {
        auto creator = std::make_unique<FakeTrainingDataCreator>();
        auto& fake = *creator;
        fake.journal = &journal;
        facade->AttachCreator(std::move(creator));
        return fake;
    }

    VirtualWatch_HidPlatform platform;
    std::vector<std::string> journal;  // outlives the facade's creator
    std::unique_ptr<CTalvenComm> facade;
};

// Caller-side storage of one forwarding call.
struct Buffers {
    std::array<std::uint8_t, 4> in{1, 2, 3, 4};
    std::array<std::uint8_t, 4> out{0xEE, 0xEE, 0xEE, 0xEE};
    std::uint16_t count = 0xEEEE;
    STimeData time{SSystemTime{}, STimeZoneInformation{}, 0};
};

struct ForwardCase {
    const char* operation;  // of the creator
    std::function<std::int32_t(CTalvenComm&, Buffers&)> call;
    std::string arguments;  // what the creator receives ("" when not checked)
};

const ForwardCase kForwardCases[] = {
    {"SetData1600", [](auto& f, auto& b) { return f.SetData1600(99, 3, b.in.data()); }, "3 bytes"},
    {"SetData1601", [](auto& f, auto& b) { return f.SetData1601(0, 4, b.in.data()); }, "4 bytes"},
    {"SetData1604", [](auto& f, auto& b) { return f.SetData1604(0, 1, b.in.data()); }, "1 bytes"},
    {"SetData1611", [](auto& f, auto& b) { return f.SetData1611(0, 2, b.in.data()); }, "2 bytes"},
    {"SetData1614", [](auto& f, auto&) { return f.SetData1614(0, 0, nullptr); }, "0 bytes"},
    {"SetData1620", [](auto& f, auto& b) { return f.SetData1620(0, 3, b.in.data()); }, "3 bytes"},
    {"GetTrainingDataCount", [](auto& f, auto& b) { return f.GetTrainingDataCount(b.count); }, ""},
    {"SendCommand30", [](auto& f, auto&) { return f.SendCommand30(); }, ""},
    {"SendCommand31", [](auto& f, auto&) { return f.SendCommand31(); }, ""},
    {"SendCommand32", [](auto& f, auto&) { return f.SendCommand32(); }, ""},
    {"GetTime", [](auto& f, auto& b) { return f.GetTime(&b.time); }, ""},
    {"SetTime", [](auto& f, auto& b) { return f.SetTime(&b.time); }, ""},
    {"FlashRead", [](auto& f, auto& b) { return f.FlashRead(0x1000, 4, b.out.data()); },
     "0x1000,0x4"},
    {"FlashWrite", [](auto& f, auto& b) { return f.FlashWrite(0x2000, 2, b.in.data()); },
     "0x2000 2 bytes"},
    {"FlashSectorErase", [](auto& f, auto&) { return f.FlashSectorErase(0x10, 3); }, "0x10,0x3"},
    {"FlashRead2", [](auto& f, auto& b) { return f.FlashRead2(0x3000, 3, b.out.data()); },
     "0x3000,0x3"},
    {"FlashWrite2", [](auto& f, auto& b) { return f.FlashWrite2(0x4000, 4, b.in.data()); },
     "0x4000 4 bytes"},
};

void PrintTo(const ForwardCase& c, std::ostream* out) {
    *out << c.operation;
}

class ForwardingTest : public TalvenCommTest, public ::testing::WithParamInterface<ForwardCase> {};

TEST_P(ForwardingTest, ReturnsZeroOrTheDeviceCodeAndLeavesOutputsAloneOnFailure) {
    const auto& c = GetParam();
    Buffers buffers;
    EXPECT_EQ(c.call(*facade, buffers), kGeneralFailure);  // no creator yet

    auto& fake = Attach();
    fake.Script(c.operation, {kDeviceError});
    EXPECT_EQ(c.call(*facade, buffers), kDeviceError);
    EXPECT_EQ(buffers.out, (std::array<std::uint8_t, 4>{0xEE, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(buffers.count, 0xEEEE);
    EXPECT_EQ(buffers.time.time, SSystemTime{});
    EXPECT_FALSE(facade->IsRestarted());

    EXPECT_EQ(c.call(*facade, buffers), 0);
    const auto calls = fake.CallsOf(c.operation);
    ASSERT_EQ(calls.size(), 2u);
    if (!c.arguments.empty()) {
        EXPECT_EQ(calls[1].find(std::string("(") + c.arguments), std::string(c.operation).size())
            << calls[1];
    }
    EXPECT_EQ(fake.calls.size(), 2u);  // nothing else reached the device
}

INSTANTIATE_TEST_SUITE_P(EveryForwardingOperation, ForwardingTest,
                         ::testing::ValuesIn(kForwardCases),
                         [](const auto& info) { return std::string(info.param.operation); });

TEST_F(TalvenCommTest, ReadsDeliverWhatTheDeviceGave) {
    auto& fake = Attach();
    fake.flashBytes = {0x11, 0x22, 0x33};
    std::array<std::uint8_t, 4> buffer{0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(facade->FlashRead(0, 3, buffer.data()), 0);
    EXPECT_EQ(buffer, (std::array<std::uint8_t, 4>{0x11, 0x22, 0x33, 0xEE}));
    EXPECT_EQ(facade->FlashRead(0, 0, nullptr), 0);  // nothing to copy

    // The count keeps its low 16 bits; only records not yet uploaded (selector 1) count.
    fake.trainingCount = 70000;
    std::uint16_t count = 0;
    EXPECT_EQ(facade->GetTrainingDataCount(count), 0);
    EXPECT_EQ(count, 4464);
    EXPECT_NE(fake.CallsOf("GetTrainingDataCount").back().find(",0x1)"), std::string::npos);

    fake.deviceTime.year = 2031;
    STimeData time{SSystemTime{}, STimeZoneInformation{}, 0};
    EXPECT_EQ(facade->GetTime(&time), 0);
    EXPECT_EQ(time.time.year, 2031);
}

TEST_F(TalvenCommTest, UnusableBuffersAreRefusedBeforeTheDeviceIsAsked) {
    auto& fake = Attach();
    EXPECT_EQ(facade->SetData1600(0, 4, nullptr), kGeneralFailure);
    EXPECT_EQ(facade->FlashWrite(0, 4, nullptr), kGeneralFailure);
    EXPECT_EQ(facade->FlashRead(0, 4, nullptr), kGeneralFailure);
    EXPECT_EQ(facade->GetTime(nullptr), kGeneralFailure);
    EXPECT_EQ(facade->SetTime(nullptr), kGeneralFailure);
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(TalvenCommTest, ProductInfoAndFirmwareVersionReportEveryFailureAsOne) {
    std::wstring a = L"a";
    std::wstring b = L"b";
    std::wstring version = L"v";
    EXPECT_EQ(facade->GetProductInfo(a, b), 1);
    SetDeviceVersionOverride("01.00");
    EXPECT_EQ(facade->GetFirmwareVersion(version), 1);  // not even the override before a creator
    EXPECT_EQ(version, L"v");
    SetDeviceVersionOverride(nullptr);

    auto& fake = Attach();
    fake.Script("GetDeviceInformation", {kDeviceError, kDeviceError});
    EXPECT_EQ(facade->GetProductInfo(a, b), 1);
    EXPECT_EQ(facade->GetFirmwareVersion(version), 1);
    EXPECT_EQ(a + b + version, L"abv");

    EXPECT_EQ(facade->GetProductInfo(a, b), 0);
    EXPECT_EQ(a, L"EU01");  // product text 3 first
    EXPECT_EQ(b, L"0A51");
    EXPECT_EQ(facade->GetFirmwareVersion(version), 0);
    EXPECT_EQ(version, L"01.20");
}

TEST_F(TalvenCommTest, TheVersionOverrideStandsForTheDeviceUntilAFacadeGoes) {
    auto& fake = Attach();
    SetDeviceVersionOverride("01.00");
    std::wstring version;
    EXPECT_EQ(facade->GetFirmwareVersion(version), 0);
    EXPECT_EQ(version, L"01.00");
    fake.Script("GetDeviceInformation", {kDeviceError});
    version.clear();
    EXPECT_EQ(facade->GetFirmwareVersion(version), 0);  // whatever the device says
    EXPECT_EQ(version, L"01.00");

    facade.reset();
    EXPECT_EQ(GetDeviceVersionOverride(), std::nullopt);
    facade = std::make_unique<CTalvenComm>(platform);
    Attach();
    EXPECT_EQ(facade->GetFirmwareVersion(version), 0);
    EXPECT_EQ(version, L"01.20");
}

TEST_F(TalvenCommTest, DestructionClosesOnceWhenTheWatchHasLeftTheConnection) {
    struct Case {
        const char* what;
        std::function<void(CTalvenComm&, FakeTrainingDataCreator&)> before;
        int closes;
    };
    const Case cases[] = {
        {"connected", [](auto&, auto&) {}, 2},
        {"after command 0x30", [](auto& f, auto&) { f.SendCommand30(); }, 1},
        {"after command 0x31", [](auto& f, auto&) { f.SendCommand31(); }, 1},
        {"after command 0x32", [](auto& f, auto&) { f.SendCommand32(); }, 1},
        {"after a failed command 0x31",
         [](auto& f, auto& fake) {
             fake.Script("SendCommand31", {kDeviceError});
             f.SendCommand31();
         },
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        journal.clear();
        facade = std::make_unique<CTalvenComm>(platform);
        auto& fake = Attach();
        c.before(*facade, fake);
        facade.reset();
        EXPECT_EQ(std::count(journal.begin(), journal.end(), "Close()"), c.closes);
    }
}

TEST_F(TalvenCommTest, ExecuteCommandAndSetCallbackTouchNoDevice) {
    auto& fake = Attach();
    static const std::uint8_t data[] = {1};
    EXPECT_EQ(facade->ExecuteCommand(0x41, 0x1000, 1, data), 0);
    EXPECT_EQ(facade->ExecuteCommand(0xFFFFFFFF, 0, 0, nullptr), 0);

    const auto standard = facade->GetCallback();
    ASSERT_NE(standard, nullptr);
    EXPECT_EQ(standard(1, 2), 0);
    const CArmillonProcedure::Callback mine = [](std::uint32_t, std::uint32_t) { return 7; };
    EXPECT_EQ(facade->SetCallback(mine), 0);
    EXPECT_EQ(facade->GetCallback(), mine);
    EXPECT_EQ(facade->SetCallback(nullptr), 0);
    EXPECT_EQ(facade->GetCallback(), standard);
    EXPECT_TRUE(fake.calls.empty());
}

}  // namespace
