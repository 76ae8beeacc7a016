#include "WatchMemory.h"

#include <algorithm>

#include "LittleEndian.h"

namespace watchsim {

bool IsSettingsBlock(std::uint16_t dataId) {
    return std::find(std::begin(kSettingsBlockIds), std::end(kSettingsBlockIds), dataId) !=
           std::end(kSettingsBlockIds);
}

WatchMemory::WatchMemory(const WatchConfig& config, const Clock& clock)
    : flash(config.flashSize, 0xFF),
      flash2(config.flash2Size, 0xFF),
      firmwareVersion(config.firmwareVersion),
      trainingRecords(config.trainingRecords),
      clock_(clock),
      clockRecord_(config.clockRecordSize, 0x00),
      clockBase_(config.clockStart),
      clockBaseAt_(clock.Now()) {}

std::vector<std::uint8_t> WatchMemory::ClockRecord() const {
    using namespace std::chrono;
    std::vector<std::uint8_t> record = clockRecord_;
    const auto now = clockBase_ + duration_cast<seconds>(clock_.Now() - clockBaseAt_);
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss time{now - day};
    const std::uint8_t fields[8] = {
        static_cast<std::uint8_t>(static_cast<int>(date.year()) & 0xFF),
        static_cast<std::uint8_t>((static_cast<int>(date.year()) >> 8) & 0xFF),
        static_cast<std::uint8_t>(static_cast<unsigned>(date.month())),
        static_cast<std::uint8_t>(static_cast<unsigned>(date.day())),
        static_cast<std::uint8_t>(time.hours().count()),
        static_cast<std::uint8_t>(time.minutes().count()),
        static_cast<std::uint8_t>(time.seconds().count()),
        static_cast<std::uint8_t>(std::chrono::weekday{day}.iso_encoding()),  // 1 Mon .. 7 Sun
    };
    std::copy_n(fields, std::min<std::size_t>(8, record.size()), record.begin());
    return record;
}

bool WatchMemory::WriteClockRecord(std::size_t offset, std::span<const std::uint8_t> bytes) {
    using namespace std::chrono;
    std::vector<std::uint8_t> record = ClockRecord();
    std::copy(bytes.begin(), bytes.end(), record.begin() + static_cast<std::ptrdiff_t>(offset));
    if (record.size() >= 7) {
        const year_month_day date{year{Le16(record, 0)}, month{record[2]}, day{record[3]}};
        if (!date.ok() || record[4] > 23 || record[5] > 59 || record[6] > 59) {
            return false;
        }
        clockBase_ = sys_days{date} + hours{record[4]} + minutes{record[5]} + seconds{record[6]};
        clockBaseAt_ = clock_.Now();
    }
    clockRecord_ = std::move(record);
    return true;
}

std::optional<std::string> WatchMemory::VersionFromLastBlock(std::uint32_t versionOffset) const {
    if (!lastVersionBlock) {
        return std::nullopt;
    }
    const auto found = settingsBlocks.find(*lastVersionBlock);
    if (found == settingsBlocks.end() || found->second.size() < versionOffset + 5ull) {
        return std::nullopt;
    }
    std::string text(found->second.begin() + versionOffset,
                     found->second.begin() + versionOffset + 5);
    const bool printable =
        std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
    if (!printable) {
        return std::nullopt;
    }
    return text;
}

}  // namespace watchsim
