#include "Linux_HidDiscovery.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

#include "Linux_RetryInterrupted.h"
#include "Linux_UniqueFd.h"

namespace ArmillonDevice::Linux_HidDiscovery {

namespace {

constexpr std::string_view kNodePrefix = "hidraw";

struct Node {
    std::string name;
    std::string number;  // the digits after "hidraw", leading zeros dropped
};

// A node for names "hidraw" followed by digits only.
std::optional<Node> ParseNodeName(std::string_view name) {
    if (!name.starts_with(kNodePrefix) || name.size() == kNodePrefix.size()) {
        return std::nullopt;
    }
    const std::string_view digits = name.substr(kNodePrefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const auto first = digits.find_first_not_of('0');
    return Node{std::string(name),
                std::string(first == std::string_view::npos ? "" : digits.substr(first))};
}

// Numbers of any length compare as numbers: fewer digits first, then digit by digit.
bool NumericallyBefore(const Node& a, const Node& b) {
    if (a.number.size() != b.number.size()) {
        return a.number.size() < b.number.size();
    }
    if (a.number != b.number) {
        return a.number < b.number;
    }
    return a.name < b.name;
}

}  // namespace

std::optional<NodeInfo> ReadNodeInfo(int fd) {
    hidraw_devinfo info{};
    if (common::Linux_RetryInterrupted([&] { return ::ioctl(fd, HIDIOCGRAWINFO, &info); }) != 0) {
        return std::nullopt;
    }
    NodeInfo node;
    node.busType = info.bustype;
    node.vendorId = static_cast<std::uint16_t>(info.vendor);
    node.productId = static_cast<std::uint16_t>(info.product);
    // The kernel copies at most the buffer's length and ends the text at its first zero byte.
    char physical[256] = {};
    if (common::Linux_RetryInterrupted(
            [&] { return ::ioctl(fd, HIDIOCGRAWPHYS(sizeof physical - 1), physical); }) >= 0) {
        node.physicalPath = std::string(physical, ::strnlen(physical, sizeof physical - 1));
    }
    return node;
}

std::vector<std::string> ListNodes(const std::string& directory) {
    std::vector<Node> nodes;
    if (DIR* dir = ::opendir(directory.c_str()); dir != nullptr) {
        while (const dirent* entry = ::readdir(dir)) {
            if (auto node = ParseNodeName(entry->d_name)) {
                nodes.push_back(std::move(*node));
            }
        }
        ::closedir(dir);
    }
    std::sort(nodes.begin(), nodes.end(), NumericallyBefore);

    const std::string base =
        directory.empty() || directory.back() == '/' ? directory : directory + '/';
    std::vector<std::string> paths;
    paths.reserve(nodes.size());
    for (const Node& node : nodes) {
        paths.push_back(base + node.name);
    }
    return paths;
}

void EnumerateHidDevices(const std::string& directory,
                         std::vector<Linux_USB_DeviceIdentifier>& list,
                         const HidDevicePredicate& predicate) {
    if (!predicate) {
        return;  // a caller error; nothing is listed rather than a throw from deep inside
    }
    for (const std::string& path : ListNodes(directory)) {
        common::Linux_UniqueFd node(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        if (!node.IsValid()) {
            continue;
        }
        const auto info = ReadNodeInfo(node.Get());
        node.Reset();
        if (!info) {
            continue;
        }
        if (predicate(info->vendorId, info->productId)) {
            Linux_USB_DeviceIdentifier& identity =
                list.emplace_back(path.c_str(), info->vendorId, info->productId);
            identity.SetBusType(info->busType);
            if (info->physicalPath) {
                identity.SetPhysicalPath(*info->physicalPath);
            }
        }
    }
}

}  // namespace ArmillonDevice::Linux_HidDiscovery
