#include "DeviceVersionOverride.h"

#include <gtest/gtest.h>

namespace {

TEST(DeviceVersionOverride, StoresACopyReplacesItAndForgetsIt) {
    EXPECT_EQ(GetDeviceVersionOverride(), std::nullopt);
    char text[] = "0.999";
    EXPECT_EQ(SetDeviceVersionOverride(text), 0);
    text[0] = 'X';  // the stored text is a copy
    EXPECT_EQ(GetDeviceVersionOverride(), "0.999");
    EXPECT_EQ(SetDeviceVersionOverride("01.50"), 0);
    EXPECT_EQ(GetDeviceVersionOverride(), "01.50");
    EXPECT_EQ(SetDeviceVersionOverride(""), 0);
    EXPECT_EQ(GetDeviceVersionOverride(), "");
    EXPECT_EQ(SetDeviceVersionOverride(nullptr), 1);
    EXPECT_EQ(GetDeviceVersionOverride(), std::nullopt);
    EXPECT_EQ(SetDeviceVersionOverride(nullptr), 1);
}

}  // namespace
