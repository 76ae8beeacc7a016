#include "PlatformServices.h"

#include <atomic>

namespace platform {
namespace {

class InvariantLocale : public IThreadLocale {
  public:
    std::uint32_t Current() override { return kInvariant; }
};

class UnchangedPriority : public IThreadPriority {
  public:
    void LowerCallingThreadOneStep() override {}
};

class NoInterruptGuards : public IInterruptGuardFactory {
  public:
    std::unique_ptr<IInterruptGuard> HoldOff(std::string_view /*note*/) override { return nullptr; }
};

InvariantLocale gInvariantLocale;
UnchangedPriority gUnchangedPriority;
NoInterruptGuards gNoInterruptGuards;

// Installed before the threads that read them start; atomic so a late install is no race.
std::atomic<IThreadLocale*> gThreadLocale{&gInvariantLocale};
std::atomic<IThreadPriority*> gThreadPriority{&gUnchangedPriority};
std::atomic<IInterruptGuardFactory*> gInterruptGuards{&gNoInterruptGuards};

template <typename T>
T* OrStandIn(T* service, T& standIn) {
    return service != nullptr ? service : &standIn;
}

}  // namespace

void Install(const Services& services) {
    gThreadLocale.store(
        OrStandIn(services.threadLocale, static_cast<IThreadLocale&>(gInvariantLocale)));
    gThreadPriority.store(
        OrStandIn(services.threadPriority, static_cast<IThreadPriority&>(gUnchangedPriority)));
    gInterruptGuards.store(OrStandIn(services.interruptGuards,
                                     static_cast<IInterruptGuardFactory&>(gNoInterruptGuards)));
}

IThreadLocale& ThreadLocale() {
    return *gThreadLocale.load();
}

IThreadPriority& ThreadPriority() {
    return *gThreadPriority.load();
}

IInterruptGuardFactory& InterruptGuards() {
    return *gInterruptGuards.load();
}

}  // namespace platform
