#include "ServeOptions.h"

#include <gtest/gtest.h>

namespace watchsim {
namespace {

using namespace std::chrono_literals;

TEST(ServeOptions, ReadsEveryOption) {
    const auto options = ParseServeOptions({"serve",
                                            "--dir",
                                            "/tmp/w",
                                            "--count",
                                            "2",
                                            "--vid",
                                            "0x1234",
                                            "--pid",
                                            "4660",
                                            "--model",
                                            "712E",
                                            "--version",
                                            "02.00",
                                            "--report-length",
                                            "32",
                                            "--latency-us",
                                            "1000",
                                            "--reboot-delay-ms",
                                            "50",
                                            "--fault",
                                            "set#3:error=5",
                                            "--fault",
                                            "open:busy",
                                            "--state",
                                            "/tmp/s",
                                            "--trace",
                                            "/tmp/t"});
    EXPECT_EQ(options.directory, "/tmp/w");
    EXPECT_EQ(options.count, 2u);
    EXPECT_EQ(options.watch.vendorId, 0x1234);
    EXPECT_EQ(options.watch.productId, 0x1234);
    EXPECT_EQ(options.watch.hardwareText, "ORNA-HWREV1-712E");
    EXPECT_EQ(options.watch.firmwareVersion, "02.00");
    EXPECT_EQ(options.watch.reportLength, 32u);
    EXPECT_EQ(options.watch.reportLatency, 1ms);
    EXPECT_EQ(options.watch.rebootDelay, 50ms);
    ASSERT_EQ(options.watch.faults.size(), 2u);
    EXPECT_EQ(options.watch.faults[1].type, FaultType::Busy);
    EXPECT_EQ(StateDirectoryFor(options, 1), "/tmp/s/hidraw1");
}

TEST(ServeOptions, DefaultsToTheStockWatchAndKeepsAnExplicitHardwareText) {
    const auto stock = ParseServeOptions({"serve", "--dir", "d", "--state", "s"});
    EXPECT_EQ(stock.count, 1u);
    EXPECT_EQ(stock.watch.vendorId, 0x3A7C);
    EXPECT_EQ(stock.watch.hardwareText, "ORNA-HWREV1-612E");
    EXPECT_EQ(StateDirectoryFor(stock, 0), "s");
    const auto text = ParseServeOptions(
        {"serve", "--dir", "d", "--hardware-text", "OTHER-222E", "--model", "712E"});
    EXPECT_EQ(text.watch.hardwareText, "OTHER-222E");
    EXPECT_TRUE(ParseServeOptions({"serve", "--help"}).help);
}

TEST(ServeOptions, RefusesWhatCannotWork) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"run", "--dir", "d"},
        {"serve"},
        {"serve", "--dir"},
        {"serve", "--dir", "d", "--count", "17"},
        {"serve", "--dir", "d", "--vid", "0x10000"},
        {"serve", "--dir", "d", "--model", "612"},
        {"serve", "--dir", "d", "--version", "1.2"},
        {"serve", "--dir", "d", "--report-length", "2"},
        {"serve", "--dir", "d", "--fault", "set:explode"},
        {"serve", "--dir", "d", "--colour", "red"},
    };
    for (const auto& arguments : bad) {
        EXPECT_THROW(ParseServeOptions(arguments), UsageError);
    }
}

}  // namespace
}  // namespace watchsim
