#include "OrnaFirmwareVersion.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

struct OrderCase {
    const char* lower;
    const char* higher;
};

// Each pair orders lower < higher.
const OrderCase kOrdered[] = {
    {"01.23", "01.30"},
    {"0123", "01234"},         // a text that ends first orders first
    {"     ", "0"},            // the text of an image without a version section
    {"0100A", "0100a"},        // upper case before lower case
    {"1.10A", "1.9 A"},        // byte-wise, not numeric
    {"01.2\x7f", "01.2\x80"},  // bytes compare unsigned
    {"", " "},
};

TEST(OrnaFirmwareVersionTest, OrdersByteWiseAndAllSixOperationsAgree) {
    for (const auto& c : kOrdered) {
        SCOPED_TRACE(std::string(c.lower) + " < " + c.higher);
        const OrnaFirmwareVersion lo(c.lower);
        const OrnaFirmwareVersion hi(c.higher);
        EXPECT_TRUE(lo.IsLess(&hi));
        EXPECT_FALSE(lo.IsGreater(&hi));
        EXPECT_FALSE(lo.IsEqual(&hi));
        EXPECT_TRUE(lo.IsLessOrEqual(&hi));
        EXPECT_FALSE(lo.IsGreaterOrEqual(&hi));
        EXPECT_TRUE(lo.IsNotEqual(&hi));

        EXPECT_TRUE(hi.IsGreater(&lo));
        EXPECT_TRUE(hi.IsGreaterOrEqual(&lo));
        EXPECT_FALSE(hi.IsLess(&lo));
    }
}

TEST(OrnaFirmwareVersionTest, OnlyTheFirstFiveCharactersCount) {
    const OrnaFirmwareVersion a("01.23");
    const OrnaFirmwareVersion b("01.23xyz");
    EXPECT_TRUE(a.IsEqual(&b));
    EXPECT_TRUE(a.IsLessOrEqual(&b));
    EXPECT_TRUE(a.IsGreaterOrEqual(&b));
    EXPECT_FALSE(a.IsNotEqual(&b));
    EXPECT_STREQ(b.Text(), "01.23");
}

// A version that never orders before anything: its negations follow through the virtual call.
class NeverLess : public OrnaFirmwareVersion {
  public:
    using OrnaFirmwareVersion::OrnaFirmwareVersion;
    bool IsLess(const ArmillonGPSVersion*) const override { return false; }
};

TEST(OrnaFirmwareVersionTest, NegationsFollowARedefinedComparison) {
    const NeverLess a("01.00");
    const OrnaFirmwareVersion b("02.00");
    EXPECT_TRUE(a.IsGreaterOrEqual(&b));
}

class OtherVersion : public ArmillonGPSVersion {
  public:
    bool IsLess(const ArmillonGPSVersion*) const override { return false; }
    bool IsGreater(const ArmillonGPSVersion*) const override { return false; }
    bool IsEqual(const ArmillonGPSVersion*) const override { return true; }
    bool IsLessOrEqual(const ArmillonGPSVersion*) const override { return true; }
    bool IsGreaterOrEqual(const ArmillonGPSVersion*) const override { return true; }
    bool IsNotEqual(const ArmillonGPSVersion*) const override { return false; }
};

TEST(OrnaFirmwareVersionTest, RefusesToCompareWithAnotherKindOfVersion) {
    const OrnaFirmwareVersion a("01.00");
    const OtherVersion other;
    EXPECT_THROW(a.IsLess(&other), std::invalid_argument);
    EXPECT_THROW(a.IsEqual(&other), std::invalid_argument);
    EXPECT_THROW(a.IsNotEqual(&other), std::invalid_argument);
    EXPECT_THROW(a.IsGreater(nullptr), std::invalid_argument);
}

}  // namespace
