// The backend through the kernel: virtual watches served as hidraw nodes by a FUSE mount,
// reached with the same system calls as a real watch. Skipped where FUSE cannot be mounted.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/input.h>
#include <stdlib.h>
#include <sys/file.h>

#include <chrono>
#include <optional>
#include <thread>

#include "ArmillonException.h"
#include "CTalvenComm.h"
#include "HidrawMount.h"
#include "Linux_HidDiscovery.h"
#include "Linux_HidPlatform.h"
#include "Linux_USB_DeviceIdentifier.h"
#include "Linux_USB_HID_DeviceReaderWriter.h"
#include "ORNA_Communication.h"
#include "Pause.h"

namespace ArmillonDevice {
namespace {

using namespace std::chrono_literals;
using testing::HidrawMount;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;
using watchsim::WatchConfig;

constexpr std::uint16_t kVendor = 0x3A7C;
constexpr std::uint16_t kProduct = 0x0A51;

bool IsWatch(std::uint16_t vendor, std::uint16_t product) {
    return vendor == kVendor && product == kProduct;
}

struct Identity {
    std::string path;
    std::uint16_t vendor;
    std::uint16_t product;
    bool operator==(const Identity&) const = default;
};

std::vector<Identity> Enumerate(IHidPlatform& platform, const HidDevicePredicate& predicate) {
    DeviceIdentifierList list;
    platform.EnumerateHidDevices(list, predicate);
    std::vector<Identity> found;
    for (const auto& entry : list) {
        const auto& usb = dynamic_cast<const Linux_USB_DeviceIdentifier&>(*entry);
        found.push_back({usb.GetPath(), usb.GetVendorId(), usb.GetProductId()});
    }
    return found;
}

WatchConfig WithProduct(std::uint16_t vendor, std::uint16_t product) {
    WatchConfig config;
    config.vendorId = vendor;
    config.productId = product;
    return config;
}

struct Chain {
    Chain(const std::string& path, std::chrono::milliseconds timeout)
        : transport(new Linux_USB_HID_DeviceReaderWriter(timeout)),
          connection(std::make_unique<ORNA_Device>(
              std::make_unique<Linux_USB_DeviceIdentifier>(path.c_str(), kVendor, kProduct),
              std::unique_ptr<IReaderWriter>(transport))) {}

    Linux_USB_HID_DeviceReaderWriter* transport;  // owned by the connection
    ORNA_Communication connection;
};

Bytes Pattern(std::size_t n) {
    Bytes bytes(n);
    for (std::size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + (i >> 9));
    }
    return bytes;
}

#define MOUNT_OR_SKIP(mount, ...)                                  \
    std::string whyNot;                                            \
    const auto mount = HidrawMount::Create({__VA_ARGS__}, whyNot); \
    if (!mount) {                                                  \
        GTEST_SKIP() << whyNot;                                    \
    }

TEST(Linux_HidrawNodeTest, DiscoveryListsTheMatchingWatchesInNodeOrder) {
    const WatchConfig stock;
    const WatchConfig otherProduct = WithProduct(kVendor, 0x0A52);
    struct Case {
        const char* name;
        std::vector<WatchConfig> watches;
        std::vector<std::size_t> matching;  // node numbers
    };
    const std::vector<Case> cases = {
        {"no watch", {}, {}},
        {"one watch", {stock}, {0}},
        {"two watches", {stock, stock}, {0, 1}},
        {"another product first", {otherProduct, stock}, {1}},
        {"another product only", {otherProduct}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string whyNot;
        const auto mount = HidrawMount::Create(c.watches, whyNot);
        if (!mount) {
            GTEST_SKIP() << whyNot;
        }
        std::vector<Identity> expected;
        for (std::size_t node : c.matching) {
            expected.push_back({mount->NodePath(node), kVendor, kProduct});
        }
        Linux_HidPlatform platform(mount->Directory());
        EXPECT_EQ(Enumerate(platform, IsWatch), expected);
    }
}

// Identifiers above 0x7FFF come from the kernel as negative numbers.
TEST(Linux_HidrawNodeTest, DiscoveryReadsIdentifiersUnsigned) {
    MOUNT_OR_SKIP(mount, WithProduct(0xBEEF, 0x8001), WatchConfig{});
    Linux_HidPlatform platform(mount->Directory());

    EXPECT_EQ(Enumerate(platform, [](auto, auto) { return true; }),
              (std::vector<Identity>{{mount->NodePath(0), 0xBEEF, 0x8001},
                                     {mount->NodePath(1), kVendor, kProduct}}));
    EXPECT_TRUE(Enumerate(platform, HidDevicePredicate{}).empty());
}

// The kernel gives a node's number to the next device: an open must find the identified
// device behind the path, or it fails before anything reaches the device.
TEST(Linux_HidrawNodeTest, OpenReachesOnlyTheIdentifiedDevice) {
    MOUNT_OR_SKIP(mount, WatchConfig{}, WatchConfig{}, WithProduct(kVendor, 0x0A52));
    std::vector<Linux_USB_DeviceIdentifier> found;
    Linux_HidDiscovery::EnumerateHidDevices(mount->Directory(), found,
                                            [](auto, auto) { return true; });
    ASSERT_EQ(found.size(), 3u);
    const Linux_USB_DeviceIdentifier& first = found[0];
    ASSERT_TRUE(first.GetPhysicalPath());
    EXPECT_EQ(first.GetBusType(), std::optional<std::uint32_t>(BUS_USB));
    EXPECT_NE(first.GetPhysicalPath(), found[1].GetPhysicalPath());

    const auto at = [&](std::size_t node, const Linux_USB_DeviceIdentifier& like) {
        Linux_USB_DeviceIdentifier identity(mount->NodePath(node).c_str(), like.GetVendorId(),
                                            like.GetProductId());
        if (like.GetBusType()) {
            identity.SetBusType(*like.GetBusType());
        }
        if (like.GetPhysicalPath()) {
            identity.SetPhysicalPath(*like.GetPhysicalPath());
        }
        return identity;
    };
    Linux_USB_DeviceIdentifier otherBus = first;
    otherBus.SetBusType(BUS_BLUETOOTH);
    const struct {
        const char* name;
        Linux_USB_DeviceIdentifier identity;
        DeviceErrorCode expected;
    } cases[] = {
        {"as discovered", first, DeviceErrorCode::Success},
        {"identifiers only", Linux_USB_DeviceIdentifier(first.GetPath(), kVendor, kProduct),
         DeviceErrorCode::Success},
        {"another product behind the node", at(2, first), DeviceErrorCode::OpenFailed},
        {"the same model at another place", at(1, first), DeviceErrorCode::OpenFailed},
        {"another bus type", otherBus, DeviceErrorCode::OpenFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Linux_USB_HID_DeviceReaderWriter transport;
        EXPECT_EQ(transport.Open(&c.identity), c.expected);
        EXPECT_EQ(transport.IsOpen(), c.expected == DeviceErrorCode::Success);
    }
    EXPECT_TRUE(mount->Watch(1).Requests().empty());
    EXPECT_TRUE(mount->Watch(2).Requests().empty());
}

// The report lengths come from the node's descriptor; the handshake, a large flash write and
// a flash read then travel through the framing and the protocol.
TEST(Linux_HidrawNodeTest, UpdateTrafficEndToEndWithTheDescriptorsReportLength) {
    for (const std::size_t reportLength : {64u, 512u}) {
        SCOPED_TRACE(reportLength);
        WatchConfig config;
        config.reportLength = reportLength;
        MOUNT_OR_SKIP(mount, config);
        Chain chain(mount->NodePath(0), 10000ms);
        ASSERT_EQ(chain.connection.Open(), DeviceErrorCode::Success);
        EXPECT_EQ(chain.transport->GetInputReportLength(), reportLength + 1);
        EXPECT_EQ(chain.transport->GetOutputReportLength(), reportLength + 1);
        EXPECT_EQ(chain.connection.GetVersionWords(),
                  (std::array<std::uint16_t, 4>{0x0001, 0x0014, 0x0000, 0x0000}));

        const Bytes image = Pattern(192 * 1024 + 17);
        ASSERT_EQ(chain.connection.FlashWrite(0x10000, static_cast<std::uint32_t>(image.size()),
                                              image.data()),
                  DeviceErrorCode::Success);
        EXPECT_EQ(mount->Watch(0).Flash(0x10000, image.size()), image);
        Bytes readBack;
        ASSERT_EQ(chain.connection.FlashRead(0x10000, 5000, readBack), DeviceErrorCode::Success);
        EXPECT_EQ(readBack, Bytes(image.begin(), image.begin() + 5000));
        EXPECT_EQ(chain.connection.Close(), DeviceErrorCode::Success);
        EXPECT_FALSE(chain.transport->IsOpen());
    }
}

// The watch leaves while the host is in the middle of a reply. The long time-out would only
// run out if the hang-up went unnoticed.
TEST(Linux_HidrawNodeTest, UnplugInTheMiddleOfAMessageFailsAtOnce) {
    struct Case {
        const char* name;
        const char* faults;
        bool unplugWhileWaiting;
    };
    for (const Case& c :
         {Case{"watch drops off after two reports of the reply", "read:drop=2", false},
          Case{"cable pulled while the host waits", "read:silent", true}}) {
        SCOPED_TRACE(c.name);
        MOUNT_OR_SKIP(mount, WatchConfig{});
        mount->Watch(0).AddFaults(c.faults);
        Chain chain(mount->NodePath(0), 60000ms);
        ASSERT_EQ(chain.connection.Open(), DeviceErrorCode::Success);

        std::thread unplug;
        if (c.unplugWhileWaiting) {
            unplug = std::thread([&] {
                std::this_thread::sleep_for(50ms);
                mount->Watch(0).Unplug();
            });
        }
        Bytes output;
        const auto start = Clock::now();
        EXPECT_EQ(chain.connection.FlashRead(0, 4096, output), DeviceErrorCode::TransferFailed);
        EXPECT_LT(Clock::now() - start, 30s);
        if (unplug.joinable()) {
            unplug.join();
        }
        // The handle stays dead: a write fails as well, without waiting.
        const Bytes block(10, 0x55);
        EXPECT_EQ(chain.transport->Write(block), DeviceErrorCode::TransferFailed);
    }
}

TEST(Linux_HidrawNodeTest, SilentWatchFailsTheHandshakeAtTheTimeout) {
    MOUNT_OR_SKIP(mount, WatchConfig{});
    mount->Watch(0).AddFaults("version:silent");
    Chain chain(mount->NodePath(0), 50ms);
    const auto start = Clock::now();
    EXPECT_EQ(chain.connection.Open(), DeviceErrorCode::TransferFailed);
    EXPECT_GE(Clock::now() - start, 50ms);
    EXPECT_FALSE(chain.connection.IsOpen());
}

TEST(Linux_HidrawNodeTest, OpenFailsWhileAnotherProgramHoldsTheWatch) {
    enum class Holder { ExclusiveLock, SharedLock, AnotherCopy, WatchBusy };
    struct Case {
        const char* name;
        Holder holder;
        DeviceErrorCode expected;
    };
    for (const Case& c :
         {Case{"exclusive lock", Holder::ExclusiveLock, DeviceErrorCode::OpenFailed},
          Case{"shared lock", Holder::SharedLock, DeviceErrorCode::Success},
          Case{"another copy of the tool", Holder::AnotherCopy, DeviceErrorCode::OpenFailed},
          Case{"watch busy", Holder::WatchBusy, DeviceErrorCode::OpenFailed}}) {
        SCOPED_TRACE(c.name);
        MOUNT_OR_SKIP(mount, WatchConfig{});
        const Linux_USB_DeviceIdentifier node(mount->NodePath(0).c_str(), kVendor, kProduct);
        common::Linux_UniqueFd other;
        Linux_USB_HID_DeviceReaderWriter first;
        switch (c.holder) {
            case Holder::ExclusiveLock:
            case Holder::SharedLock:
                other.Reset(::open(node.GetPath(), O_RDWR | O_CLOEXEC));
                ASSERT_TRUE(other.IsValid());
                ASSERT_EQ(
                    ::flock(other.Get(),
                            (c.holder == Holder::ExclusiveLock ? LOCK_EX : LOCK_SH) | LOCK_NB),
                    0);
                break;
            case Holder::AnotherCopy:
                ASSERT_EQ(first.Open(&node), DeviceErrorCode::Success);
                break;
            case Holder::WatchBusy:
                mount->Watch(0).SetHeldByOtherProgram(true);
                break;
        }
        Linux_USB_HID_DeviceReaderWriter transport;
        EXPECT_EQ(transport.Open(&node), c.expected);
        EXPECT_EQ(transport.IsOpen(), c.expected == DeviceErrorCode::Success);

        // Once the other holder lets go, the watch opens.
        other.Reset();
        first.Close();
        mount->Watch(0).SetHeldByOtherProgram(false);
        transport.Close();
        EXPECT_EQ(transport.Open(&node), DeviceErrorCode::Success);
    }
}

// The application's connection step on the Linux platform: enumerate, probe every candidate
// (open, handshake, information records, close) and open the one whose model matches.
TEST(Linux_HidrawNodeTest, FacadeConnectsToTheMatchingWatchThroughTheKernel) {
    WatchConfig otherModel;
    otherModel.hardwareText = "ORNA-HWREV1-712E";
    otherModel.firmwareVersion = "02.00";
    MOUNT_OR_SKIP(mount, otherModel, WatchConfig{});
    const common::ScopedPauseRecorder pauses;
    Linux_HidPlatform platform(mount->Directory());
    CTalvenComm facade(platform);
    try {
        ASSERT_TRUE(facade.Connect(kVendor, kProduct, L"612E"));
    } catch (const DeviceException& error) {
        FAIL() << "Connect threw " << error.code;
    }
    std::wstring version;
    EXPECT_EQ(facade.GetFirmwareVersion(version), 0);
    EXPECT_EQ(version, L"01.20");
    EXPECT_TRUE(pauses.Pauses().empty());
    facade.Close();
}

}  // namespace
}  // namespace ArmillonDevice
