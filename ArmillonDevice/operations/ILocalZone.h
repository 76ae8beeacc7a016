#pragma once
// The host's local time zone: the offset from UTC, daylight saving and the zone's name at a
// given moment. The platform's folder (linux/, windows/) implements it; the program installs
// it at start-up.

#include <cstdint>
#include <string>

struct LocalZoneSample {
    bool daylight = false;
    std::int64_t offsetEast = 0;  // seconds, local time = UTC + offsetEast
    std::wstring name;
};

class ILocalZone {
  public:
    virtual ~ILocalZone() = default;

    // Takes up the zone's settings as they are now (they may change while the program runs).
    virtual void Refresh() = 0;
    // The zone at `utcSeconds` since 1970-01-01 00:00 UTC.
    virtual LocalZoneSample At(std::int64_t utcSeconds) = 0;
};

// The installed zone; until one is installed, UTC without daylight saving.
ILocalZone& PlatformLocalZone();
// Installs the platform's zone (borrowed; it outlives its use); null: UTC.
void InstallLocalZone(ILocalZone* zone);
