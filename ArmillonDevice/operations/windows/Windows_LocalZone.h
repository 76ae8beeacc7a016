#pragma once
// The local zone of the Windows time-zone settings.

#include "ILocalZone.h"

class Windows_LocalZone : public ILocalZone {
  public:
    void Refresh() override;
    LocalZoneSample At(std::int64_t utcSeconds) override;
};
