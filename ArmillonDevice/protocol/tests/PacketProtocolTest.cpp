// Request and reply blocks, the handshake, error replies and closing, through the real
// framing to a scripted device.
#include <gtest/gtest.h>

#include "CommandExchange.h"
#include "ICMD_DataSet.h"
#include "ICMD_ErrorData.h"
#include "ICMD_FlashWrite.h"
#include "ICMD_Version.h"
#include "Pause.h"
#include "ScriptedConnection.h"

namespace ArmillonDevice {
namespace {

using namespace testing;
using std::chrono::milliseconds;

TEST(ArmillonDeviceErrorTest, ValueSemantics) {
    const ArmillonDeviceError success;
    EXPECT_TRUE(success.IsSuccess());
    EXPECT_FALSE(success.IsError());
    const ArmillonDeviceError failure(0x7FFFFFFF);
    ArmillonDeviceError copy;
    copy = failure;
    EXPECT_TRUE(copy.IsError());
    EXPECT_EQ(copy.GetCode(), 0x7FFFFFFF);
    EXPECT_EQ(copy, DeviceErrorCode::GeneralFailure);
    EXPECT_EQ(DescribeDeviceError(5), "device error 0x0005");
    EXPECT_EQ(DescribeDeviceError(DeviceErrorCode::NotOpen), "NotOpen");
    EXPECT_EQ(DescribeDeviceErrorWithCode(DeviceErrorCode::TransferFailed),
              "TransferFailed (0x7FFF0001)");
    EXPECT_EQ(DescribeDeviceErrorWithCode(DeviceErrorCode::NotOpen), "NotOpen (0x0201)");
    EXPECT_EQ(DescribeDeviceErrorWithCode(5), "device error 0x0005");
}

TEST(PacketProtocolTest, HandshakeIsOneReportAndStoresTheVersionWords) {
    ScriptedConnection c;
    c.Open();
    ASSERT_EQ(c.port.WrittenReports().size(), 1u);
    Bytes expected = Hex("00 C0 05 00 00 00 00 00");
    expected.resize(65, 0);
    EXPECT_EQ(c.port.WrittenReports()[0], expected);
    EXPECT_EQ(c.connection.GetVersionWords(), (std::array<std::uint16_t, 4>{1, 2, 3, 4}));
    EXPECT_TRUE(c.connection.IsOpen());

    EXPECT_EQ(c.connection.Open(), DeviceErrorCode::Success);  // already open: nothing sent
    EXPECT_EQ(c.port.WrittenReports().size(), 1u);
    EXPECT_EQ(c.port.OpenCount(), 1);
}

TEST(PacketProtocolTest, AnyHandshakeFailureIsTransferFailedAndClosesTheTransport) {
    struct Case {
        const char* what;
        Bytes reply;  // empty: the device stays silent
    };
    const std::vector<Case> cases = {
        {"version reply of 7 bytes", Block(0x00, Hex("01 00 02 00 03 00 04"))},
        {"version reply without a body", Block(0x00)},
        {"error reply", Block(0xF0, Hex("09 00"))},
        {"reply to another command", Block(0x01)},
        {"silence", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        common::ScopedPauseRecorder pauses;
        ScriptedConnection s;
        if (c.reply.empty()) {
            s.port.ExpectSilence(kHandshakeRequest);
        } else {
            s.port.Expect(kHandshakeRequest, c.reply);
        }
        EXPECT_EQ(s.connection.Open(), DeviceErrorCode::TransferFailed);
        EXPECT_FALSE(s.connection.IsOpen());
        EXPECT_FALSE(s.port.IsOpen());
        EXPECT_EQ(s.connection.GetVersionWords(), (std::array<std::uint16_t, 4>{}));
    }
}

TEST(PacketProtocolTest, OpenPassesTheTransportErrorOn) {
    ScriptedConnection c;
    c.port.RefuseOpen(true);
    EXPECT_EQ(c.connection.Open(), DeviceErrorCode::OpenFailed);
    EXPECT_TRUE(c.port.WrittenReports().empty());
}

// A stand-in request object with a fixed payload; as decoder it takes exactly 3 bytes.
struct FixedData : IArmillonData {
    std::vector<std::uint8_t> Encode() const override { return payload; }
    std::int64_t Decode(std::span<const std::uint8_t> body) override {
        ++decodes;
        return body.size() == 3 ? 3 : -1;
    }
    Bytes payload;
    int decodes = 0;
};

TEST(PacketProtocolTest, ReplyOutcomes) {
    struct Case {
        const char* what;
        std::vector<Bytes> replyReports;
        ArmillonDeviceError expected;
        int decodes;
    };
    const auto framed = [](const Bytes& block) { return FrameMessage(block, 65); };
    const std::vector<Case> cases = {
        {"matching reply", framed(Block(0x40, Hex("01 02 03"))), DeviceErrorCode::Success, 1},
        {"decoder refuses the body", framed(Block(0x40, Hex("01 02"))),
         DeviceErrorCode::InvalidData, 1},
        {"empty body is not decoded", framed(Block(0x40)), DeviceErrorCode::Success, 0},
        {"device error code", framed(Block(0xF0, Hex("05 00"))), 5, 0},
        {"device code equal to a system code", framed(Block(0xF0, Hex("02 01"))),
         DeviceErrorCode::InvalidData, 0},
        {"device code 0 reads as success", framed(Block(0xF0, Hex("00 00"))),
         DeviceErrorCode::Success, 0},
        {"device code above 0x7FFF", framed(Block(0xF0, Hex("FF FF"))), 0xFFFF, 0},
        {"error reply without a code", framed(Block(0xF0)), DeviceErrorCode::InvalidData, 0},
        {"error reply with one byte", framed(Block(0xF0, Hex("05"))), DeviceErrorCode::InvalidData,
         0},
        {"reply to another command", framed(Block(0x41, Hex("01 02 03"))),
         DeviceErrorCode::UnexpectedReply, 0},
        {"body over 16 MiB announced", framed(Hex("40 01 00 00 01")), DeviceErrorCode::InvalidData,
         0},
        {"body longer than what arrives", framed(Hex("40 10 00 00 00 01 02")),
         DeviceErrorCode::TransferFailed, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        common::ScopedPauseRecorder pauses;
        ScriptedConnection s;
        s.Open();
        FixedData data;
        data.payload = Hex("AA BB");
        s.port.ExpectReports(Block(0x40, Hex("AA BB")), c.replyReports);
        CommandExchange exchange;
        exchange.commandCode = 0x40;
        exchange.request = &data;
        exchange.replyDecoder = &data;
        EXPECT_EQ(s.connection.Exchange(exchange), c.expected);
        EXPECT_EQ(data.decodes, c.decodes);
        EXPECT_TRUE(s.connection.IsOpen());  // a failed exchange leaves the connection open
    }
}

TEST(PacketProtocolTest, ReplyBlockMaySpanSeveralMessages) {
    ScriptedConnection c;
    c.Open();
    auto reports = FrameMessage(Hex("40 03 00 00 00"), 65);
    const auto body = FrameMessage(Hex("01 02 03"), 65);
    reports.insert(reports.end(), body.begin(), body.end());
    c.port.ExpectReports(Block(0x40), reports);
    FixedData decoder;
    CommandExchange exchange;
    exchange.commandCode = 0x40;
    exchange.replyDecoder = &decoder;
    EXPECT_EQ(c.connection.Exchange(exchange), DeviceErrorCode::Success);
    EXPECT_EQ(exchange.replyCode, 0x40);
    EXPECT_EQ(exchange.replyLength, 3u);
    EXPECT_EQ(exchange.replyBody, Hex("01 02 03"));
}

TEST(PacketProtocolTest, CloseSendsDisconnectAndClosesWhateverTheReply) {
    {
        ScriptedConnection c;
        c.Open();
        c.port.Expect(kDisconnectRequest, kDisconnectReply);
        EXPECT_EQ(c.connection.Close(), DeviceErrorCode::Success);
        EXPECT_FALSE(c.connection.IsOpen());
        EXPECT_FALSE(c.port.IsOpen());
    }
    {
        common::ScopedPauseRecorder pauses;
        ScriptedConnection c;
        c.Open();
        c.port.ExpectSilence(kDisconnectRequest);
        EXPECT_EQ(c.connection.Close(), DeviceErrorCode::TransferFailed);
        EXPECT_FALSE(c.connection.IsOpen());
        EXPECT_EQ(pauses.Pauses(), std::vector<milliseconds>{milliseconds(10000)});

        // On a closed connection the disconnect cannot be sent at all.
        EXPECT_EQ(c.connection.Close(), DeviceErrorCode::GeneralFailure);
        EXPECT_FALSE(c.connection.IsOpen());
    }
}

TEST(PacketProtocolTest, WithoutRetriesAFailedExchangeIsNotRepeated) {
    common::ScopedPauseRecorder pauses;
    ScriptedConnection c;
    c.Open();
    c.port.Expect(Block(0x42, Hex("01 00")), Block(0xF0, Hex("07 00")));
    EXPECT_EQ(c.connection.FlashSectorErase(1), 7);
    EXPECT_EQ(c.port.Requests().size(), 2u);
    EXPECT_EQ(c.port.OpenCount(), 1);
    EXPECT_TRUE(pauses.Pauses().empty());
}

TEST(PacketProtocolTest, RetriesReconnectAfterThePause) {
    common::ScopedPauseRecorder pauses;
    ScriptedConnection c;
    c.connection.SetRetryCount(1);
    c.Open();
    c.port.Expect(Block(0x42, Hex("01 00")), Block(0xF0, Hex("07 00")));
    c.port.Expect(kHandshakeRequest, kHandshakeReply);
    c.port.Expect(Block(0x42, Hex("01 00")), Block(0x42));
    EXPECT_EQ(c.connection.FlashSectorErase(1), DeviceErrorCode::Success);
    EXPECT_EQ(c.port.OpenCount(), 2);
    EXPECT_EQ(pauses.Pauses(), std::vector<milliseconds>{milliseconds(3000)});
}

TEST(PacketProtocolTest, ReopenClosesAndHandshakesAgain) {
    ScriptedConnection c;
    c.Open();
    c.port.Expect(kHandshakeRequest, kHandshakeReply);
    EXPECT_EQ(c.connection.Reopen(), DeviceErrorCode::Success);
    EXPECT_EQ(c.port.OpenCount(), 2);
    EXPECT_TRUE(c.connection.IsOpen());
}

TEST(PacketProtocolTest, DeviceWithoutTransport) {
    BasicCommunication connection(std::make_unique<ORNA_Device>(nullptr, nullptr));
    EXPECT_FALSE(connection.IsOpen());
    EXPECT_EQ(connection.Open(), DeviceErrorCode::OpenFailed);
    CommandExchange exchange;
    EXPECT_EQ(connection.Exchange(exchange), DeviceErrorCode::GeneralFailure);
    EXPECT_EQ(connection.Close(), DeviceErrorCode::GeneralFailure);
}

// The request's length field holds the header and the bytes together, so the largest block a
// write can carry is the field's maximum less the header.
TEST(ProtocolDataTest, ABlockFitsTheRequestLengthOnlyWithItsHeader) {
    constexpr std::uint64_t kMax = 0xFFFFFFFFu;
    const struct {
        std::uint64_t dataSize;
        std::size_t headerSize;
        bool fits;
    } cases[] = {
        {0, 0, true},
        {kMax, 0, true},
        {kMax + 1, 0, false},
        {kMax - ICMD_FlashWrite::kRequestHeaderSize, ICMD_FlashWrite::kRequestHeaderSize, true},
        {kMax - ICMD_FlashWrite::kRequestHeaderSize + 1, ICMD_FlashWrite::kRequestHeaderSize,
         false},
        {kMax - ICMD_DataSet::kRequestHeaderSize + 1, ICMD_DataSet::kRequestHeaderSize, false},
        {kMax, ICMD_DataSet::kRequestHeaderSize, false},
        {~std::uint64_t{0}, 8, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandExchange::FitsRequestLength(c.dataSize, c.headerSize), c.fits)
            << c.dataSize << " + " << c.headerSize;
    }
    // The headers are what the requests really put before the bytes.
    const std::uint8_t byte = 7;
    EXPECT_EQ(ICMD_FlashWrite(0, 1, &byte).Encode().size(),
              ICMD_FlashWrite::kRequestHeaderSize + 1);
    EXPECT_EQ(ICMD_DataSet(0x1600, 0, 0, 1, &byte).Encode().size(),
              ICMD_DataSet::kRequestHeaderSize + 1);
}

TEST(ProtocolDataTest, ErrorAndVersionBodies) {
    ICMD_ErrorData error;
    EXPECT_EQ(error.Decode(Hex("05")), 0);
    EXPECT_EQ(error.GetErrorCode(), 0);
    EXPECT_EQ(error.Decode(Hex("34 12 99")), 2);
    EXPECT_EQ(error.GetErrorCode(), 0x1234);
    EXPECT_EQ(error.Encode(), Hex("34 12"));

    ICMD_Version version;
    EXPECT_EQ(version.Decode(Hex("01 00 02 00 03 00 04")), -1);
    EXPECT_EQ(version.Decode(Hex("01 00 02 00 03 00 04 05 FF")), 8);
    EXPECT_EQ(version.GetWord(3), 0x0504);
    EXPECT_EQ(version.Encode(), Hex("01 00 02 00 03 00 04 05"));
}

}  // namespace
}  // namespace ArmillonDevice
