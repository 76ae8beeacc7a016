#include "Linux_HoldingChild.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace fu_testing {

Linux_HoldingChild::Linux_HoldingChild(const std::function<void(const Hold& hold)>& body) {
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) {
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        ::close(ready[0]);
        body([&](char answer) {
            [[maybe_unused]] const auto written = ::write(ready[1], &answer, 1);
            for (;;) {
                ::pause();
            }
        });
        ::_exit(0);  // ended without holding: the test reads no answer
    }
    ::close(ready[1]);
    ready_ = ready[0];
}

Linux_HoldingChild::~Linux_HoldingChild() {
    Kill();
    if (ready_ >= 0) {
        ::close(ready_);
    }
}

char Linux_HoldingChild::Answer() {
    char answer = 0;
    ssize_t got = 0;
    do {
        got = ready_ >= 0 ? ::read(ready_, &answer, 1) : 0;
    } while (got < 0 && errno == EINTR);
    return got == 1 ? answer : 0;
}

void Linux_HoldingChild::Kill() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }
}

}  // namespace fu_testing
