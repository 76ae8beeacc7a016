#include "ByteOrder.h"

#include <gtest/gtest.h>

#include <array>

namespace {

TEST(ByteOrder, StoresAndLoadsLeastSignificantByteFirst) {
    std::array<std::uint8_t, 6> buf{};
    common::StoreLE16(buf.data(), 0x1234);
    common::StoreLE32(buf.data() + 2, 0x80000001u);
    EXPECT_EQ(buf, (std::array<std::uint8_t, 6>{0x34, 0x12, 0x01, 0x00, 0x00, 0x80}));
    EXPECT_EQ(common::LoadLE16(buf.data()), 0x1234);
    EXPECT_EQ(common::LoadLE32(buf.data() + 2), 0x80000001u);

    std::vector<std::uint8_t> out;
    common::AppendLE16(out, 0xBEEF);
    common::AppendLE32(out, 0x01020304);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{0xEF, 0xBE, 0x04, 0x03, 0x02, 0x01}));
}

TEST(ByteOrder, ReaderNeverReadsPastTheEnd) {
    const std::array<std::uint8_t, 7> buf{1, 0, 2, 0, 0, 0, 9};
    common::ByteReader r(buf);
    EXPECT_EQ(r.U16(), 1);
    EXPECT_EQ(r.U32(), 2u);
    EXPECT_FALSE(r.U16().has_value());  // one byte left: a 16-bit read must fail
    EXPECT_EQ(r.Remaining(), 1u);       // and consume nothing
    EXPECT_FALSE(r.Bytes(2).has_value());
    auto last = r.Bytes(1);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ((*last)[0], 9);
    EXPECT_FALSE(r.U8().has_value());
}

}  // namespace
