// The retry policy against a scripted inner creator: when it pauses, reconnects, checks the
// device and calls the operation again, and what it returns.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "CNullTrainingDataCreator.h"
#include "CRetryTrainingDataCreator.h"
#include "FakeTrainingDataCreator.h"
#include "OperationTable.h"
#include "Pause.h"

namespace ArmillonDevice {
namespace {

using testing::FakeTrainingDataCreator;
using Pauses = std::vector<std::chrono::milliseconds>;

const Pauses kOnePause{std::chrono::milliseconds(3000)};
const Pauses kTwoPauses{std::chrono::milliseconds(3000), std::chrono::milliseconds(3000)};
constexpr std::int32_t kDeviceError = 0x0005;

class RetryTrainingDataCreatorTest : public ::testing::Test {
  protected:
    explicit RetryTrainingDataCreatorTest(std::uint32_t count = 2) {
        auto inner = std::make_unique<FakeTrainingDataCreator>();
        fake = inner.get();
        retry = std::make_unique<CRetryTrainingDataCreator>(std::move(inner), 3000, count);
    }

    // Opens (which caches the identity) and forgets what that took.
    void OpenAndForget() {
        ASSERT_EQ(retry->Open(), DeviceErrorCode::Success);
        ASSERT_NE(retry->GetCachedDeviceInformation(), nullptr);
        fake->calls.clear();
        pauses.Clear();
    }

    common::ScopedPauseRecorder pauses;
    FakeTrainingDataCreator* fake = nullptr;  // owned by retry
    std::unique_ptr<CRetryTrainingDataCreator> retry;
};

class OrdinaryOperationTest : public RetryTrainingDataCreatorTest,
                              public ::testing::WithParamInterface<testing::OperationCase> {};

TEST_P(OrdinaryOperationTest, FirstSuccessReturnsAtOnceAndAFailureIsRetriedOnTheSameDevice) {
    const auto& c = GetParam();
    OpenAndForget();
    testing::Arguments arguments;

    ASSERT_EQ(c.call(*retry, arguments), DeviceErrorCode::Success);
    ASSERT_EQ(fake->calls.size(), 1u);
    EXPECT_EQ(fake->CountOf(c.operation), 1);
    EXPECT_TRUE(pauses.Pauses().empty());

    fake->calls.clear();
    fake->Script(c.operation, {kDeviceError});
    ASSERT_EQ(c.call(*retry, arguments), DeviceErrorCode::Success);
    ASSERT_EQ(fake->calls.size(), 4u);
    EXPECT_EQ(fake->calls[0].rfind(std::string(c.operation) + "(", 0), 0u);
    EXPECT_EQ(fake->calls[1], "Reconnect()");
    EXPECT_EQ(fake->calls[2], "GetDeviceInformation()");
    EXPECT_EQ(fake->calls[3], fake->calls[0]);  // the same arguments, the same output objects
    EXPECT_EQ(pauses.Pauses(), kOnePause);
}

INSTANTIATE_TEST_SUITE_P(EveryOrdinaryOperation, OrdinaryOperationTest,
                         ::testing::ValuesIn(testing::kOrdinaryOperations),
                         [](const auto& info) { return std::string(info.param.operation); });

TEST_F(RetryTrainingDataCreatorTest, ThreeFailuresPauseTwiceAndReturnTheLastError) {
    OpenAndForget();
    fake->Script("FlashWrite", {0x0005, 0x0006, 0x0007});
    const ByteVector data{1, 2, 3};

    EXPECT_EQ(retry->FlashWrite(0x1000, data), 0x0007);
    EXPECT_EQ(pauses.Pauses(), kTwoPauses);
    EXPECT_EQ(fake->CountOf("FlashWrite"), 3);
    EXPECT_EQ(fake->CountOf("Reconnect"), 2);
    EXPECT_EQ(fake->CountOf("GetDeviceInformation"), 2);
}

TEST_F(RetryTrainingDataCreatorTest, AFailedReconnectOrIdentityCheckReplacesTheOperationsError) {
    OpenAndForget();
    // Reconnect fails both times: its error is what the caller sees.
    fake->Script("SetData1600", {kDeviceError});
    fake->Script("Reconnect", {0x7FFF0000, 0x7FFF0000});
    EXPECT_EQ(retry->SetData1600({1}), DeviceErrorCode::OpenFailed);
    EXPECT_EQ(fake->CountOf("SetData1600"), 1);
    EXPECT_EQ(fake->CountOf("GetDeviceInformation"), 0);

    // Reading the identity fails: its error, and the operation is not repeated.
    fake->calls.clear();
    fake->Script("SetData1600", {kDeviceError});
    fake->Script("GetDeviceInformation", {0x0102, 0x0103});
    EXPECT_EQ(retry->SetData1600({1}), DeviceErrorCode::UnexpectedReply);
    EXPECT_EQ(fake->CountOf("SetData1600"), 1);
}

TEST_F(RetryTrainingDataCreatorTest, AnotherDeviceAfterReconnectingIsNeverWrittenTo) {
    fake->hardwareTexts = {L"ORNA-HWREV1-612E", L"ORNA-HWREV1-712E"};
    OpenAndForget();
    fake->Script("FlashWrite", {kDeviceError});

    EXPECT_EQ(retry->FlashWrite(0x1000, {1, 2}), DeviceErrorCode::TransferFailed);
    EXPECT_EQ(fake->CountOf("FlashWrite"), 1);
    EXPECT_EQ(fake->CountOf("Reconnect"), 2);
    EXPECT_EQ(pauses.Pauses(), kTwoPauses);
    // The identity of the device that was opened stays the one cached.
    EXPECT_EQ(retry->GetCachedDeviceInformation()->hardwareText, L"ORNA-HWREV1-612E");
}

TEST_F(RetryTrainingDataCreatorTest, TheObserverHearsEachRetryWithItsReconnectionAndCheck) {
    struct Recorder : IRetryObserver {
        void OnRetry(std::uint32_t attempt, std::uint32_t count,
                     const ArmillonDeviceError& previous,
                     std::chrono::milliseconds pause) override {
            events.push_back("retry " + std::to_string(attempt) + "/" + std::to_string(count) +
                             " after " + std::to_string(previous.GetCode()) + ", " +
                             std::to_string(pause.count()) + " ms");
        }
        void OnReconnect(const ArmillonDeviceError& result) override {
            events.push_back("reconnect " + std::to_string(result.GetCode()));
        }
        void OnSameDeviceCheck(const ArmillonDeviceError& result) override {
            events.push_back("same device " + std::to_string(result.GetCode()));
        }
        std::vector<std::string> events;
    } recorder;
    fake->hardwareTexts = {L"ORNA-HWREV1-612E", L"ORNA-HWREV1-712E", L"ORNA-HWREV1-612E"};
    OpenAndForget();
    retry->SetObserver(&recorder);
    EXPECT_EQ(retry->FlashSectorErase(1, 1), DeviceErrorCode::Success);
    EXPECT_TRUE(recorder.events.empty());

    fake->Script("FlashWrite", {kDeviceError});
    fake->Script("Reconnect", {0, 0x7FFF0000});
    EXPECT_EQ(retry->FlashWrite(0x1000, {1, 2}), DeviceErrorCode::OpenFailed);
    const std::vector<std::string> expected = {
        "retry 1/2 after 5, 3000 ms",
        "reconnect 0",
        "same device " + std::to_string(0x7FFF0001),  // another watch answered
        "retry 2/2 after " + std::to_string(0x7FFF0001) + ", 3000 ms",
        "reconnect " + std::to_string(0x7FFF0000),
    };
    EXPECT_EQ(recorder.events, expected);
}

TEST_F(RetryTrainingDataCreatorTest, UnsupportedFirmwareAtTheFirstAttemptIsNotRetried) {
    OpenAndForget();
    std::int32_t count = -1;
    fake->Script("GetTrainingDataCount", {0x7FFF0002});
    EXPECT_EQ(retry->GetTrainingDataCount(count, 1), DeviceErrorCode::UnsupportedFirmware);
    EXPECT_EQ(count, -1);
    EXPECT_TRUE(pauses.Pauses().empty());
    EXPECT_EQ(fake->CountOf("Reconnect"), 0);

    // From a later attempt it is an ordinary failure: the attempts go on.
    fake->calls.clear();
    fake->Script("GetTrainingDataCount", {kDeviceError, 0x7FFF0002, 0});
    EXPECT_EQ(retry->GetTrainingDataCount(count, 1), DeviceErrorCode::Success);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(pauses.Pauses(), kTwoPauses);
}

TEST_F(RetryTrainingDataCreatorTest, OpenRetriesOnlyTheOpenThenCachesTheIdentity) {
    fake->Script("Open", {0x7FFF0000, 0x7FFF0001});
    EXPECT_EQ(retry->Open(), DeviceErrorCode::Success);
    EXPECT_EQ(fake->calls,
              (std::vector<std::string>{"Open()", "Open()", "Open()", "GetDeviceInformation()"}));
    EXPECT_EQ(pauses.Pauses(), kTwoPauses);
    ASSERT_NE(retry->GetCachedDeviceInformation(), nullptr);
    EXPECT_EQ(retry->GetCachedDeviceInformation()->hardwareText, L"ORNA-HWREV1-612E");
}

TEST_F(RetryTrainingDataCreatorTest, AFailedOpenClosesAndCachesNothing) {
    struct Case {
        const char* what;
        const char* failing;
        std::vector<std::int32_t> codes;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"the open itself", "Open", {0x7FFF0000, 0x7FFF0000, 0x7FFF0001}, 0x7FFF0001},
        {"the identity read", "GetDeviceInformation", {0x0102, 0x0102, 0x0103}, 0x0103},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake->calls.clear();
        fake->Script(c.failing, c.codes);
        EXPECT_EQ(retry->Open(), c.expected);
        EXPECT_EQ(retry->GetCachedDeviceInformation(), nullptr);
        EXPECT_EQ(fake->calls.back(), "Close()");
        std::unique_ptr<SDeviceInformation> information;
        EXPECT_EQ(retry->GetDeviceInformation(information), DeviceErrorCode::GeneralFailure);
        EXPECT_EQ(information, nullptr);
    }
}

TEST_F(RetryTrainingDataCreatorTest, CloseSucceedsWhateverHappensAndForgetsTheIdentity) {
    OpenAndForget();
    fake->Script("Close", {kDeviceError, kDeviceError, kDeviceError});
    EXPECT_EQ(retry->Close(), DeviceErrorCode::Success);
    EXPECT_EQ(fake->calls, (std::vector<std::string>{"Close()", "Reconnect()", "Close()",
                                                     "Reconnect()", "Close()"}));
    EXPECT_EQ(pauses.Pauses(), kTwoPauses);
    EXPECT_EQ(retry->GetCachedDeviceInformation(), nullptr);

    // Without an identity a failing operation is still retried, but no retry can succeed.
    fake->calls.clear();
    pauses.Clear();
    fake->Script("FlashWrite", {kDeviceError});
    EXPECT_EQ(retry->FlashWrite(0, {1}), DeviceErrorCode::GeneralFailure);
    EXPECT_EQ(fake->CountOf("FlashWrite"), 1);
    EXPECT_EQ(pauses.Pauses(), kTwoPauses);
}

TEST_F(RetryTrainingDataCreatorTest, DeviceInformationIsACopyOfTheCachedIdentity) {
    OpenAndForget();
    std::unique_ptr<SDeviceInformation> first;
    std::unique_ptr<SDeviceInformation> second;
    ASSERT_EQ(retry->GetDeviceInformation(first), DeviceErrorCode::Success);
    ASSERT_EQ(retry->GetDeviceInformation(second), DeviceErrorCode::Success);
    EXPECT_TRUE(fake->calls.empty());  // the device is not asked
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first.get(), second.get());
    EXPECT_NE(first.get(), retry->GetCachedDeviceInformation());
    EXPECT_EQ(first->productText3, L"EU01");
    first.reset();
    EXPECT_EQ(retry->GetCachedDeviceInformation()->firmwareVersion, L"01.20");
}

TEST_F(RetryTrainingDataCreatorTest, ReconnectIsPassedThroughWithoutRetry) {
    fake->Script("Reconnect", {0x7FFF0000});
    EXPECT_EQ(retry->Reconnect(), DeviceErrorCode::OpenFailed);
    EXPECT_EQ(fake->calls, std::vector<std::string>{"Reconnect()"});
    EXPECT_TRUE(pauses.Pauses().empty());
}

class NoRetryTest : public RetryTrainingDataCreatorTest {
  protected:
    NoRetryTest() : RetryTrainingDataCreatorTest(0) {}
};

TEST_F(NoRetryTest, ARetryCountOfZeroReturnsTheFirstResult) {
    OpenAndForget();
    fake->Script("SendCommand31", {kDeviceError});
    EXPECT_EQ(retry->SendCommand31(), kDeviceError);
    EXPECT_EQ(fake->calls, std::vector<std::string>{"SendCommand31()"});
    EXPECT_TRUE(pauses.Pauses().empty());
}

TEST(NullTrainingDataCreatorTest, RefusesEveryOperationAndTouchesNothing) {
    CNullTrainingDataCreator null;
    std::unique_ptr<SDeviceInformation> information;
    EXPECT_EQ(null.Open(), DeviceErrorCode::GeneralFailure);
    EXPECT_EQ(null.Close(), DeviceErrorCode::GeneralFailure);
    EXPECT_EQ(null.Reconnect(), DeviceErrorCode::GeneralFailure);
    EXPECT_EQ(null.GetDeviceInformation(information), DeviceErrorCode::GeneralFailure);
    EXPECT_EQ(information, nullptr);
    for (const auto& c : testing::kOrdinaryOperations) {
        SCOPED_TRACE(c.operation);
        testing::Arguments arguments;
        EXPECT_EQ(c.call(null, arguments), DeviceErrorCode::GeneralFailure);
        EXPECT_TRUE(arguments.OutputsUntouched());
    }
}

TEST(RetryWithoutInnerCreatorTest, FailsEveryOperationAfterItsRetries) {
    common::ScopedPauseRecorder pauses;
    CRetryTrainingDataCreator retry(nullptr, 3000, 2);
    EXPECT_EQ(retry.Open(), DeviceErrorCode::GeneralFailure);
    EXPECT_EQ(retry.FlashSectorErase(1, 1), DeviceErrorCode::GeneralFailure);
    EXPECT_EQ(retry.Close(), DeviceErrorCode::Success);
    // The open, the close after it, the erase and the close: two pauses each.
    EXPECT_EQ(pauses.Pauses().size(), 8u);
}

}  // namespace
}  // namespace ArmillonDevice
