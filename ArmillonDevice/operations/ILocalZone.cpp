#include "ILocalZone.h"

#include <atomic>

namespace {

class Utc : public ILocalZone {
  public:
    void Refresh() override {}
    LocalZoneSample At(std::int64_t /*utcSeconds*/) override { return {false, 0, L"UTC"}; }
};

Utc gUtc;
std::atomic<ILocalZone*> gZone{&gUtc};

}  // namespace

ILocalZone& PlatformLocalZone() {
    return *gZone.load();
}

void InstallLocalZone(ILocalZone* zone) {
    gZone.store(zone != nullptr ? zone : &gUtc);
}
