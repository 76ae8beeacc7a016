// Every command of the watch, spoken in raw reports.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "VirtualWatch.h"
#include "WatchTestSupport.h"

namespace watchsim {
namespace {

using namespace std::chrono_literals;
using testing::Bytes;
using testing::Concat;
using testing::DataClass;
using testing::Exchange;
using testing::Le;

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

class WatchCommands : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(watch.Open()); }

    testing::RawReply Ask(std::uint8_t code, const Bytes& payload = {}) {
        std::string why;
        auto reply = Exchange(watch, code, payload, &why);
        EXPECT_TRUE(reply) << why;
        return reply.value_or(testing::RawReply{});
    }

    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    VirtualWatch watch{WatchConfig{}, clock};
};

TEST_F(WatchCommands, HandshakeTravelsAsSingleReports) {
    Bytes request(65, 0);
    request[1] = 0xC0;
    request[2] = 0x05;
    ASSERT_TRUE(watch.WriteReport(request));
    Bytes report;
    ASSERT_EQ(watch.ReadReport(report), ReadOutcome::Report);
    Bytes expected(65, 0);
    const Bytes head{0x00, 0xC0, 0x0D, 0x00, 0x08, 0x00, 0x00, 0x00,
                     0x01, 0x00, 0x14, 0x00, 0x00, 0x00, 0x00, 0x00};
    std::copy(head.begin(), head.end(), expected.begin());
    EXPECT_EQ(report, expected);
    EXPECT_EQ(watch.ReadReport(report), ReadOutcome::Silent);

    const auto bye = Ask(0x01);
    EXPECT_EQ(bye.code, 0x01);
    EXPECT_TRUE(bye.body.empty());
}

TEST_F(WatchCommands, ServesTheInformationRecords) {
    const auto firmware = testing::ReadRecord(watch, 0x1200);
    ASSERT_TRUE(firmware);
    EXPECT_EQ(*firmware, Concat(Text("01.20"), Bytes(11, 0)));

    const auto product = testing::ReadRecord(watch, 0x1100);
    ASSERT_TRUE(product);
    ASSERT_EQ(product->size(), 48u);
    EXPECT_EQ(Bytes(product->begin(), product->begin() + 18), Text("ORNA Running Watch"));
    EXPECT_EQ(Bytes(product->begin() + 20, product->begin() + 30), Text("0A51EU0101"));

    const auto hardware = testing::ReadRecord(watch, 0x1300);
    ASSERT_TRUE(hardware);
    ASSERT_EQ(hardware->size(), 32u);
    EXPECT_EQ(Bytes(hardware->begin(), hardware->begin() + 18),
              Concat(Bytes{0x01, 0x00}, Text("ORNA-HWREV1-612E")));
}

TEST_F(WatchCommands, DataGetEchoesItsParametersAndServesPartOfARecord) {
    // The host's 18-byte request for the first 16 bytes of the firmware record.
    const Bytes payload{0x00, 0x12, 0x00, 0x00, 0x00, 0x00, 0x00,
                        0x00, 0x00, 0x10, 0x00, 0x00, 0x00};
    const auto whole = Ask(0x20, payload);
    EXPECT_EQ(whole.code, 0x20);
    EXPECT_EQ(whole.body,
              Concat(Concat(Bytes{0x00}, payload), Concat(Text("01.20"), Bytes(11, 0))));

    const auto part = Ask(0x20, DataClass(0x1200, 0x00, Le({{0, 2}, {3, 4}, {2, 4}})));
    EXPECT_EQ(Bytes(part.body.begin() + 14, part.body.end()), Text("20"));
}

TEST_F(WatchCommands, ClockRunsFromItsStartAndKeepsWhatTheHostWrites) {
    auto record = testing::ReadRecord(watch, 0x2010);
    ASSERT_TRUE(record);
    ASSERT_EQ(record->size(), 32u);
    // 2024-01-01 12:00:00 is a Monday (1).
    EXPECT_EQ(Bytes(record->begin(), record->begin() + 8), (Bytes{0xE8, 0x07, 1, 1, 12, 0, 0, 1}));
    clock->Advance(61s);
    record = testing::ReadRecord(watch, 0x2010);
    EXPECT_EQ(Bytes(record->begin() + 4, record->begin() + 7), (Bytes{12, 1, 1}));

    // Sunday 2023-12-31 23:59:58, zone bytes 36 and 0, device bytes after them.
    Bytes written = Concat(Le({{2023, 2}}), Bytes{12, 31, 23, 59, 58, 7, 36, 0});
    for (std::uint8_t i = 10; i < 32; ++i) {
        written.push_back(i);
    }
    const auto set =
        Ask(0x21, Concat(DataClass(0x2010, 0x00, Le({{0, 2}, {0, 4}, {32, 4}})), written));
    EXPECT_EQ(set.body, Concat(Bytes{0x00, 0x10, 0x20, 0x00}, Le({{0, 2}, {0, 4}, {32, 4}})));
    EXPECT_EQ(testing::ReadRecord(watch, 0x2010), written);
    clock->Advance(3s);
    record = testing::ReadRecord(watch, 0x2010);
    EXPECT_EQ(Bytes(record->begin(), record->begin() + 8), (Bytes{0xE8, 0x07, 1, 1, 0, 0, 1, 1}));
    EXPECT_EQ(Bytes(record->begin() + 8, record->end()), Bytes(written.begin() + 8, written.end()));
}

// A data-class reply body: status 0, then the envelope and parameters echoed.
Bytes Accepted(std::uint16_t dataId, std::uint8_t kind, const Bytes& echoed) {
    return Concat(Bytes{0x00}, DataClass(dataId, kind, echoed));
}

TEST_F(WatchCommands, SettingsBlocksAreKeptWholeAsLastWritten) {
    for (const std::uint16_t id : {0x1600, 0x1601, 0x1604, 0x1611, 0x1614, 0x1620}) {
        SCOPED_TRACE(id);
        const Bytes first(300, static_cast<std::uint8_t>(id));
        const Bytes params = Le({{0, 2}, {0, 4}, {300, 4}});
        EXPECT_EQ(Ask(0x21, Concat(DataClass(id, 0x00, params), first)).body,
                  Accepted(id, 0x00, params));
        const Bytes second{1, 2, 3};
        Ask(0x21, Concat(DataClass(id, 0x00, Le({{0, 2}, {0, 4}, {3, 4}})), second));
        EXPECT_EQ(watch.SettingsBlock(id), second);
        EXPECT_EQ(testing::ReadRecord(watch, id), second);
    }
}

TEST_F(WatchCommands, FlashEraseWriteAndReadInBothAreas) {
    const Bytes data{0xDE, 0xAD, 0xBE, 0xEF};
    EXPECT_EQ(Ask(0x41, Concat(Le({{0x1000, 4}, {4, 4}}), data)).code, 0x41);
    EXPECT_EQ(Ask(0x40, Le({{0x0FFE, 4}, {8, 4}})).body,
              (Bytes{0xFF, 0xFF, 0xDE, 0xAD, 0xBE, 0xEF, 0xFF, 0xFF}));
    EXPECT_EQ(Ask(0x42, Le({{1, 2}})).code, 0x42);  // sector 1 = 0x1000..0x1FFF
    EXPECT_EQ(watch.Flash(0x1000, 4), Bytes(4, 0xFF));

    EXPECT_EQ(Ask(0x44, Concat(Le({{0x10, 4}, {4, 4}}), data)).code, 0x44);
    EXPECT_EQ(Ask(0x43, Le({{0x10, 4}, {4, 4}})).body, data);
    EXPECT_EQ(Ask(0x40, Le({{0x10, 4}, {4, 4}})).body, Bytes(4, 0xFF));

    // A whole 512 KiB block in one request, as an update sends it.
    Bytes image(512 * 1024);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 13 + (i >> 9));
    }
    EXPECT_EQ(
        Ask(0x41, Concat(Le({{0x80000, 4}, {static_cast<std::uint32_t>(image.size()), 4}}), image))
            .code,
        0x41);
    EXPECT_EQ(watch.Flash(0x80000, image.size()), image);
}

TEST_F(WatchCommands, TrainingRecordsThroughIndexMetaSizeDataAndUploadFlag) {
    WatchConfig config;
    config.trainingRecords = {{7, {0xA1, 0xA2}, {1, 2, 3, 4, 5}, 1}, {9, {0xB1}, {6, 7}, 0}};
    VirtualWatch trainer(config);
    ASSERT_TRUE(trainer.Open());

    EXPECT_EQ(Exchange(trainer, 0x20, DataClass(0x5100, 0x02, {0}))->body,
              Concat(Accepted(0x5100, 0x02, {0}), Le({{4, 4}, {7, 2}, {9, 2}})));
    EXPECT_EQ(Exchange(trainer, 0x20, DataClass(0x5100, 0x02, {1}))->body,
              Concat(Accepted(0x5100, 0x02, {1}), Le({{2, 4}, {7, 2}})));
    EXPECT_EQ(Exchange(trainer, 0x20, DataClass(0x5100, 0x02, {5}))->body,
              Concat(Accepted(0x5100, 0x02, {5}), Le({{0, 4}})));
    EXPECT_EQ(Exchange(trainer, 0x20, DataClass(0x5100, 0x80, Le({{7, 2}})))->body,
              Concat(Accepted(0x5100, 0x80, Le({{7, 2}})), Concat(Le({{2, 4}}), {0xA1, 0xA2})));
    EXPECT_EQ(testing::ReadRecord(trainer, 0x5100, 7), (Bytes{1, 2, 3, 4, 5}));

    EXPECT_EQ(Exchange(trainer, 0x21, DataClass(0x5100, 0x42, Le({{7, 2}, {0, 1}})))->body,
              Accepted(0x5100, 0x42, Le({{7, 2}})));
    EXPECT_EQ(trainer.UploadFlag(7), 0);
    EXPECT_EQ(Exchange(trainer, 0x20, DataClass(0x5100, 0x02, {1}))->body,
              Concat(Accepted(0x5100, 0x02, {1}), Le({{0, 4}})));
}

TEST_F(WatchCommands, RefusesWhatItCannotServeWithErrorReplies) {
    struct Case {
        const char* what;
        std::uint8_t code;
        Bytes payload;
        std::uint16_t error;
    };
    const Case cases[] = {
        {"unknown command", 0x55, {}, 0x0010},
        {"unknown data identifier", 0x20, DataClass(0x9999, 0x41, Le({{0, 2}})), 0x0011},
        {"unknown data kind", 0x20, DataClass(0x1200, 0x07, Le({{0, 2}})), 0x0011},
        {"index of a plain record", 0x20, DataClass(0x1200, 0x02, {0}), 0x0011},
        {"envelope cut short", 0x20, {0x00, 0x12}, 0x0012},
        {"get without parameters", 0x20, DataClass(0x1200, 0x00, Le({{0, 2}})), 0x0012},
        {"set shorter than announced", 0x21, DataClass(0x1600, 0x00, Le({{0, 2}, {0, 4}, {9, 4}})),
         0x0012},
        {"flash write shorter than announced", 0x41, Le({{0, 4}, {4, 4}, {1, 1}}), 0x0012},
        {"flash read past the end", 0x40, Le({{0x1FFFFF, 4}, {2, 4}}), 0x0013},
        {"flash read wrapping the address", 0x40, Le({{0xFFFFFFFF, 4}, {2, 4}}), 0x0013},
        {"flash write past the end", 0x41, Le({{0x200000, 4}, {1, 4}, {0, 1}}), 0x0013},
        {"sector beyond the flash", 0x42, Le({{512, 2}}), 0x0014},
        {"get beyond the record", 0x20, DataClass(0x1200, 0x00, Le({{0, 2}, {10, 4}, {7, 4}})),
         0x0015},
        {"clock set beyond the record", 0x21,
         Concat(DataClass(0x2010, 0x00, Le({{0, 2}, {30, 4}, {3, 4}})), {1, 2, 3}), 0x0015},
        {"settings block at a huge offset", 0x21,
         Concat(DataClass(0x1604, 0x00, Le({{0, 2}, {0xFFFFFFF0, 4}, {1, 4}})), {1}), 0x0015},
        {"record number other than 0", 0x20, DataClass(0x1300, 0x41, Le({{1, 2}})), 0x0016},
        {"training record not held", 0x20, DataClass(0x5100, 0x80, Le({{42, 2}})), 0x0016},
        {"firmware record is read-only", 0x21,
         Concat(DataClass(0x1200, 0x00, Le({{0, 2}, {0, 4}, {1, 4}})), {1}), 0x0017},
        {"clock month 13", 0x21,
         Concat(DataClass(0x2010, 0x00, Le({{0, 2}, {0, 4}, {7, 4}})),
                {0xE8, 0x07, 13, 1, 0, 0, 0}),
         0x0018},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto reply = Ask(c.code, c.payload);
        EXPECT_EQ(reply.code, 0xF0);
        EXPECT_EQ(reply.body, Le({{c.error, 2}}));
    }
    // Refused writes change nothing.
    EXPECT_EQ(watch.FirmwareVersion(), "01.20");
    EXPECT_FALSE(watch.SettingsBlock(0x1604));
    EXPECT_EQ(watch.ClockRecord()[2], 1);
}

}  // namespace
}  // namespace watchsim
