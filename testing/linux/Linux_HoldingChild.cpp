#include "Linux_HoldingChild.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <utility>

#include "Linux_RetryInterrupted.h"

namespace fu_testing {

Linux_HoldingChild::Linux_HoldingChild(const std::function<void(const Hold& hold)>& body) {
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) {
        return;
    }
    common::Linux_UniqueFd readEnd(ready[0]);
    const common::Linux_UniqueFd writeEnd(ready[1]);
    pid_ = ::fork();
    if (pid_ == 0) {
        readEnd.Reset();
        body([&](char answer) {
            [[maybe_unused]] const auto written = ::write(writeEnd.Get(), &answer, 1);
            for (;;) {
                ::pause();
            }
        });
        ::_exit(0);  // ended without holding: the test reads no answer
    }
    // The test keeps only the read end: the answer reads end of file once the child has gone.
    ready_ = std::move(readEnd);
}

Linux_HoldingChild::~Linux_HoldingChild() {
    Kill();
}

char Linux_HoldingChild::Answer() {
    char answer = 0;
    const ssize_t got =
        ready_.IsValid()
            ? common::Linux_RetryInterrupted([&] { return ::read(ready_.Get(), &answer, 1); })
            : 0;
    return got == 1 ? answer : 0;
}

void Linux_HoldingChild::Kill() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        common::Linux_RetryInterrupted([&] { return ::waitpid(pid_, nullptr, 0); });
        pid_ = -1;
    }
}

}  // namespace fu_testing
