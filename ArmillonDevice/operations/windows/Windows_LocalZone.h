#pragma once
// The local zone of the Windows time-zone settings.

#include <windows.h>

#include <functional>
#include <map>
#include <mutex>

#include "ILocalZone.h"

class Windows_LocalZone : public ILocalZone {
  public:
    // Reads the current zone settings as GetDynamicTimeZoneInformation does.
    using SettingsReader = std::function<DWORD(DYNAMIC_TIME_ZONE_INFORMATION&)>;

    // The host's settings.
    Windows_LocalZone();
    // Settings from `readSettings` (tests); the zone's yearly rules still come from the
    // system's list of zones.
    explicit Windows_LocalZone(SettingsReader readSettings);

    void Refresh() override;
    LocalZoneSample At(std::int64_t utcSeconds) override;

  private:
    // The rules of the settings read last, in `year`, looked up once per year.
    const TIME_ZONE_INFORMATION* RulesInYear(WORD year);

    SettingsReader readSettings_;
    std::mutex mutex_;
    bool read_ = false;
    DWORD settingsResult_ = TIME_ZONE_ID_INVALID;
    DYNAMIC_TIME_ZONE_INFORMATION settings_{};
    std::map<WORD, TIME_ZONE_INFORMATION> rulesByYear_;
};
