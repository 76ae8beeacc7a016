#pragma once
// The local zone of the C library's zone database (TZ).

#include "ILocalZone.h"

class Linux_LocalZone : public ILocalZone {
  public:
    void Refresh() override;
    LocalZoneSample At(std::int64_t utcSeconds) override;
};
