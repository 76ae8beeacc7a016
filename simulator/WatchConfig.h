#pragma once
// Everything that makes one virtual watch what it is. The defaults describe the stock watch
// the demo and the tests use: vendor 0x3A7C, product 0x0A51, hardware text
// "ORNA-HWREV1-612E" (model 612E), firmware "01.20", 64-byte reports, 2 MiB of flash in
// 4 KiB sectors, a 1 s reboot.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "FaultPlan.h"

namespace watchsim {

struct TrainingRecord {
    std::uint16_t number = 0;
    std::vector<std::uint8_t> metadata;
    std::vector<std::uint8_t> data;
    std::uint8_t uploadFlag = 1;  // non-zero: not uploaded yet
};

struct WatchConfig {
    std::uint16_t vendorId = 0x3A7C;
    std::uint16_t productId = 0x0A51;
    // 16 bytes on the wire, zero-padded; its last four characters are the model code.
    std::string hardwareText = "ORNA-HWREV1-612E";
    std::uint16_t hardwareWord = 0x0001;
    std::string productText1 = "ORNA Running Watch";    // 20 bytes
    std::string productText2 = "0A51";                  // 4 bytes
    std::string productText3 = "EU01";                  // 4 bytes
    std::string productText4 = "01";                    // 2 bytes
    std::string usbProductName = "ORNA Virtual Watch";  // what the HID layer reports as name
    std::string firmwareVersion = "01.20";              // 5 characters
    std::array<std::uint16_t, 4> handshakeWords{0x0001, 0x0014, 0x0000, 0x0000};

    // Report payload bytes without the report-number byte, 3 to 513 (the 9-bit length field).
    std::size_t reportLength = 64;

    // Record sizes as the watch announces them; smaller sizes than the usual minimums are
    // allowed so that host refusals can be tested (fields are cut to what fits).
    std::size_t firmwareInfoSize = 16;
    std::size_t productInfoSize = 48;
    std::size_t hardwareInfoSize = 32;
    std::size_t clockRecordSize = 32;

    std::size_t flashSize = 2 * 1024 * 1024;  // first flash area (commands 0x40, 0x41, 0x42)
    std::size_t sectorSize = 4096;
    std::size_t flash2Size = 256 * 1024;  // second flash area (commands 0x43, 0x44)

    std::chrono::nanoseconds rebootDelay = std::chrono::seconds(1);
    std::chrono::nanoseconds reportLatency{0};  // per report; 1 ms models a full-speed link

    // The watch clock reads this at clock time 0 and runs from there until the host sets it.
    std::chrono::sys_seconds clockStart =
        std::chrono::sys_days{std::chrono::year{2024} / 1 / 1} + std::chrono::hours{12};

    // Training records (data 0x5100). Index tables: selector 0 lists every record, selector
    // 1 those not uploaded yet, unless a table is given here for that selector.
    std::vector<TrainingRecord> trainingRecords;
    std::map<std::uint8_t, std::vector<std::uint16_t>> indexTables;

    std::vector<FaultRule> faults;

    // When set, the watch loads its memory from here and keeps it here (see WatchStateFiles).
    std::filesystem::path stateDirectory;

    bool plugged = true;  // false: the watch appears only when plugged in
};

// The model code: the last four characters of the hardware text (up to its first zero byte).
std::string ModelCode(const WatchConfig& config);

// Where the version text sits in a 0x1600/0x1601 block for the given model code.
std::uint32_t VersionOffsetForModel(std::string_view model);

// Throws std::invalid_argument when the configuration cannot describe a watch.
void ValidateConfig(const WatchConfig& config);

}  // namespace watchsim
