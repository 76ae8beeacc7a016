#pragma once
// What the watch keeps across connections and reboots: its flash areas, the settings blocks
// as last written, its firmware version, its clock and its training records. Not locked;
// the VirtualWatch that owns it serialises access.

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "Clock.h"
#include "WatchConfig.h"

namespace watchsim {

// Data identifiers of the settings blocks the update writes.
inline constexpr std::uint16_t kSettingsBlockIds[] = {0x1600, 0x1601, 0x1604,
                                                      0x1611, 0x1614, 0x1620};
bool IsSettingsBlock(std::uint16_t dataId);

class WatchMemory {
  public:
    WatchMemory(const WatchConfig& config, const Clock& clock);

    std::vector<std::uint8_t> flash;
    std::vector<std::uint8_t> flash2;
    std::map<std::uint16_t, std::vector<std::uint8_t>> settingsBlocks;
    std::optional<std::uint16_t> lastVersionBlock;  // 0x1600 or 0x1601, whichever came last
    std::string firmwareVersion;
    std::vector<TrainingRecord> trainingRecords;

    // What changed since the state was last saved.
    bool flashDirty = false;
    bool flash2Dirty = false;
    bool versionDirty = false;
    std::set<std::uint16_t> dirtyBlocks;

    // The clock record as the host reads it now: time in bytes 0-7, the rest as last written.
    std::vector<std::uint8_t> ClockRecord() const;
    // Writes bytes into the clock record; the time fields the result holds set the clock.
    // False (and nothing changes) when they do not form a valid date and time.
    bool WriteClockRecord(std::size_t offset, std::span<const std::uint8_t> bytes);

    // The version text the firmware block last written carries, when it carries a readable one.
    std::optional<std::string> VersionFromLastBlock(std::uint32_t versionOffset) const;

  private:
    const Clock& clock_;
    std::vector<std::uint8_t> clockRecord_;
    std::chrono::sys_seconds clockBase_;
    Clock::Duration clockBaseAt_;
};

}  // namespace watchsim
