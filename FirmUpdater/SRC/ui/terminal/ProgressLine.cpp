#include "ProgressLine.h"

#include <algorithm>

namespace ui {
namespace {

constexpr std::uint64_t kKiB = 1024;
constexpr std::uint64_t kMiB = 1024 * kKiB;

std::string Amounts(std::uint64_t done, std::uint64_t total) {
    if (total < kKiB) {
        return std::to_string(done) + " / " + std::to_string(total) + " bytes";
    }
    const std::uint64_t unit = total < 10 * kMiB ? kKiB : kMiB;
    // The total rounded up and a part rounded down, so a part never reads as all of it and
    // all of it reads as the total.
    const auto whole = (total + unit - 1) / unit;
    return std::to_string(done == total ? whole : done / unit) + " / " + std::to_string(whole) +
           (unit == kKiB ? " KiB" : " MiB");
}

std::string TimeLeft(std::chrono::seconds left) {
    const auto seconds = std::max<std::int64_t>(left.count(), 1);
    if (seconds < 120) {
        return "about " + std::to_string(seconds) + " s left";
    }
    return "about " + std::to_string((seconds + 30) / 60) + " min left";
}

}  // namespace

int PercentDone(std::uint64_t done, std::uint64_t total) {
    if (total == 0) {
        return 0;
    }
    return static_cast<int>(std::min(done, total) * 100 / total);
}

std::string FormatProgressLine(std::uint64_t done, std::uint64_t total,
                               std::optional<std::chrono::seconds> left) {
    done = std::min(done, total);
    const auto filled = total == 0 ? 0 : done * kProgressLineWidth / total;
    std::string line = "[";
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(kProgressLineWidth - filled), '.');
    line += "] ";
    const auto percent = std::to_string(PercentDone(done, total));
    line.append(3 - std::min<std::size_t>(percent.size(), 3), ' ');
    line += percent + "%  " + Amounts(done, total);
    if (left && done < total) {
        line += "  " + TimeLeft(*left);
    }
    return line;
}

std::optional<std::chrono::seconds> EstimateTimeLeft(std::uint64_t first,
                                                     std::chrono::steady_clock::time_point since,
                                                     std::uint64_t done, std::uint64_t total,
                                                     std::chrono::steady_clock::time_point now) {
    const auto elapsed = std::chrono::duration<double>(now - since).count();
    if (elapsed < 1.0 || done <= first || done >= total) {
        return std::nullopt;
    }
    const double rate = static_cast<double>(done - first) / elapsed;
    return std::chrono::seconds(
        static_cast<std::int64_t>(static_cast<double>(total - done) / rate + 0.999));
}

}  // namespace ui
