#pragma once
// The kernel's hidraw node hands over an unnumbered input report without its report-number
// byte; the framing above expects the report as the host counts it, report number first.

#include <cstdint>
#include <span>

namespace ArmillonDevice::HidrawReport {

// Writes 0x00, then the received bytes, then zeros up to the end of `report`. False (and
// `report` untouched) when the received bytes do not fit behind the report-number byte.
bool PlaceUnnumberedInput(std::span<const std::uint8_t> received, std::span<std::uint8_t> report);

}  // namespace ArmillonDevice::HidrawReport
