#include "Windows_HidPlatform.h"

#include <cwchar>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Windows_USB_DeviceIdentifier.h"
#include "Windows_USB_HID_DeviceReaderWriter.h"

namespace ArmillonDevice {

namespace {

constexpr DWORD kPresentInterfaces = DIGCF_PRESENT | DIGCF_DEVICEINTERFACE;
// The set-up interface checks the size fields against its own record layouts.
static_assert(sizeof(void*) != 8 || (sizeof(SP_DEVICE_INTERFACE_DATA) == 32 &&
                                     sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) == 8));

// The path of one interface, or nothing when the set-up interface will not give it.
std::optional<std::wstring> InterfacePath(Windows_HidApi& api, HDEVINFO list,
                                          SP_DEVICE_INTERFACE_DATA& data) {
    DWORD required = 0;
    // Asked without a buffer, the call fails and reports the size it needs.
    if (api.SetupDiGetDeviceInterfaceDetailW(list, &data, nullptr, 0, &required)) {
        return std::nullopt;
    }
    constexpr std::size_t fixedPart = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
    if (required <= fixedPart) {
        return std::nullopt;  // no room even for the size field and an empty path
    }
    // Whole records, so the buffer is aligned for the record that is laid over it.
    std::vector<SP_DEVICE_INTERFACE_DETAIL_DATA_W> buffer(
        (required + sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) - 1) /
        sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W));
    auto* detail = buffer.data();
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!api.SetupDiGetDeviceInterfaceDetailW(list, &data, detail, required, nullptr)) {
        return std::nullopt;
    }
    // The path ends at its terminator or at the end of what the call was given, whichever
    // comes first.
    const std::size_t room = (required - fixedPart) / sizeof(wchar_t);
    return std::wstring(detail->DevicePath, ::wcsnlen(detail->DevicePath, room));
}

// The USB identifiers of one interface, read without access rights.
std::optional<HIDD_ATTRIBUTES> Attributes(Windows_HidApi& api, const std::wstring& path) {
    const HANDLE device = api.CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, 0);
    if (device == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof(attributes);
    const bool read = api.HidD_GetAttributes(device, &attributes);
    api.CloseHandle(device);
    if (!read) {
        return std::nullopt;
    }
    return attributes;
}

}  // namespace

Windows_HidPlatform::Windows_HidPlatform(std::shared_ptr<Windows_HidApi> api)
    : api_(std::move(api)) {}

Windows_HidPlatform::~Windows_HidPlatform() = default;

void Windows_HidPlatform::EnumerateHidDevices(DeviceIdentifierList& list,
                                              const HidDevicePredicate& predicate) {
    GUID hidClass{};
    api_->HidD_GetHidGuid(&hidClass);
    const HDEVINFO interfaces = api_->SetupDiGetClassDevsW(&hidClass, kPresentInterfaces);
    if (interfaces == INVALID_HANDLE_VALUE) {
        return;
    }
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA data{};
        data.cbSize = sizeof(data);
        if (!api_->SetupDiEnumDeviceInterfaces(interfaces, &hidClass, index, &data)) {
            break;
        }
        const auto path = InterfacePath(*api_, interfaces, data);
        if (!path) {
            continue;
        }
        const auto attributes = Attributes(*api_, *path);
        if (attributes && predicate(attributes->VendorID, attributes->ProductID)) {
            list.push_back(std::make_unique<Windows_USB_DeviceIdentifier>(
                path->c_str(), attributes->VendorID, attributes->ProductID));
        }
    }
    api_->SetupDiDestroyDeviceInfoList(interfaces);
}

std::unique_ptr<IReaderWriter> Windows_HidPlatform::CreateReaderWriter() {
    return std::make_unique<Windows_USB_HID_DeviceReaderWriter>(api_);
}

}  // namespace ArmillonDevice
