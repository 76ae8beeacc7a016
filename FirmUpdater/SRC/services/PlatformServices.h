#pragma once
// The services the application takes from the platform it runs on. The program's platform
// assembly installs them once at start-up, before anything asks for them; what is not
// installed is a stand-in that does nothing: the invariant locale (English), no priority
// change, no interrupt guard.

#include "IInterruptGuard.h"
#include "IThreadLocale.h"
#include "IThreadPriority.h"

namespace platform {

struct Services {
    // All borrowed; they outlive every use (normally: the whole process).
    IThreadLocale* threadLocale = nullptr;
    IThreadPriority* threadPriority = nullptr;
    IInterruptGuardFactory* interruptGuards = nullptr;
};

// Replaces the services; null members get their stand-ins.
void Install(const Services& services);

IThreadLocale& ThreadLocale();
IThreadPriority& ThreadPriority();
IInterruptGuardFactory& InterruptGuards();

}  // namespace platform
