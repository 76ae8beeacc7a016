// Drives the real Win32 HID path against watches that Wine's HID bus presents, for the
// Wine harness (e2e/wine_hid.py). Each command prints what the harness checks and exits 0
// when every step worked, 1 otherwise.
//
//   list                     every watch, one line each: index, path
//   order                    "same" when the watches come in the set-up interface's order
//   session INDEX KIB        handshake, KIB KiB flash write at 0x80000 (byte i is
//                            (i * 131) ^ (i >> 9)), its first KiB read back, disconnect
//   silent INDEX MS          an unanswered read cancelled after MS, then a handshake
//   measure INDEX KIB ROUNDS the KIB KiB flash write timed, ROUNDS times interleaved, through
//                            the tool's transport and through a minimal Win32 writer
//                            (Windows_MinimalReaderWriter): "tool ms:" and "baseline ms:"
//   load NAME                LoadLibraryW(NAME) with the default search (the program's
//                            folder first): "loaded" or "not loaded"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ORNA_Communication.h"
#include "ORNA_Device.h"
#include "Windows_HidPlatform.h"
#include "Windows_MinimalReaderWriter.h"
#include "Windows_USB_DeviceIdentifier.h"
#include "Windows_USB_HID_DeviceReaderWriter.h"

using namespace ArmillonDevice;

namespace {

constexpr std::uint16_t kVendor = 0x3A7C;
constexpr std::uint16_t kProduct = 0x0A51;
constexpr std::uint32_t kFlashAddress = 0x80000;

DeviceIdentifierList Watches() {
    Windows_HidPlatform platform;
    DeviceIdentifierList list;
    platform.EnumerateHidDevices(list, [](std::uint16_t vendor, std::uint16_t product) {
        return vendor == kVendor && product == kProduct;
    });
    return list;
}

std::wstring PathOf(const DeviceIdentifier& identity) {
    return static_cast<const Windows_USB_DeviceIdentifier&>(identity).GetPath();
}

int List() {
    const auto list = Watches();
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::printf("%zu %ls\n", i, PathOf(*list[i]).c_str());
    }
    return list.empty() ? 1 : 0;
}

// The watches among every HID interface, in the order the set-up interface gives them.
int Order() {
    Windows_HidPlatform platform;
    DeviceIdentifierList all;
    platform.EnumerateHidDevices(all, [](std::uint16_t, std::uint16_t) { return true; });
    std::vector<std::wstring> expected;
    for (const auto& identity : all) {
        const auto& usb = static_cast<const Windows_USB_DeviceIdentifier&>(*identity);
        if (usb.GetVendorId() == kVendor && usb.GetProductId() == kProduct) {
            expected.push_back(usb.GetPath());
        }
    }
    std::vector<std::wstring> found;
    for (const auto& identity : Watches()) {
        found.push_back(PathOf(*identity));
    }
    std::printf("%s %zu\n", found == expected ? "same" : "different", found.size());
    return found == expected ? 0 : 1;
}

std::unique_ptr<DeviceIdentifier> Nth(const char* index) {
    auto list = Watches();
    const auto n = static_cast<std::size_t>(std::strtoul(index, nullptr, 10));
    if (n >= list.size()) {
        std::printf("no watch %zu (%zu present)\n", n, list.size());
        return nullptr;
    }
    return std::move(list[n]);
}

bool Check(const char* step, ArmillonDeviceError result) {
    std::printf("%s: %s (0x%08X)\n", step, result.IsSuccess() ? "ok" : "failed",
                static_cast<unsigned>(result.GetCode()));
    return result.IsSuccess();
}

std::vector<std::uint8_t> FlashPattern(std::uint32_t length) {
    std::vector<std::uint8_t> image(length);
    for (std::uint32_t i = 0; i < length; ++i) {
        image[i] = static_cast<std::uint8_t>((i * 131u) ^ (i >> 9));
    }
    return image;
}

// One flash write through `transport` after a handshake, in milliseconds; -1 when it failed.
double TimedWrite(const DeviceIdentifier& identity, std::unique_ptr<IReaderWriter> transport,
                  const std::vector<std::uint8_t>& image) {
    ORNA_Communication connection(
        std::make_unique<ORNA_Device>(identity.Clone(), std::move(transport)));
    if (!Check("handshake", connection.Open())) {
        return -1;
    }
    const auto started = std::chrono::steady_clock::now();
    const auto result = connection.FlashWrite(
        kFlashAddress, static_cast<std::uint32_t>(image.size()), image.data());
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - started;
    connection.Close();
    return Check("flash write", result) ? elapsed.count() : -1;
}

// The rounds alternate which path goes first, so that neither always meets a watch that
// has just been written to. One line a write: "tool ms: T" or "baseline ms: T".
int Measure(const char* index, const char* kib, const char* rounds) {
    auto identity = Nth(index);
    if (!identity) {
        return 1;
    }
    const auto image =
        FlashPattern(static_cast<std::uint32_t>(std::strtoul(kib, nullptr, 10)) * 1024u);
    const long count = std::strtol(rounds, nullptr, 10);
    for (long round = 0; round < count; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool ours = (turn == 0) == (round % 2 == 0);
            const double ms =
                ours
                    ? TimedWrite(*identity, std::make_unique<Windows_USB_HID_DeviceReaderWriter>(),
                                 image)
                    : TimedWrite(*identity, std::make_unique<Windows_MinimalReaderWriter>(), image);
            if (ms < 0) {
                return 1;
            }
            std::printf("%s ms: %.1f\n", ours ? "tool" : "baseline", ms);
        }
    }
    return count > 0 ? 0 : 1;
}

int Session(const char* index, const char* kib) {
    auto identity = Nth(index);
    if (!identity) {
        return 1;
    }
    ORNA_Communication connection(std::make_unique<ORNA_Device>(
        std::move(identity), std::make_unique<Windows_USB_HID_DeviceReaderWriter>()));
    if (!Check("handshake", connection.Open())) {
        return 1;
    }
    const auto& words = connection.GetVersionWords();
    std::printf("version words: %04X %04X %04X %04X\n", words[0], words[1], words[2], words[3]);

    const auto length = static_cast<std::uint32_t>(std::strtoul(kib, nullptr, 10)) * 1024u;
    const auto image = FlashPattern(length);
    const auto started = std::chrono::steady_clock::now();
    if (!Check("flash write", connection.FlashWrite(kFlashAddress, length, image.data()))) {
        return 1;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    const auto* transport =
        static_cast<const USB_HID_DeviceReaderWriter*>(connection.GetDevice()->GetTransport());
    std::printf("write ms: %lld\n", static_cast<long long>(elapsed.count()));
    std::printf("report lengths: %u %u\n", transport->GetInputReportLength(),
                transport->GetOutputReportLength());

    // A reply of several reports; the harness compares the whole write with the watch's
    // flash file. (Wine's HID bus keeps few input reports, so a long reply of a fast watch
    // would overflow it.)
    const std::uint32_t readLength = std::min<std::uint32_t>(length, 1024);
    std::vector<std::uint8_t> back;
    if (!Check("flash read", connection.FlashRead(kFlashAddress, readLength, back))) {
        return 1;
    }
    const bool same =
        std::equal(back.begin(), back.end(), image.begin(), image.begin() + readLength);
    std::printf("read back: %s\n", same ? "same" : "different");
    return Check("disconnect", connection.Close()) && same ? 0 : 1;
}

int Silent(const char* index, const char* milliseconds) {
    auto identity = Nth(index);
    if (!identity) {
        return 1;
    }
    const std::chrono::milliseconds timeout(std::strtol(milliseconds, nullptr, 10));
    auto transport =
        std::make_unique<Windows_USB_HID_DeviceReaderWriter>(Windows_HidApi::System(), timeout);
    if (!Check("open", transport->Open(identity.get()))) {
        return 1;
    }
    // Nothing was asked, so the watch has nothing to say.
    std::vector<std::uint8_t> report(transport->GetInputReportLength(), 0);
    const auto started = std::chrono::steady_clock::now();
    const auto result = transport->ReadReport(report);
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    Check("unanswered read", result);
    std::printf("waited ms: %lld\n", static_cast<long long>(elapsed.count()));
    if (result != DeviceErrorCode::TransferFailed) {
        return 1;
    }
    // The cancelled read leaves the handle usable: a handshake goes through on it.
    ORNA_Communication connection(
        std::make_unique<ORNA_Device>(std::move(identity), std::move(transport)));
    return Check("handshake after the cancel", connection.Open()) && connection.Close().IsSuccess()
               ? 0
               : 1;
}

// What a program that imports NAME, or loads it without restricting the search, gets.
int Load(const char* name) {
    const HMODULE library = ::LoadLibraryA(name);
    std::printf("%s\n", library != nullptr ? "loaded" : "not loaded");
    return library != nullptr ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "list" && argc == 2) {
        return List();
    }
    if (command == "order" && argc == 2) {
        return Order();
    }
    if (command == "session" && argc == 4) {
        return Session(argv[2], argv[3]);
    }
    if (command == "silent" && argc == 4) {
        return Silent(argv[2], argv[3]);
    }
    if (command == "measure" && argc == 5) {
        return Measure(argv[2], argv[3], argv[4]);
    }
    if (command == "load" && argc == 3) {
        return Load(argv[2]);
    }
    std::fprintf(stderr,
                 "usage: windows_hid_probe list|order|session I KIB|silent I MS|measure I KIB "
                 "N|load NAME\n");
    return 2;
}
