#pragma once
// The terminal's line for a measured progress:
//
//   [#########...........]  47%  241 / 512 KiB  about 6 s left
//
// Amounts are bytes: shown as bytes below 1 KiB, KiB below 10 MiB, MiB above.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace ui {

inline constexpr int kProgressLineWidth = 20;

// Whole percent done, rounded down (100 only when all is done); 0 for a total of 0.
int PercentDone(std::uint64_t done, std::uint64_t total);

std::string FormatProgressLine(std::uint64_t done, std::uint64_t total,
                               std::optional<std::chrono::seconds> left);

// The time the rest will take at the rate seen since `first` (the amount first shown, at
// `since`); nothing until a second of data has been seen.
std::optional<std::chrono::seconds> EstimateTimeLeft(std::uint64_t first,
                                                     std::chrono::steady_clock::time_point since,
                                                     std::uint64_t done, std::uint64_t total,
                                                     std::chrono::steady_clock::time_point now);

}  // namespace ui
