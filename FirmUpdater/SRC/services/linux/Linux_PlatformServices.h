#pragma once
// The application's platform services on Linux: the locale from the POSIX locale variables,
// thread priorities as nice values, interrupts as signals.

#include "PlatformServices.h"

class Linux_PlatformServices : public IThreadLocale,
                               public IThreadPriority,
                               public IInterruptGuardFactory {
  public:
    std::uint32_t Current() override;
    void LowerCallingThreadOneStep() override;
    std::unique_ptr<IInterruptGuard> HoldOff(std::string_view note) override;

    // All three, valid as long as this object.
    platform::Services Services() { return {this, this, this}; }
};
