// Which nodes discovery looks at, and in which order, over a plain directory. The nodes'
// identifiers are asked through the kernel; that part runs against simulated nodes in the
// kernel-path tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Linux_HidDiscovery.h"
#include "TemporaryDirectory.h"

namespace ArmillonDevice {
namespace {

TEST(Linux_HidDiscoveryTest, ListsHidrawNodesInNumericOrder) {
    fu_testing::TemporaryDirectory dir;
    for (const char* name : {"hidraw10", "hidraw2", "hidraw0", "hidraw", "hidrawx", "hidraw1a",
                             "xhidraw3", "event0", "hidraw100", "hidraw9"}) {
        dir.Touch(name);
    }
    const std::vector<std::string> expected = {dir / "hidraw0", dir / "hidraw2", dir / "hidraw9",
                                               dir / "hidraw10", dir / "hidraw100"};
    EXPECT_EQ(Linux_HidDiscovery::ListNodes(dir.Path().string()), expected);
    EXPECT_EQ(Linux_HidDiscovery::ListNodes(dir.Path().string() + "/"), expected);
    EXPECT_TRUE(Linux_HidDiscovery::ListNodes(dir / "missing").empty());
}

TEST(Linux_HidDiscoveryTest, SkipsNodesThatAreNotHidDevices) {
    fu_testing::TemporaryDirectory dir;
    dir.Touch("hidraw0");  // opens, but answers no identifiers
    std::vector<Linux_USB_DeviceIdentifier> list{{"/kept", 1, 2}};
    int asked = 0;
    Linux_HidDiscovery::EnumerateHidDevices(dir.Path().string(), list, [&](auto, auto) {
        ++asked;
        return true;
    });
    EXPECT_EQ(asked, 0);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_STREQ(list[0].GetPath(), "/kept");
}

}  // namespace
}  // namespace ArmillonDevice
