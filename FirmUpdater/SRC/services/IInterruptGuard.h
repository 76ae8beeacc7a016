#pragma once
// Keeps the user's interrupt keys and the platform's termination requests from ending the
// process while a guard lives: a watch left half-written is worse for the user than a
// program that will not stop at once. The first such request prints a note saying why
// nothing happens. Where the platform has no such requests, a guard does nothing.

#include <memory>
#include <string_view>

class IInterruptGuard {
  public:
    // The previous handling comes back.
    virtual ~IInterruptGuard() = default;
};

class IInterruptGuardFactory {
  public:
    virtual ~IInterruptGuardFactory() = default;

    // Holds interrupts off until the guard goes; `note` is UTF-8. One guard at a time per
    // process. Null when there is nothing to hold off.
    virtual std::unique_ptr<IInterruptGuard> HoldOff(std::string_view note) = 0;
};
