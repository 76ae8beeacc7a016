// The report framing, driven through the virtual-watch backend over a scripted port.
#include <gtest/gtest.h>

#include <numeric>

#include "Pause.h"
#include "ScriptedHostPort.h"
#include "VirtualWatch_DeviceIdentifier.h"
#include "VirtualWatch_HID_DeviceReaderWriter.h"

namespace ArmillonDevice {
namespace {

using testing::Bytes;
using testing::FrameMessage;
using testing::Hex;
using testing::ScriptedHostPort;

Bytes Sequence(std::size_t n, std::uint8_t first = 1) {
    Bytes bytes(n);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

// Report with the given header bytes and payload, zero-padded to `length`.
Bytes Report(std::uint8_t flags, std::uint8_t lengthLow, const Bytes& payload,
             std::size_t length = 65) {
    Bytes report{0x00, flags, lengthLow};
    report.insert(report.end(), payload.begin(), payload.end());
    report.resize(length, 0);
    return report;
}

class FramingTest : public ::testing::Test {
  protected:
    explicit FramingTest(std::size_t input = 65, std::size_t output = 65) : port(input, output) {
        port.AcceptUnscripted();
    }

    void OpenTransport() { ASSERT_EQ(transport.Open(&identity), DeviceErrorCode::Success); }

    ScriptedHostPort port;
    VirtualWatch_DeviceIdentifier identity{&port};
    VirtualWatch_HID_DeviceReaderWriter transport;
};

struct SplitCase {
    std::size_t length;
    std::vector<std::pair<std::uint8_t, std::size_t>> reports;  // flags byte, payload length
};

TEST_F(FramingTest, WriteSplitsABlockIntoReportsWithPositionFlags) {
    OpenTransport();
    const std::vector<SplitCase> cases = {
        {0, {}},
        {1, {{0xC0, 1}}},
        {13, {{0xC0, 13}}},
        {62, {{0xC0, 62}}},
        {63, {{0x80, 62}, {0x40, 1}}},
        {130, {{0x80, 62}, {0x00, 62}, {0x40, 6}}},
        {310, {{0x80, 62}, {0x00, 62}, {0x00, 62}, {0x00, 62}, {0x40, 62}}},
    };
    std::size_t seen = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const Bytes block = Sequence(c.length);
        ASSERT_EQ(transport.Write(block), DeviceErrorCode::Success);
        const auto& written = port.WrittenReports();
        ASSERT_EQ(written.size() - seen, c.reports.size());
        Bytes carried;
        for (std::size_t i = 0; i < c.reports.size(); ++i) {
            const Bytes& report = written[seen + i];
            ASSERT_EQ(report.size(), 65u);
            EXPECT_EQ(report[0], 0x00);
            EXPECT_EQ(report[1], c.reports[i].first);
            EXPECT_EQ(report[2], c.reports[i].second);
            carried.insert(carried.end(), report.begin() + 3,
                           report.begin() + 3 + static_cast<std::ptrdiff_t>(report[2]));
        }
        EXPECT_EQ(carried, block);
        seen = written.size();
    }
}

TEST_F(FramingTest, ThirteenByteBlockTravelsAsOneReportPaddedWithZeros) {
    OpenTransport();
    const Bytes block = Sequence(13, 0xA0);
    ASSERT_EQ(transport.Write(block), DeviceErrorCode::Success);
    ASSERT_EQ(port.WrittenReports().size(), 1u);
    EXPECT_EQ(port.WrittenReports()[0], Report(0xC0, 0x0D, block));
}

class WideReportFramingTest : public FramingTest {
  protected:
    WideReportFramingTest() : FramingTest(514, 514) {}
};

TEST_F(WideReportFramingTest, PayloadLengthsFrom256UseTheNinthBit) {
    OpenTransport();
    const Bytes block = Sequence(511 + 300);
    ASSERT_EQ(transport.Write(block), DeviceErrorCode::Success);
    const auto& written = port.WrittenReports();
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0][1], 0x81);  // start, 511 = 0x1FF
    EXPECT_EQ(written[0][2], 0xFF);
    EXPECT_EQ(written[1][1], 0x41);  // end, 300 = 0x12C
    EXPECT_EQ(written[1][2], 0x2C);

    // And back: lengths 128 to 255 in the low byte, plus 256 with bit 0 of the flags.
    const Bytes reply = Sequence(500, 7);
    const auto reports = FrameMessage(reply, 514);
    ASSERT_EQ(reports.size(), 1u);
    ASSERT_EQ(reports[0][1], 0xC1);  // 500 = 0x1F4
    ASSERT_EQ(reports[0][2], 0xF4);
    port.QueueReport(reports[0]);
    Bytes received(reply.size());
    ASSERT_EQ(transport.Read(received, nullptr), DeviceErrorCode::Success);
    EXPECT_EQ(received, reply);
}

TEST_F(FramingTest, ReadTakesExactCountsAndKeepsTheRestBuffered) {
    OpenTransport();
    const Bytes message = Sequence(100);
    for (const auto& report : FrameMessage(message, 65)) {
        port.QueueReport(report);
    }
    Bytes head(5);
    ASSERT_EQ(transport.Read(head, nullptr), DeviceErrorCode::Success);
    EXPECT_EQ(head, Bytes(message.begin(), message.begin() + 5));
    EXPECT_EQ(transport.GetBufferedByteCount(), 95u);

    const int readsBefore = port.ReadCount();
    Bytes rest(95);
    ASSERT_EQ(transport.Read(rest, nullptr), DeviceErrorCode::Success);
    EXPECT_EQ(rest, Bytes(message.begin() + 5, message.end()));
    EXPECT_EQ(port.ReadCount(), readsBefore);  // served from the buffer
}

TEST_F(FramingTest, ReadSpansSeveralMessages) {
    OpenTransport();
    port.QueueReport(Report(0xC0, 3, {1, 2, 3}));
    port.QueueReport(Report(0xC0, 2, {4, 5}));
    Bytes received(5);
    ASSERT_EQ(transport.Read(received, nullptr), DeviceErrorCode::Success);
    EXPECT_EQ(received, (Bytes{1, 2, 3, 4, 5}));
}

TEST_F(FramingTest, ListenerHearsEveryReportPayload) {
    struct Recorder : IReadProgressListener {
        void OnRead(std::uintptr_t value, std::uint32_t length) override {
            const auto* p = PayloadOf(value);
            payloads.emplace_back(p, p + length);
        }
        std::vector<Bytes> payloads;
    } recorder;
    OpenTransport();
    port.QueueReport(Report(0x80, 2, {1, 2}));
    port.QueueReport(Report(0x80, 1, {3}));  // a start flag after the first is ignored
    port.QueueReport(Report(0x40, 2, {4, 5}));
    Bytes received(5);
    ASSERT_EQ(transport.Read(received, &recorder), DeviceErrorCode::Success);
    EXPECT_EQ(received, (Bytes{1, 2, 3, 4, 5}));
    EXPECT_EQ(recorder.payloads, (std::vector<Bytes>{{1, 2}, {3}, {4, 5}}));
}

TEST_F(FramingTest, WriteListenerHearsEachReportThatWentOutAndNoneThatFailed) {
    struct Recorder : IWriteProgressListener {
        void OnWritten(std::uint32_t length) override { lengths.push_back(length); }
        std::vector<std::uint32_t> lengths;
    } recorder;
    OpenTransport();
    transport.SetWriteListener(&recorder);
    ASSERT_EQ(transport.Write(Sequence(130)), DeviceErrorCode::Success);
    EXPECT_EQ(recorder.lengths, (std::vector<std::uint32_t>{62, 62, 6}));

    port.RefuseWrites(true);
    EXPECT_EQ(transport.Write(Sequence(10)), DeviceErrorCode::GeneralFailure);
    port.RefuseWrites(false);
    transport.SetWriteListener(nullptr);
    ASSERT_EQ(transport.Write(Sequence(10)), DeviceErrorCode::Success);
    EXPECT_EQ(recorder.lengths.size(), 3u);
}

TEST(FramingInputTest, MalformedInputReportsFailTheRead) {
    struct Case {
        const char* what;
        Bytes report;
    };
    const std::vector<Case> cases = {
        {"payload length 0", Report(0xC0, 0, {})},
        {"no start flag", Report(0x40, 2, {1, 2})},
        {"length beyond the report", Report(0xC0, 63, Sequence(62))},
        {"ninth length bit beyond the report", Report(0xC1, 0x01, Sequence(62))},
        {"short report", Bytes{0x00, 0xC0, 0x01, 0x07}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedHostPort port;
        VirtualWatch_DeviceIdentifier identity(&port);
        VirtualWatch_HID_DeviceReaderWriter transport;
        ASSERT_EQ(transport.Open(&identity), DeviceErrorCode::Success);
        port.QueueReport(c.report);
        Bytes received(1);
        EXPECT_EQ(transport.Read(received, nullptr), DeviceErrorCode::TransferFailed);
        EXPECT_EQ(transport.GetBufferedByteCount(), 0u);
    }
}

TEST_F(FramingTest, AFailureInsideAMessageKeepsWhatArrivedAndAWriteDiscardsIt) {
    OpenTransport();
    port.QueueReport(Report(0x80, 3, {1, 2, 3}));
    port.QueueGone();
    Bytes received(10);
    EXPECT_EQ(transport.Read(received, nullptr), DeviceErrorCode::TransferFailed);
    EXPECT_EQ(transport.GetBufferedByteCount(), 3u);

    ASSERT_EQ(transport.Write(Bytes{}), DeviceErrorCode::Success);
    EXPECT_TRUE(port.WrittenReports().empty());
    EXPECT_EQ(transport.GetBufferedByteCount(), 0u);
}

TEST_F(FramingTest, AFailedWriteLeavesTheReceiveBufferAlone) {
    OpenTransport();
    port.QueueReport(Report(0xC0, 4, {1, 2, 3, 4}));
    Bytes head(1);
    ASSERT_EQ(transport.Read(head, nullptr), DeviceErrorCode::Success);
    port.RefuseWrites(true);
    EXPECT_EQ(transport.Write(Sequence(3)), DeviceErrorCode::GeneralFailure);
    EXPECT_EQ(transport.GetBufferedByteCount(), 3u);
}

TEST_F(FramingTest, SilentDeviceCostsOneTimeOutPerReportWithoutSleeping) {
    OpenTransport();
    EXPECT_EQ(transport.GetTimeout(), std::chrono::milliseconds(10000));
    common::ScopedPauseRecorder pauses;
    Bytes received(5);
    EXPECT_EQ(transport.Read(received, nullptr), DeviceErrorCode::TransferFailed);
    EXPECT_EQ(pauses.Pauses(), std::vector<std::chrono::milliseconds>{transport.GetTimeout()});

    // A watch that is gone fails at once.
    pauses.Clear();
    port.QueueGone();
    EXPECT_EQ(transport.Read(received, nullptr), DeviceErrorCode::TransferFailed);
    EXPECT_TRUE(pauses.Pauses().empty());
}

TEST_F(FramingTest, TransfersOnAClosedTransportAreRefused) {
    OpenTransport();
    transport.Close();
    EXPECT_FALSE(transport.IsOpen());
    EXPECT_FALSE(port.IsOpen());
    Bytes received(1);
    EXPECT_EQ(transport.Read(received, nullptr), DeviceErrorCode::GeneralFailure);
    EXPECT_EQ(transport.Write(Sequence(1)), DeviceErrorCode::GeneralFailure);
    transport.Close();  // closing twice is harmless
}

TEST_F(FramingTest, OpenChecksTheIdentityAndTheDevice) {
    struct OtherIdentity : DeviceIdentifier {
        std::unique_ptr<DeviceIdentifier> Clone() const override {
            return std::make_unique<OtherIdentity>();
        }
    } other;
    EXPECT_EQ(transport.Open(nullptr), DeviceErrorCode::GeneralFailure);
    EXPECT_EQ(transport.Open(&other), DeviceErrorCode::GeneralFailure);
    VirtualWatch_DeviceIdentifier noPort(nullptr);
    EXPECT_EQ(transport.Open(&noPort), DeviceErrorCode::GeneralFailure);
    port.RefuseOpen(true);
    EXPECT_EQ(transport.Open(&identity), DeviceErrorCode::OpenFailed);
    EXPECT_FALSE(transport.IsOpen());

    port.RefuseOpen(false);
    OpenTransport();
    EXPECT_EQ(transport.GetInputReportLength(), 65);
    EXPECT_EQ(transport.GetOutputReportLength(), 65);
    EXPECT_EQ(transport.Open(&identity), DeviceErrorCode::Success);
    EXPECT_EQ(port.OpenCount(), 1);  // already open: not opened again
}

TEST(FramingReportLengthTest, DevicesWhoseReportsCannotCarryTheFramingAreRefused) {
    struct Case {
        std::size_t input;
        std::size_t output;
        bool accepted;
    };
    const std::vector<Case> cases = {
        {65, 3, false}, {65, 4, true}, {65, 514, true},  {65, 515, false},
        {3, 65, false}, {4, 65, true}, {1024, 65, true}, {65, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.input << "/" << c.output);
        ScriptedHostPort port(c.input, c.output);
        VirtualWatch_DeviceIdentifier identity(&port);
        VirtualWatch_HID_DeviceReaderWriter transport;
        const auto result = transport.Open(&identity);
        EXPECT_EQ(result, c.accepted ? DeviceErrorCode::Success : DeviceErrorCode::OpenFailed);
        EXPECT_EQ(transport.IsOpen(), c.accepted);
        EXPECT_EQ(port.IsOpen(), c.accepted);
    }
}

// A device that starts a message and never ends it.
class BabblingPort : public ScriptedHostPort {
  public:
    watchsim::ReadOutcome ReadReport(std::vector<std::uint8_t>& report) override {
        report = Report(reads++ == 0 ? 0x80 : 0x00, 62, Bytes(62, 0x55));
        return watchsim::ReadOutcome::Report;
    }
    std::size_t reads = 0;
};

TEST(FramingInputTest, AMessageThatNeverEndsIsCutOff) {
    BabblingPort port;
    VirtualWatch_DeviceIdentifier identity(&port);
    VirtualWatch_HID_DeviceReaderWriter transport;
    ASSERT_EQ(transport.Open(&identity), DeviceErrorCode::Success);
    Bytes received(5);
    EXPECT_EQ(transport.Read(received, nullptr), DeviceErrorCode::TransferFailed);
    EXPECT_EQ(port.reads, USB_HID_DeviceReaderWriter::kMaxMessageLength / 62 + 1);
}

TEST(FramingLoopbackTest, SmallestReportsCarryOneByteEach) {
    ScriptedHostPort port(4, 4);
    port.AcceptUnscripted();
    VirtualWatch_DeviceIdentifier identity(&port);
    VirtualWatch_HID_DeviceReaderWriter transport;
    ASSERT_EQ(transport.Open(&identity), DeviceErrorCode::Success);
    ASSERT_EQ(transport.Write(Hex("01 02 03")), DeviceErrorCode::Success);
    EXPECT_EQ(port.WrittenReports(),
              (std::vector<Bytes>{Hex("00 80 01 01"), Hex("00 00 01 02"), Hex("00 40 01 03")}));
    EXPECT_EQ(port.Requests(), std::vector<Bytes>{Hex("01 02 03")});
}

}  // namespace
}  // namespace ArmillonDevice
