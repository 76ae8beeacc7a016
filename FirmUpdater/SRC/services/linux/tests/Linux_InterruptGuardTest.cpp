// The interrupt signals while the update runs: held off, noted once, handed back after.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include "Linux_InterruptGuard.h"
#include "Linux_UniqueFd.h"

namespace {

volatile std::sig_atomic_t gOwnHandlerCalls = 0;
void OwnHandler(int) {
    gOwnHandlerCalls = gOwnHandlerCalls + 1;
}

std::string Drain(int fd) {
    std::string text;
    char buffer[256];
    ssize_t count = 0;
    while ((count = ::read(fd, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(count));
    }
    return text;
}

TEST(InterruptGuard, HoldsOffEverySignalNotesItOnceAndRestoresTheHandlers) {
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_NONBLOCK | O_CLOEXEC), 0);
    const common::Linux_UniqueFd note[2] = {common::Linux_UniqueFd(ends[0]),
                                            common::Linux_UniqueFd(ends[1])};
    struct sigaction own {};
    own.sa_handler = OwnHandler;
    struct sigaction previous {};
    ASSERT_EQ(sigaction(SIGINT, &own, &previous), 0);
    struct sigaction pipeBefore {};
    sigaction(SIGPIPE, nullptr, &pipeBefore);
    gOwnHandlerCalls = 0;
    {
        const Linux_InterruptGuard guard("cannot stop now", note[1].Get());
        const unsigned before = Linux_InterruptGuard::HeldOffCount();
        for (const int signal : Linux_InterruptGuard::kSignals) {
            std::raise(signal);
        }
        std::raise(SIGINT);
        std::raise(SIGPIPE);  // ignored, without a count or a note
        EXPECT_EQ(Linux_InterruptGuard::HeldOffCount(), before + 5);
        EXPECT_EQ(gOwnHandlerCalls, 0);
    }
    EXPECT_EQ(Drain(note[0].Get()), "\ncannot stop now\n");

    // A later guard notes again.
    {
        const Linux_InterruptGuard guard("again", note[1].Get());
        std::raise(SIGTERM);
    }
    EXPECT_EQ(Drain(note[0].Get()), "\nagain\n");

    std::raise(SIGINT);
    EXPECT_EQ(gOwnHandlerCalls, 1) << "the earlier handler is back";
    struct sigaction pipeAfter {};
    sigaction(SIGPIPE, nullptr, &pipeAfter);
    EXPECT_EQ(pipeAfter.sa_handler, pipeBefore.sa_handler);
    sigaction(SIGINT, &previous, nullptr);
}

}  // namespace
