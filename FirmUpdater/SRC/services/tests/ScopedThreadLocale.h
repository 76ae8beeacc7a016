#pragma once
// For tests: the user's locale the interface language follows, set for one test and the
// installed services restored afterwards. The platform's own locale source is tested in the
// platform's folder.

#include <cstdint>

#include "PlatformServices.h"

class ScopedThreadLocale : public IThreadLocale {
  public:
    explicit ScopedThreadLocale(std::uint32_t locale)
        : locale_(locale),
          previous_(platform::ThreadLocale()),
          priority_(platform::ThreadPriority()),
          interruptGuards_(platform::InterruptGuards()) {
        platform::Install({this, &priority_, &interruptGuards_});
    }
    ~ScopedThreadLocale() override {
        platform::Install({&previous_, &priority_, &interruptGuards_});
    }
    ScopedThreadLocale(const ScopedThreadLocale&) = delete;
    ScopedThreadLocale& operator=(const ScopedThreadLocale&) = delete;

    std::uint32_t Current() override { return locale_; }

  private:
    std::uint32_t locale_;
    IThreadLocale& previous_;
    IThreadPriority& priority_;
    IInterruptGuardFactory& interruptGuards_;
};
