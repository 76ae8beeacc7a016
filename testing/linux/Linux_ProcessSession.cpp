#include "Linux_ProcessSession.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

#include "Linux_RetryInterrupted.h"
#include "Linux_SpawnArguments.h"

namespace fu_testing {
Linux_ProcessSession::Linux_ProcessSession(const std::string& program,
                                           const std::vector<std::string>& arguments,
                                           const SessionOptions& options) {
    int in[2];
    int out[2];
    if (::pipe2(in, O_CLOEXEC) != 0) {
        return;
    }
    common::Linux_UniqueFd childIn(in[0]);
    common::Linux_UniqueFd input(in[1]);
    if (::pipe2(out, O_CLOEXEC) != 0) {
        return;
    }
    common::Linux_UniqueFd output(out[0]);
    common::Linux_UniqueFd childOut(out[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, childIn.Get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, childOut.Get(), STDOUT_FILENO);
    if (options.errorToOutput) {
        posix_spawn_file_actions_adddup2(&actions, childOut.Get(), STDERR_FILENO);
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    const Linux_SpawnArguments spawn(program, arguments, options.environment,
                                     options.cleanEnvironment);

    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, &attributes, spawn.Argv(), spawn.Envp()) ==
        0) {
        pid_ = pid;
    }
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    // The child's ends go at once, so that its output ends when it does.
    childIn.Reset();
    childOut.Reset();
    input_ = std::move(input);
    outputFd_ = std::move(output);
    // A program that stops reading must not take the test down with SIGPIPE.
    ::signal(SIGPIPE, SIG_IGN);
}

Linux_ProcessSession::~Linux_ProcessSession() {
    if (pid_ > 0 && !exitCode_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    CloseInput();
    CloseOutput();
}

bool Linux_ProcessSession::ReadSome(std::chrono::steady_clock::time_point deadline) {
    if (!outputFd_.IsValid()) {
        return false;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    // Past the deadline: only what is there already.
    pollfd readable{outputFd_.Get(), POLLIN, 0};
    if (::poll(&readable, 1, static_cast<int>(std::max<long long>(left.count(), 0))) <= 0) {
        return false;
    }
    char buffer[4096];
    const auto count = ::read(outputFd_.Get(), buffer, sizeof buffer);
    if (count <= 0) {
        CloseOutput();
        return false;
    }
    output_.append(buffer, static_cast<std::size_t>(count));
    return true;
}

bool Linux_ProcessSession::WaitFor(std::string_view text, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (const auto at = output_.find(text, consumed_); at != std::string::npos) {
            consumed_ = at + text.size();
            return true;
        }
        if (!ReadSome(deadline)) {
            return false;
        }
    }
}

std::optional<std::string> Linux_ProcessSession::ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (const auto end = output_.find('\n', consumed_); end != std::string::npos) {
            std::string line = output_.substr(consumed_, end - consumed_);
            consumed_ = end + 1;
            return line;
        }
        if (!ReadSome(deadline)) {
            return std::nullopt;
        }
    }
}

void Linux_ProcessSession::Send(std::string_view text) {
    std::size_t done = 0;
    while (input_.IsValid() && done < text.size()) {
        const auto written = ::write(input_.Get(), text.data() + done, text.size() - done);
        if (written <= 0) {
            break;
        }
        done += static_cast<std::size_t>(written);
    }
}

void Linux_ProcessSession::CloseInput() {
    input_.Reset();
}

void Linux_ProcessSession::CloseOutput() {
    outputFd_.Reset();
}

void Linux_ProcessSession::Signal(int signal) {
    if (pid_ > 0 && !exitCode_) {
        ::kill(pid_, signal);
    }
}

int Linux_ProcessSession::Finish(std::chrono::milliseconds timeout) {
    if (pid_ <= 0) {
        return -1;
    }
    if (exitCode_) {
        return *exitCode_;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    // The end of the program, not of its output: a process it started may hold the output
    // open after it has gone.
    common::Linux_UniqueFd pidfd(static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0)));
    bool ended = !pidfd.IsValid();  // without process descriptors, waitpid waits unbounded
    while (!ended) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd fds[2] = {{pidfd.Get(), POLLIN, 0}, {outputFd_.Get(), POLLIN, 0}};
        const int ready = ::poll(fds, outputFd_.IsValid() ? 2 : 1, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) {
            break;
        }
        ended = (fds[0].revents & POLLIN) != 0;
        if (!ended && (fds[1].revents & (POLLIN | POLLHUP)) != 0) {
            ReadSome(deadline);
        }
    }
    pidfd.Reset();
    if (!ended) {
        ::kill(pid_, SIGKILL);
    }
    int status = 0;
    common::Linux_RetryInterrupted([&] { return ::waitpid(pid_, &status, 0); });
    // What it wrote before it ended and is still in the pipe.
    const auto now = std::chrono::steady_clock::now();
    while (ReadSome(now)) {
    }
    exitCode_ = ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return *exitCode_;
}

}  // namespace fu_testing
