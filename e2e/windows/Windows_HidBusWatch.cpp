// Tells the fault suite's Wine hosts (e2e/wine_presenter.py) when a watch has arrived on or
// left Wine's HID bus. It stays up for the host's life, so a question costs an enumeration,
// not the start of a Wine process. One question a line on standard input:
//
//   COUNT NAME MS    wait up to MS milliseconds until exactly COUNT watches are listed, one
//                    of them (for COUNT > 0) with NAME in its path ("-": any)
//
// and one answer a line: "yes" or "no", then the paths listed last, separated by spaces.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Windows_HidPlatform.h"
#include "Windows_USB_DeviceIdentifier.h"

using namespace ArmillonDevice;

namespace {

constexpr std::uint16_t kVendor = 0x3A7C;
constexpr std::uint16_t kProduct = 0x0A51;
constexpr auto kPoll = std::chrono::milliseconds(50);

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return text;
}

// The paths of the watches listed now, lower case (Wine's paths carry the serial number).
std::vector<std::string> WatchPaths() {
    Windows_HidPlatform platform;
    DeviceIdentifierList list;
    platform.EnumerateHidDevices(list, [](std::uint16_t vendor, std::uint16_t product) {
        return vendor == kVendor && product == kProduct;
    });
    std::vector<std::string> paths;
    for (const auto& identity : list) {
        const std::wstring wide =
            static_cast<const Windows_USB_DeviceIdentifier&>(*identity).GetPath();
        paths.push_back(Lower(std::string(wide.begin(), wide.end())));  // ASCII paths
    }
    return paths;
}

bool Shows(const std::vector<std::string>& paths, std::size_t count, const std::string& name) {
    if (paths.size() != count) {
        return false;
    }
    if (count == 0 || name == "-") {
        return true;
    }
    for (const auto& path : paths) {
        if (path.find("&" + name + "&") != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace

int main() {
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream question(line);
        std::size_t count = 0;
        std::string name;
        long long ms = 0;
        if (!(question >> count >> name >> ms)) {
            std::printf("no bad question\n");
            std::fflush(stdout);
            continue;
        }
        name = Lower(name);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        auto paths = WatchPaths();
        while (!Shows(paths, count, name) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(kPoll);
            paths = WatchPaths();
        }
        std::string answer = Shows(paths, count, name) ? "yes" : "no";
        for (const auto& path : paths) {
            answer += " " + path;
        }
        std::printf("%s\n", answer.c_str());
        std::fflush(stdout);
    }
    return 0;
}
