// The device information records: read whole through the connection, cut into fields.
#include <gtest/gtest.h>

#include "IFirmwareInformation.h"
#include "IHardwareInformation.h"
#include "IProductInformation.h"
#include "ScriptedConnection.h"

namespace ArmillonDevice {
namespace {

using namespace testing;
using namespace std::string_view_literals;

// One size request and one data request for a whole record.
void ExpectRecord(ScriptedHostPort& port, std::uint16_t id, const Bytes& record) {
    const auto size = static_cast<std::uint32_t>(record.size());
    port.Expect(SizeRequest(id, 0), SizeReply(id, 0, size));
    port.Expect(GetRequest(id, 0, 0, size), GetReply(id, 0, 0, record));
}

Bytes Text(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

TEST(InformationRecordsTest, FirmwareRecordNeedsSixteenBytes) {
    ScriptedConnection s;
    s.Open();
    IFirmwareInformation firmware(s.connection);
    ExpectRecord(s.port, 0x1200, Concat({Text("01.2"), {0}, Bytes(11, 0x7A)}));
    ASSERT_EQ(firmware.Update(), DeviceErrorCode::Success);
    EXPECT_EQ(firmware.GetVersion(), std::string("01.2\0", 5));  // verbatim, zero byte kept

    // Too short: fails, the text stays, the raw bytes are the short record.
    const Bytes shortRecord = Concat({Text("09.99"), Bytes(10, 0)});
    ExpectRecord(s.port, 0x1200, shortRecord);
    EXPECT_EQ(firmware.Update(), DeviceErrorCode::GeneralFailure);
    EXPECT_EQ(firmware.GetVersion(), std::string("01.2\0", 5));
    EXPECT_EQ(firmware.GetData(), shortRecord);

    // A failed read keeps the texts and the raw bytes.
    s.port.Expect(SizeRequest(0x1200, 0), Block(0xF0, Hex("04 00")));
    EXPECT_EQ(firmware.Update(), 4);
    EXPECT_EQ(firmware.GetVersion(), std::string("01.2\0", 5));
    EXPECT_EQ(firmware.GetData(), shortRecord);
}

TEST(InformationRecordsTest, ProductAndHardwareFields) {
    ScriptedConnection s;
    s.Open();
    IProductInformation product(s.connection);
    IHardwareInformation hardware(s.connection);
    EXPECT_EQ(product.GetProductText1(), "");
    EXPECT_EQ(hardware.GetHardwareWord(), 0);

    ExpectRecord(s.port, 0x1100,
                 Concat({Text("ORNA RUNNING WATCH\0\0"sv), Text("EU01"), Text("R2\0\0"sv),
                         Text("XY"), Bytes(18, 0x33)}));
    ASSERT_EQ(product.Update(), DeviceErrorCode::Success);
    EXPECT_EQ(product.GetProductText1(), std::string("ORNA RUNNING WATCH\0\0", 20));
    EXPECT_EQ(product.GetProductText2(), "EU01");
    EXPECT_EQ(product.GetProductText3(), std::string("R2\0\0", 4));
    EXPECT_EQ(product.GetProductText4(), "XY");

    ExpectRecord(s.port, 0x1300, Concat({Hex("34 12"), Text("ORNA-HWREV1-612E"), Bytes(14, 0)}));
    ASSERT_EQ(hardware.Update(), DeviceErrorCode::Success);
    EXPECT_EQ(hardware.GetHardwareWord(), 0x1234);
    EXPECT_EQ(hardware.GetHardwareText(), "ORNA-HWREV1-612E");

    ExpectRecord(s.port, 0x1300, Bytes(31, 0));
    EXPECT_EQ(hardware.Update(), DeviceErrorCode::GeneralFailure);
    EXPECT_EQ(hardware.GetHardwareText(), "ORNA-HWREV1-612E");
    EXPECT_TRUE(s.connection.IsOpen());  // open before the update, open after
}

TEST(InformationRecordsTest, UpdateOnAClosedConnectionOpensAndClosesAroundTheRead) {
    ScriptedConnection s;
    IFirmwareInformation firmware(s.connection);
    const Bytes record = Concat({Text("01.20"), Bytes(11, 0)});
    s.port.Expect(kHandshakeRequest, kHandshakeReply);
    ExpectRecord(s.port, 0x1200, record);
    s.port.Expect(kDisconnectRequest, kDisconnectReply);
    ASSERT_EQ(firmware.Update(), DeviceErrorCode::Success);
    EXPECT_EQ(firmware.GetVersion(), "01.20");
    EXPECT_FALSE(s.connection.IsOpen());
    EXPECT_EQ(s.port.Requests(),
              (std::vector<Bytes>{kHandshakeRequest, SizeRequest(0x1200, 0),
                                  GetRequest(0x1200, 0, 0, 16), kDisconnectRequest}));

    // A failed load still closes what the update opened.
    s.port.Expect(kHandshakeRequest, kHandshakeReply);
    ExpectRecord(s.port, 0x1200, Bytes(15, 0));
    s.port.Expect(kDisconnectRequest, kDisconnectReply);
    EXPECT_EQ(firmware.Update(), DeviceErrorCode::GeneralFailure);
    EXPECT_FALSE(s.connection.IsOpen());
    EXPECT_EQ(firmware.GetVersion(), "01.20");
}

TEST(InformationRecordsTest, UpdateFailsWhenTheConnectionCannotOpen) {
    ScriptedConnection s;
    s.port.RefuseOpen(true);
    IHardwareInformation hardware(s.connection);
    EXPECT_EQ(hardware.Update(), DeviceErrorCode::OpenFailed);
    EXPECT_TRUE(s.port.Requests().empty());
}

}  // namespace
}  // namespace ArmillonDevice
