#pragma once
// Discovery of HID devices through the kernel's hidraw nodes. Each node is opened read-only
// just long enough to ask for its bus identifiers; nothing is kept open. A node that cannot
// be opened (no permission, gone meanwhile) or answered no identifiers is skipped, so a user
// without access to the watch's node sees no watch at all.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "IHidPlatform.h"
#include "Linux_USB_DeviceIdentifier.h"

namespace ArmillonDevice::Linux_HidDiscovery {

// Paths of the entries of `directory` named "hidraw" and a number, by that number (hidraw2
// before hidraw10). None when the directory cannot be read.
std::vector<std::string> ListNodes(const std::string& directory);

// What an open hidraw node says about its device. The kernel's identifier fields are signed;
// USB identifiers are taken as unsigned 16-bit values.
struct NodeInfo {
    std::uint32_t busType = 0;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::optional<std::string> physicalPath;  // unset when the node does not say
};

// HIDIOCGRAWINFO and HIDIOCGRAWPHYS on an open node; nothing when it gives no identifiers.
std::optional<NodeInfo> ReadNodeInfo(int fd);

// Appends one identity per node of `directory` whose vendor and product identifiers pass the
// predicate, in node order; entries already in the list stay. The predicate must be set;
// without one nothing is listed.
void EnumerateHidDevices(const std::string& directory,
                         std::vector<Linux_USB_DeviceIdentifier>& list,
                         const HidDevicePredicate& predicate);

}  // namespace ArmillonDevice::Linux_HidDiscovery
