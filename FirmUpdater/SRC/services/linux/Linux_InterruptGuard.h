#pragma once
// Keeps Ctrl-C, Ctrl-\, SIGTERM and SIGHUP from ending the process while it lives: a watch
// left half-written is worse for the user than a program that will not stop at once. The
// first such signal prints a note (once per guard) saying why nothing happens; the signals
// that arrive are dropped. SIGPIPE is ignored as well, silently: a reader of the output that
// went away must not end the update either. The previous handling comes back when the guard
// goes.
//
// One guard at a time per process.

#include <unistd.h>
#include <csignal>
#include <string>
#include <string_view>

#include "IInterruptGuard.h"

class Linux_InterruptGuard : public IInterruptGuard {
  public:
    // `note` (UTF-8, printed on a line of its own) goes to `fd`.
    explicit Linux_InterruptGuard(std::string_view note, int fd = STDERR_FILENO);
    ~Linux_InterruptGuard() override;
    Linux_InterruptGuard(const Linux_InterruptGuard&) = delete;
    Linux_InterruptGuard& operator=(const Linux_InterruptGuard&) = delete;

    // The signals held off.
    static constexpr int kSignals[] = {SIGINT, SIGQUIT, SIGTERM, SIGHUP};

    // How many of them arrived while a guard was active, since the process started.
    static unsigned HeldOffCount();

  private:
    struct sigaction previous_[std::size(kSignals)];
    bool installed_[std::size(kSignals)] = {};
    struct sigaction previousPipe_;
    bool pipeIgnored_ = false;
};
