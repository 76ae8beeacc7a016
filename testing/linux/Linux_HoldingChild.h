#pragma once
// For tests: a forked child that takes something a second process holds (a lock, a mount,
// a registry entry), says so with one byte, and keeps holding it until the test kills it,
// as a process that dies without cleaning up.

#include <sys/types.h>

#include <functional>

#include "Linux_UniqueFd.h"

namespace fu_testing {

class Linux_HoldingChild {
  public:
    // Reports `answer` to the test and holds until killed; never returns.
    using Hold = std::function<void(char answer)>;

    // Runs `body` in the child; `body` takes what it holds and calls `hold`.
    explicit Linux_HoldingChild(const std::function<void(const Hold& hold)>& body);
    ~Linux_HoldingChild();  // kills the child when it still runs
    Linux_HoldingChild(const Linux_HoldingChild&) = delete;
    Linux_HoldingChild& operator=(const Linux_HoldingChild&) = delete;

    bool Started() const { return pid_ > 0; }
    // The child's answer, once it holds; 0 when it ended without one.
    char Answer();
    // Kills the child (SIGKILL) and waits for it: what it held is left as it was.
    void Kill();

  private:
    pid_t pid_ = -1;
    common::Linux_UniqueFd ready_;
};

}  // namespace fu_testing
