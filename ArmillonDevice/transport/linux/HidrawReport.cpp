#include "HidrawReport.h"

#include <algorithm>

namespace ArmillonDevice::HidrawReport {

bool PlaceUnnumberedInput(std::span<const std::uint8_t> received, std::span<std::uint8_t> report) {
    if (report.empty() || received.size() > report.size() - 1) {
        return false;
    }
    report[0] = 0x00;
    const auto end = std::copy(received.begin(), received.end(), report.begin() + 1);
    std::fill(end, report.end(), 0x00);
    return true;
}

}  // namespace ArmillonDevice::HidrawReport
