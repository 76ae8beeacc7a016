#include "FaultPlan.h"

#include <gtest/gtest.h>

namespace watchsim {
namespace {

TEST(FaultPlan, ParsesRules) {
    struct Case {
        const char* plan;
        CommandKind kind;
        std::optional<std::uint16_t> dataId;
        std::uint32_t first;
        std::uint32_t last;
        FaultType type;
        std::uint32_t value;
        const char* text;
    };
    const Case cases[] = {
        {"set#3:error=0x0005", CommandKind::DataSet, {}, 3, 3, FaultType::ErrorReply, 5, ""},
        {"get@0x1200#1-2:silent", CommandKind::DataGet, 0x1200, 1, 2, FaultType::Silent, 0, ""},
        {" version:code=0x41 ",
         CommandKind::Version,
         {},
         1,
         UINT32_MAX,
         FaultType::ReplyCode,
         0x41,
         ""},
        {"size#2-:status=3", CommandKind::DataSize, {}, 2, UINT32_MAX, FaultType::Status, 3, ""},
        {"size@4608:short", CommandKind::DataSize, 0x1200, 1, UINT32_MAX, FaultType::ShortRecord, 0,
         ""},
        {"any:zerolen", CommandKind::Any, {}, 1, UINT32_MAX, FaultType::ZeroLength, 0, ""},
        {"cmd30:nostart", CommandKind::Command30, {}, 1, UINT32_MAX, FaultType::NoStartFlag, 0, ""},
        {"write#1:drop=2", CommandKind::FlashWrite, {}, 1, 1, FaultType::DropAfter, 2, ""},
        {"open#2-:hwtext=ORNA-HWREV1-712E",
         CommandKind::Open,
         {},
         2,
         UINT32_MAX,
         FaultType::HardwareText,
         0,
         "ORNA-HWREV1-712E"},
        {"open:busy", CommandKind::Open, {}, 1, UINT32_MAX, FaultType::Busy, 0, ""},
        {"write#3:reboot", CommandKind::FlashWrite, {}, 3, 3, FaultType::Reboot, 0, ""},
        {"any#9:unplug", CommandKind::Any, {}, 9, 9, FaultType::Unplug, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plan);
        const FaultPlan plan = ParseFaultPlan(c.plan);
        ASSERT_EQ(plan.rules.size(), 1u);
        const FaultRule& rule = plan.rules[0];
        EXPECT_EQ(rule.kind, c.kind);
        EXPECT_EQ(rule.dataId, c.dataId);
        EXPECT_EQ(rule.first, c.first);
        EXPECT_EQ(rule.last, c.last);
        EXPECT_EQ(rule.type, c.type);
        EXPECT_EQ(rule.value, c.value);
        EXPECT_EQ(rule.text, c.text);
    }
}

TEST(FaultPlan, ReadsSeveralItemsAndTheLatency) {
    const FaultPlan plan = ParseFaultPlan("latency=1000, erase#2:error=7,,index:silent");
    ASSERT_EQ(plan.rules.size(), 2u);
    EXPECT_EQ(plan.latency, std::chrono::microseconds(1000));
    EXPECT_EQ(plan.rules[0].kind, CommandKind::SectorErase);
    EXPECT_EQ(plan.rules[1].kind, CommandKind::IndexTable);
    EXPECT_TRUE(ParseFaultPlan("").rules.empty());
}

TEST(FaultPlan, RefusesMalformedItems) {
    for (const char* bad :
         {"set", "bogus:silent", "set:explode", "set:error", "set:error=0x10000", "set:silent=1",
          "set#0:silent", "set#3-2:silent", "set#x:silent", "erase@0x1200:silent", "open:silent",
          "set:busy", "open:hwtext=ABCDEFGHIJKLMNOPQ", "latency=abc", "code=1"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(ParseFaultPlan(bad), FaultPlanError);
    }
}

TEST(FaultRule, MatchesByKindAndDataIdentifier) {
    const auto rule = [](CommandKind kind, std::optional<std::uint16_t> dataId = {}) {
        FaultRule made;
        made.kind = kind;
        made.dataId = dataId;
        return made;
    };
    const FaultRule anyGet = rule(CommandKind::DataGet);
    const FaultRule clockGet = rule(CommandKind::DataGet, 0x2010);
    const FaultRule any = rule(CommandKind::Any);
    const FaultRule open = rule(CommandKind::Open);
    EXPECT_TRUE(anyGet.Matches(CommandKind::DataGet, 0x1200));
    EXPECT_FALSE(anyGet.Matches(CommandKind::DataSet, 0x1200));
    EXPECT_TRUE(clockGet.Matches(CommandKind::DataGet, 0x2010));
    EXPECT_FALSE(clockGet.Matches(CommandKind::DataGet, 0x1200));
    EXPECT_TRUE(any.Matches(CommandKind::FlashWrite, std::nullopt));
    EXPECT_FALSE(any.Matches(CommandKind::Open, std::nullopt));
    EXPECT_TRUE(open.Matches(CommandKind::Open, std::nullopt));
    EXPECT_FALSE(open.Matches(CommandKind::Version, std::nullopt));
}

}  // namespace
}  // namespace watchsim
