#include "ProcessSession.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

ProcessSession::ProcessSession(const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::vector<std::string>& environment) {
    int in[2];
    int out[2];
    if (::pipe2(in, O_CLOEXEC) != 0) {
        return;
    }
    if (::pipe2(out, O_CLOEXEC) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
    // Its own process group, so that a signal meant for the test's group does not reach it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    std::vector<std::string> argumentStrings{program};
    argumentStrings.insert(argumentStrings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : argumentStrings) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> environmentStrings = environment;
    std::vector<char*> envp;
    for (auto& e : environmentStrings) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), envp.data()) == 0) {
        pid_ = pid;
    }
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(in[0]);
    ::close(out[1]);
    input_ = in[1];
    output_fd_ = out[0];
    // A program that stops reading must not take the test down with SIGPIPE.
    ::signal(SIGPIPE, SIG_IGN);
}

ProcessSession::~ProcessSession() {
    if (pid_ > 0 && !exitCode_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    CloseInput();
    if (output_fd_ >= 0) {
        ::close(output_fd_);
    }
}

bool ProcessSession::ReadSome(std::chrono::steady_clock::time_point deadline) {
    if (output_fd_ < 0) {
        return false;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd readable{output_fd_, POLLIN, 0};
    if (left.count() <= 0 || ::poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
        return false;
    }
    char buffer[4096];
    const auto count = ::read(output_fd_, buffer, sizeof buffer);
    if (count <= 0) {
        ::close(output_fd_);
        output_fd_ = -1;
        return false;
    }
    output_.append(buffer, static_cast<std::size_t>(count));
    return true;
}

bool ProcessSession::WaitFor(std::string_view text, std::chrono::milliseconds timeout) {
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

std::optional<std::string> ProcessSession::ReadLine(std::chrono::milliseconds timeout) {
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

void ProcessSession::Send(std::string_view text) {
    std::size_t done = 0;
    while (input_ >= 0 && done < text.size()) {
        const auto written = ::write(input_, text.data() + done, text.size() - done);
        if (written <= 0) {
            break;
        }
        done += static_cast<std::size_t>(written);
    }
}

void ProcessSession::CloseInput() {
    if (input_ >= 0) {
        ::close(input_);
        input_ = -1;
    }
}

int ProcessSession::Finish(std::chrono::milliseconds timeout) {
    if (pid_ <= 0) {
        return -1;
    }
    if (exitCode_) {
        return *exitCode_;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (ReadSome(deadline)) {
    }
    int status = 0;
    // The output may have ended before the program did.
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
    if (pidfd >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ended{pidfd, POLLIN, 0};
        if (::poll(&ended, 1, static_cast<int>(std::max<long long>(left.count(), 0))) != 1) {
            ::kill(pid_, SIGKILL);
        }
        ::close(pidfd);
    }
    ::waitpid(pid_, &status, 0);
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return *exitCode_;
}
