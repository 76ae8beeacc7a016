#include "Linux_HidPlatform.h"

#include <utility>
#include <vector>

#include "Linux_HidDiscovery.h"
#include "Linux_USB_HID_DeviceReaderWriter.h"

namespace ArmillonDevice {

Linux_HidPlatform::Linux_HidPlatform(std::string directory) : directory_(std::move(directory)) {}

Linux_HidPlatform::~Linux_HidPlatform() = default;

void Linux_HidPlatform::EnumerateHidDevices(DeviceIdentifierList& list,
                                            const HidDevicePredicate& predicate) {
    std::vector<Linux_USB_DeviceIdentifier> found;
    Linux_HidDiscovery::EnumerateHidDevices(directory_, found, predicate);
    for (const auto& identity : found) {
        list.push_back(identity.Clone());
    }
}

std::unique_ptr<IReaderWriter> Linux_HidPlatform::CreateReaderWriter() {
    return std::make_unique<Linux_USB_HID_DeviceReaderWriter>();
}

}  // namespace ArmillonDevice
