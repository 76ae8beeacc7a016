#pragma once
// The application's platform services on Windows: the thread locale, thread priorities as
// the scheduler's priority levels, and the console's interrupt keys held off.

#include "PlatformServices.h"

class Windows_PlatformServices : public IThreadLocale,
                                 public IThreadPriority,
                                 public IInterruptGuardFactory {
  public:
    // GetThreadLocale of the calling thread.
    std::uint32_t Current() override;
    // One level down from the calling thread's level: normal becomes below normal, and so
    // on; the idle level stays.
    void LowerCallingThreadOneStep() override;
    // Ctrl+C and Ctrl+Break in the console are swallowed, the first with the note on the
    // standard error stream. Closing the console, logging off and shutting down cannot be
    // refused and are not.
    std::unique_ptr<IInterruptGuard> HoldOff(std::string_view note) override;

    // All three, valid as long as this object.
    platform::Services Services() { return {this, this, this}; }

    // The level one step below `level` (a THREAD_PRIORITY_* value).
    static int OneStepBelow(int level);
};
