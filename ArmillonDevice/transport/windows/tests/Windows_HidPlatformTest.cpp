// Discovery through the set-up interface, against a fake of the Win32 calls.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakeHidApi.h"
#include "Windows_HidPlatform.h"
#include "Windows_USB_DeviceIdentifier.h"

namespace ArmillonDevice {
namespace {

using testing::FakeHidApi;
using testing::FakeInterface;

FakeInterface Interface(const wchar_t* path, std::uint16_t vendorId, std::uint16_t productId) {
    FakeInterface device;
    device.path = path;
    device.vendorId = vendorId;
    device.productId = productId;
    return device;
}

struct Found {
    std::wstring path;
    std::uint16_t vendorId;
    std::uint16_t productId;
    bool operator==(const Found&) const = default;
};

std::vector<Found> Paths(const DeviceIdentifierList& list) {
    std::vector<Found> found;
    for (const auto& identity : list) {
        const auto* usb = dynamic_cast<const Windows_USB_DeviceIdentifier*>(identity.get());
        EXPECT_NE(nullptr, usb);
        if (usb != nullptr) {
            found.push_back({usb->GetPath(), usb->GetVendorId(), usb->GetProductId()});
        }
    }
    return found;
}

const auto kWatch = [](std::uint16_t vendorId, std::uint16_t productId) {
    return vendorId == 0x3A7C && productId == 0x0A51;
};

TEST(Windows_HidPlatformTest, AppendsMatchesInEnumerationOrderAfterExistingEntries) {
    auto api = std::make_shared<FakeHidApi>();
    // A long path: the detail record is sized from what the set-up interface reports.
    const std::wstring longPath =
        L"\\\\?\\hid#vid_3a7c&pid_0a51#" + std::wstring(300, L'b') + L"#{4d1e55b2}";
    api->interfaces = {Interface(L"\\\\?\\hid#vid_3a7c&pid_0a51#a", 0x3A7C, 0x0A51),
                       Interface(L"\\\\?\\hid#vid_046d&pid_c077#k", 0x046D, 0xC077),
                       Interface(longPath.c_str(), 0x3A7C, 0x0A51)};
    Windows_HidPlatform platform(api);
    DeviceIdentifierList list;
    list.push_back(std::make_unique<Windows_USB_DeviceIdentifier>(L"earlier", 1, 2));

    platform.EnumerateHidDevices(list, kWatch);

    EXPECT_EQ((std::vector<Found>{{L"earlier", 1, 2},
                                  {L"\\\\?\\hid#vid_3a7c&pid_0a51#a", 0x3A7C, 0x0A51},
                                  {longPath, 0x3A7C, 0x0A51}}),
              Paths(list));
    // Every interface was opened for its attributes only, shared, without overlapped I/O,
    // and closed again.
    ASSERT_EQ(3u, api->opens.size());
    for (const auto& open : api->opens) {
        EXPECT_EQ(0u, open.access);
        EXPECT_EQ(static_cast<DWORD>(FILE_SHARE_READ | FILE_SHARE_WRITE), open.share);
        EXPECT_EQ(0u, open.flags);
    }
    EXPECT_EQ(0, api->OpenHandles());
    EXPECT_EQ(1, api->classListsDestroyed);
}

TEST(Windows_HidPlatformTest, SkipsInterfacesThatCannotBeExaminedAndGoesOn) {
    struct Case {
        const char* name;
        void (*spoil)(FakeInterface&);
    };
    const Case cases[] = {
        {"size query succeeds", [](FakeInterface& i) { i.detailSizeQuerySucceeds = true; }},
        {"size too small for the record", [](FakeInterface& i) { i.reportedDetailSize = 2; }},
        {"size too small for the path", [](FakeInterface& i) { i.reportedDetailSize = 12; }},
        {"detail refused", [](FakeInterface& i) { i.detailFails = true; }},
        {"path does not open", [](FakeInterface& i) { i.attributeOpenFails = true; }},
        {"attributes refused", [](FakeInterface& i) { i.attributesFail = true; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto api = std::make_shared<FakeHidApi>();
        api->interfaces = {Interface(L"first", 0x3A7C, 0x0A51),
                           Interface(L"second", 0x3A7C, 0x0A51)};
        c.spoil(api->interfaces[0]);
        Windows_HidPlatform platform(api);
        DeviceIdentifierList list;

        platform.EnumerateHidDevices(list, [](std::uint16_t, std::uint16_t) { return true; });

        EXPECT_EQ((std::vector<Found>{{L"second", 0x3A7C, 0x0A51}}), Paths(list));
        EXPECT_EQ(0, api->OpenHandles());
        EXPECT_EQ(1, api->classListsDestroyed);
    }
}

TEST(Windows_HidPlatformTest, NoInterfaceListLeavesTheListAsItWas) {
    auto api = std::make_shared<FakeHidApi>();
    api->interfaces = {Interface(L"first", 0x3A7C, 0x0A51)};
    api->classListFails = true;
    Windows_HidPlatform platform(api);
    DeviceIdentifierList list;
    list.push_back(std::make_unique<Windows_USB_DeviceIdentifier>(L"earlier", 1, 2));

    platform.EnumerateHidDevices(list, kWatch);

    EXPECT_EQ((std::vector<Found>{{L"earlier", 1, 2}}), Paths(list));
    EXPECT_EQ(0, api->classListsDestroyed);
}

TEST(Windows_HidPlatformTest, ReaderWriterOpensTheDiscoveredPath) {
    auto api = std::make_shared<FakeHidApi>();
    api->interfaces = {Interface(L"\\\\?\\hid#watch", 0x3A7C, 0x0A51)};
    api->interfaces[0].caps.InputReportByteLength = 65;
    api->interfaces[0].caps.OutputReportByteLength = 65;
    Windows_HidPlatform platform(api);
    DeviceIdentifierList list;
    platform.EnumerateHidDevices(list, kWatch);
    ASSERT_EQ(1u, list.size());

    auto transport = platform.CreateReaderWriter();
    ASSERT_TRUE(transport->Open(list[0].get()).IsSuccess());

    EXPECT_EQ(L"\\\\?\\hid#watch", api->opens.back().path);
    EXPECT_EQ(3, api->OpenHandles());  // the device and its read and write events
    transport.reset();
    EXPECT_EQ(0, api->OpenHandles());
}

TEST(Windows_USB_DeviceIdentifierTest, NullPathIsEmptyAndClonesCopyEverything) {
    const Windows_USB_DeviceIdentifier empty(nullptr, 0x3A7C, 0x0A51);
    EXPECT_STREQ(L"", empty.GetPath());

    const Windows_USB_DeviceIdentifier identity(L"\\\\?\\hid#\u00e9", 0x3A7C, 0x0A51);
    const auto clone = identity.Clone();
    const auto* copy = dynamic_cast<const Windows_USB_DeviceIdentifier*>(clone.get());
    ASSERT_NE(nullptr, copy);
    EXPECT_STREQ(identity.GetPath(), copy->GetPath());
    EXPECT_NE(identity.GetPath(), copy->GetPath());
    EXPECT_EQ(0x3A7C, copy->GetVendorId());
    EXPECT_EQ(0x0A51, copy->GetProductId());
}

}  // namespace
}  // namespace ArmillonDevice
