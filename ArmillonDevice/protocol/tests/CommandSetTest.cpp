// Every device command through the connection: the exact request block, the decoded reply,
// and the checks before and after the exchange.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "ICMD_DataGet.h"
#include "ICMD_DataIndexTableGet.h"
#include "ICMD_DataSet.h"
#include "ICMD_DataSizeGet.h"
#include "ICMD_MetaDataGet.h"
#include "Pause.h"
#include "RequestBlockSize.h"
#include "ScriptedConnection.h"

namespace ArmillonDevice {
namespace {

using namespace testing;
using std::chrono::milliseconds;

// What every command operation may deliver, so one table can check them all.
struct Outputs {
    Bytes bytes{0xEE};  // a caller's array that already holds something
    std::vector<std::uint16_t> entries{0xEEEE};
    std::uint32_t size = 0xEEEEEEEE;
};

using Operation = std::function<ArmillonDeviceError(BasicCommunication&, Outputs&)>;

const Bytes kThree = Hex("01 02 03");

struct CommandCase {
    const char* what;
    Operation run;
    Bytes request;
    Bytes reply;
    Outputs delivered;  // the outputs after success
};

std::vector<CommandCase> CommandCases() {
    Outputs unchanged;
    Outputs flash = unchanged;
    flash.bytes = Hex("EE AA BB CC DD");
    Outputs data = unchanged;
    data.bytes = Concat({{0xEE}, Bytes(16, 0x5A)});
    Outputs table = unchanged;
    table.entries = {0xEEEE, 0x0201, 0x0403, 0x0605};
    Outputs size = unchanged;
    size.size = 48;
    Outputs meta = unchanged;
    meta.bytes = Hex("EE AA BB");

    return {
        {"FlashRead", [](auto& c, auto& o) { return c.FlashRead(0x1000, 4, o.bytes); },
         Block(0x40, Hex("00 10 00 00 04 00 00 00")), Block(0x40, Hex("AA BB CC DD")), flash},
        {"FlashRead2", [](auto& c, auto& o) { return c.FlashRead2(0x1000, 4, o.bytes); },
         Block(0x43, Hex("00 10 00 00 04 00 00 00")), Block(0x43, Hex("AA BB CC DD")), flash},
        {"FlashWrite", [](auto& c, auto&) { return c.FlashWrite(0x00012000, 3, kThree.data()); },
         Block(0x41, Hex("00 20 01 00 03 00 00 00 01 02 03")), Block(0x41), unchanged},
        {"FlashWrite2", [](auto& c, auto&) { return c.FlashWrite2(0x2000, 3, kThree.data()); },
         Block(0x44, Hex("00 20 00 00 03 00 00 00 01 02 03")), Block(0x44), unchanged},
        {"FlashWrite of nothing", [](auto& c, auto&) { return c.FlashWrite(0x2000, 0, nullptr); },
         Block(0x41, Hex("00 20 00 00 00 00 00 00")), Block(0x41), unchanged},
        {"FlashSectorErase", [](auto& c, auto&) { return c.FlashSectorErase(0x0102); },
         Block(0x42, Hex("02 01")), Block(0x42), unchanged},
        {"DataGet", [](auto& c, auto& o) { return c.DataGet(0x1200, 0, 0, 16, o.bytes, nullptr); },
         Hex("20 0D 00 00 00 00 12 00 00 00 00 00 00 00 10 00 00 00"),
         GetReply(0x1200, 0, 0, Bytes(16, 0x5A)), data},
        {"DataIndexTableGet of 7 bytes",
         [](auto& c, auto& o) { return c.DataIndexTableGet(0x5100, 0x01, o.entries); },
         DataRequest(0x20, 0x5100, 0x02, {0x01}),
         DataReply(0x20, 0x5100, 0x02, Concat({{0x01}, LE32(7), Hex("01 02 03 04 05 06 07")})),
         table},
        {"DataSizeGet", [](auto& c, auto& o) { return c.DataSizeGet(0x1100, 0, o.size); },
         SizeRequest(0x1100, 0), SizeReply(0x1100, 0, 48), size},
        {"MetaDataGet", [](auto& c, auto& o) { return c.MetaDataGet(0x5100, 3, o.bytes); },
         DataRequest(0x20, 0x5100, 0x80, LE16(3)),
         DataReply(0x20, 0x5100, 0x80, Concat({LE16(3), LE32(2), Hex("AA BB")})), meta},
        {"DataSet", [](auto& c, auto&) { return c.DataSet(0x1600, 0, 0x10, 3, kThree.data()); },
         DataRequest(0x21, 0x1600, 0x00, Concat({LE16(0), LE32(0x10), LE32(3), kThree})),
         DataReply(0x21, 0x1600, 0x00, Concat({LE16(0), LE32(0x10), LE32(3)})), unchanged},
        {"DataSet without data sends zeros",
         [](auto& c, auto&) { return c.DataSet(0x1601, 0, 0, 2, nullptr); },
         DataRequest(0x21, 0x1601, 0x00, Concat({LE16(0), LE32(0), LE32(2), Hex("00 00")})),
         DataReply(0x21, 0x1601, 0x00, Concat({LE16(0), LE32(0), LE32(2)})), unchanged},
        {"DataUploadFlagSet sends the low 8 bits of the flag",
         [](auto& c, auto&) { return c.DataUploadFlagSet(0x5100, 7, 0x0101); },
         DataRequest(0x21, 0x5100, 0x42, Hex("07 00 01")), DataReply(0x21, 0x5100, 0x42, LE16(7)),
         unchanged},
    };
}

void ExpectOutputs(const Outputs& actual, const Outputs& expected) {
    EXPECT_EQ(actual.bytes, expected.bytes);
    EXPECT_EQ(actual.entries, expected.entries);
    EXPECT_EQ(actual.size, expected.size);
}

TEST(CommandSetTest, EachCommandSendsItsBlockAndDeliversItsReply) {
    for (const auto& c : CommandCases()) {
        SCOPED_TRACE(c.what);
        ScriptedConnection s;
        s.Open();
        s.port.Expect(c.request, c.reply);
        Outputs outputs;
        EXPECT_EQ(c.run(s.connection, outputs), DeviceErrorCode::Success);
        ExpectOutputs(outputs, c.delivered);
        EXPECT_TRUE(s.connection.IsOpen());
    }
}

TEST(CommandSetTest, RequestBlockSizesWeighTheBlocksTheCommandsSend) {
    const std::map<std::string, std::uint64_t> sizes = {
        {"FlashWrite", RequestBlockSize::FlashWrite(3)},
        {"FlashWrite of nothing", RequestBlockSize::FlashWrite(0)},
        {"FlashSectorErase", RequestBlockSize::FlashSectorErase()},
        {"DataSet", RequestBlockSize::DataSet(3)},
    };
    std::size_t checked = 0;
    for (const auto& c : CommandCases()) {
        if (const auto size = sizes.find(c.what); size != sizes.end()) {
            SCOPED_TRACE(c.what);
            EXPECT_EQ(c.request.size(), size->second);
            ++checked;
        }
    }
    EXPECT_EQ(checked, sizes.size());
    EXPECT_EQ(Block(0x30).size(), RequestBlockSize::BareCommand());
}

TEST(CommandSetTest, FailedCommandsLeaveTheOutputsAsTheyWere) {
    common::ScopedPauseRecorder pauses;
    for (const auto& c : CommandCases()) {
        const struct {
            const char* what;
            Bytes reply;
            ArmillonDeviceError expected;
        } failures[] = {
            {"device error", Block(0xF0, Hex("33 00")), 0x33},
            {"reply to another command", Block(0x7E), DeviceErrorCode::UnexpectedReply},
            {"silence", {}, DeviceErrorCode::TransferFailed},
        };
        for (const auto& f : failures) {
            SCOPED_TRACE(::testing::Message() << c.what << ": " << f.what);
            ScriptedConnection s;
            s.Open();
            if (f.reply.empty()) {
                s.port.ExpectSilence(c.request);
            } else {
                s.port.Expect(c.request, f.reply);
            }
            Outputs outputs;
            EXPECT_EQ(c.run(s.connection, outputs), f.expected);
            ExpectOutputs(outputs, Outputs{});
        }
    }
}

TEST(CommandSetTest, EveryCommandNeedsAnOpenConnectionFirst) {
    const std::vector<std::pair<const char*, Operation>> operations = {
        {"SendCommand30", [](auto& c, auto&) { return c.SendCommand30(); }},
        {"SendCommand31", [](auto& c, auto&) { return c.SendCommand31(); }},
        {"SendCommand32", [](auto& c, auto&) { return c.SendCommand32(); }},
        // The argument checks come after the connection check.
        {"FlashSectorErase(0)", [](auto& c, auto&) { return c.FlashSectorErase(0); }},
        {"FlashWrite without data", [](auto& c, auto&) { return c.FlashWrite(0, 4, nullptr); }},
    };
    auto all = operations;
    for (const auto& c : CommandCases()) {
        all.emplace_back(c.what, c.run);
    }
    ScriptedConnection s;
    for (const auto& [what, run] : all) {
        SCOPED_TRACE(what);
        Outputs outputs;
        EXPECT_EQ(run(s.connection, outputs), DeviceErrorCode::NotOpen);
        ExpectOutputs(outputs, Outputs{});
    }
    EXPECT_TRUE(s.port.WrittenReports().empty());
}

TEST(CommandSetTest, ArgumentChecksSendNothing) {
    ScriptedConnection s;
    s.Open();
    EXPECT_EQ(s.connection.FlashSectorErase(0), DeviceErrorCode::InvalidParameter);
    EXPECT_EQ(s.connection.FlashWrite(0x100, 4, nullptr), DeviceErrorCode::InvalidData);
    EXPECT_EQ(s.connection.FlashWrite2(0x100, 4, nullptr), DeviceErrorCode::InvalidData);
    EXPECT_EQ(s.port.Requests().size(), 1u);  // the handshake only
}

TEST(CommandSetTest, FlashReadMustDeliverExactlyTheLengthAsked) {
    for (std::size_t got : {255u, 257u, 0u}) {
        SCOPED_TRACE(got);
        ScriptedConnection s;
        s.Open();
        s.port.Expect(Block(0x40, Hex("00 00 00 00 00 01 00 00")), Block(0x40, Bytes(got, 1)));
        Bytes output{9};
        EXPECT_EQ(s.connection.FlashRead(0, 256, output), DeviceErrorCode::InvalidData);
        EXPECT_EQ(output, Bytes{9});
    }
}

TEST(CommandSetTest, ControlCommandsCloseTheTransportOnlyOnSuccess) {
    const std::vector<std::pair<std::uint8_t, Operation>> commands = {
        {0x30, [](auto& c, auto&) { return c.SendCommand30(); }},
        {0x31, [](auto& c, auto&) { return c.SendCommand31(); }},
        {0x32, [](auto& c, auto&) { return c.SendCommand32(); }},
    };
    for (const auto& [code, run] : commands) {
        SCOPED_TRACE(code);
        ScriptedConnection s;
        s.Open();
        Outputs outputs;
        s.port.Expect(Block(code), Block(0xF0, Hex("01 00")));
        EXPECT_EQ(run(s.connection, outputs), 1);
        EXPECT_TRUE(s.connection.IsOpen());
        s.port.Expect(Block(code), Block(code));
        EXPECT_EQ(run(s.connection, outputs), DeviceErrorCode::Success);
        EXPECT_FALSE(s.connection.IsOpen());
        EXPECT_FALSE(s.port.IsOpen());
    }
}

TEST(CommandSetTest, DataClassRepliesThatDoNotFitTheRequestAreInvalidData) {
    struct Case {
        const char* what;
        Bytes reply;
    };
    const std::vector<Case> cases = {
        {"status 3", DataReply(0x20, 0x1100, 0x41, Concat({LE16(0), LE32(48)}), 0x03)},
        {"other data identifier", SizeReply(0x1200, 0, 48)},
        {"other data kind", DataReply(0x20, 0x1100, 0x00, Concat({LE16(0), LE32(48)}))},
        {"other data number", SizeReply(0x1100, 1, 48)},
        {"size cut short", DataReply(0x20, 0x1100, 0x41, Concat({LE16(0), Hex("30 00 00")}))},
        {"envelope cut short", Block(0x20, Hex("00 00 11"))},
        {"empty body", Block(0x20)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedConnection s;
        s.Open();
        s.port.Expect(SizeRequest(0x1100, 0), c.reply);
        std::uint32_t size = 7;
        EXPECT_EQ(s.connection.DataSizeGet(0x1100, 0, size), DeviceErrorCode::InvalidData);
        EXPECT_EQ(size, 7u);
    }
}

TEST(CommandSetTest, DataClassStatusTellsWhyADecodeFailed) {
    std::uint32_t size = 0;
    const struct {
        const char* what;
        Bytes body;
        std::uint8_t status;
    } cases[] = {
        {"refused by the device", Hex("03 00 11 41 00 00 30 00 00 00"), 0x03},
        {"other data identifier", Hex("00 00 12 41 00 00 30 00 00 00"), 0xFF},
        {"too short", Hex("00 00 11"), 0xFF},
        {"parameters too short", Hex("00 00 11 41 00 00 30"), 0xFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ICMD_DataSizeGet command(0x1100, 0, size);
        EXPECT_EQ(command.Decode(c.body), -1);
        EXPECT_EQ(command.GetStatus(), c.status);
    }
    ICMD_DataSizeGet command(0x1100, 0, size);
    EXPECT_EQ(command.Decode(Hex("00 00 11 41 00 00 30 00 00 00 FF")), 10);
    EXPECT_EQ(command.GetStatus(), 0);
    EXPECT_EQ(size, 48u);
}

TEST(CommandSetTest, DecodersCheckEveryCountBeforeReading) {
    Bytes bytes;
    std::vector<std::uint16_t> entries;
    const auto body = [](std::uint16_t id, std::uint8_t kind, const Bytes& parameters) {
        return Concat({{0x00}, LE16(id), {kind}, parameters});
    };
    // Counts the device announces that the body does not hold.
    ICMD_DataGet get(0x5100, 1, 0, 4, bytes);
    EXPECT_EQ(get.Decode(body(0x5100, 0x00, Concat({LE16(1), LE32(0), LE32(4), Hex("01 02 03")}))),
              -1);
    ICMD_DataGet wrongSize(0x5100, 1, 0, 4, bytes);
    EXPECT_EQ(wrongSize.Decode(body(0x5100, 0x00, Concat({LE16(1), LE32(0), LE32(3), kThree}))),
              -1);
    ICMD_MetaDataGet meta(0x5100, 1, bytes);
    EXPECT_EQ(meta.Decode(body(0x5100, 0x80, Concat({LE16(1), LE32(0xFFFFFFFF), kThree}))), -1);
    ICMD_DataIndexTableGet table(0x5100, 2, entries);
    EXPECT_EQ(table.Decode(body(0x5100, 0x02, Concat({{2}, LE32(0xFFFFFFFB), kThree}))), -1);
    ICMD_DataIndexTableGet otherSelector(0x5100, 2, entries);
    EXPECT_EQ(otherSelector.Decode(body(0x5100, 0x02, Concat({{3}, LE32(0)}))), -1);
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(entries.empty());

    // What a good body consumes; bytes after it are left alone.
    ICMD_DataIndexTableGet odd(0x5100, 2, entries);
    EXPECT_EQ(odd.Decode(body(0x5100, 0x02, Concat({{2}, LE32(3), kThree, Hex("99")}))), 4 + 5 + 2);
    EXPECT_EQ(entries, std::vector<std::uint16_t>{0x0201});
    ICMD_DataSet set(0x1600, 0, 0, 0, nullptr);
    EXPECT_EQ(set.Decode(body(0x1600, 0x00, Concat({LE16(0), LE32(0), LE32(0), Hex("99")}))), 14);
}

struct ProgressRecorder : IReadProgressListener {
    void OnRead(std::uintptr_t received, std::uint32_t total) override {
        calls.emplace_back(static_cast<std::uint32_t>(received), total);
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> calls;
};

TEST(CommandSetTest, DataGetReportsTheReplyBodyAsItArrives) {
    ScriptedConnection s;
    s.Open();
    const Bytes data(986, 0x11);  // with the envelope and the echo: a 1000-byte body
    s.port.Expect(GetRequest(0x5100, 4, 0, 986), GetReply(0x5100, 4, 0, data));
    ProgressRecorder progress;
    Bytes output;
    ASSERT_EQ(s.connection.DataGet(0x5100, 4, 0, 986, output, &progress), DeviceErrorCode::Success);
    EXPECT_EQ(output, data);
    ASSERT_EQ(progress.calls.size(), 1u + 17u);  // 1005 bytes in reports of 62
    EXPECT_EQ(progress.calls[0], std::make_pair(0u, 0u));
    EXPECT_EQ(progress.calls[1], std::make_pair(57u, 1000u));
    EXPECT_EQ(progress.calls[2], std::make_pair(119u, 1000u));
    EXPECT_EQ(progress.calls.back(), std::make_pair(1000u, 1000u));
}

TEST(CommandSetTest, DataGetRetriesWithoutReconnectingAndAppendsOnlyOnSuccess) {
    common::ScopedPauseRecorder pauses;
    ScriptedConnection s;
    s.connection.SetRetryCount(1);
    s.Open();
    s.port.Expect(GetRequest(0x2010, 0, 0, 2), GetReply(0x2010, 0, 0, Hex("01")));
    s.port.Expect(GetRequest(0x2010, 0, 0, 2), GetReply(0x2010, 0, 0, Hex("01 02")));
    ProgressRecorder progress;
    Bytes output;
    ASSERT_EQ(s.connection.DataGet(0x2010, 0, 0, 2, output, &progress), DeviceErrorCode::Success);
    EXPECT_EQ(output, Hex("01 02"));
    EXPECT_EQ(s.port.OpenCount(), 1);
    EXPECT_EQ(pauses.Pauses(), std::vector<milliseconds>{milliseconds(3000)});
    EXPECT_EQ(std::count(progress.calls.begin(), progress.calls.end(), std::make_pair(0u, 0u)), 2);

    s.port.Expect(GetRequest(0x2010, 0, 0, 2), Block(0xF0, Hex("08 00")));
    s.port.Expect(GetRequest(0x2010, 0, 0, 2), Block(0xF0, Hex("09 00")));
    EXPECT_EQ(s.connection.DataGet(0x2010, 0, 0, 2, output, nullptr), 9);
    EXPECT_EQ(output, Hex("01 02"));
}

}  // namespace
}  // namespace ArmillonDevice
