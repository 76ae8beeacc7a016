#include "XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "Linux_UniqueFd.h"

namespace {

constexpr int kStartTimeoutMs = 15000;

void StopProcess(pid_t pid) {
    kill(pid, SIGTERM);
    // A clean stop removes the server's lock file; give it a moment, then force it.
    for (int i = 0; i < 300; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

}  // namespace

std::unique_ptr<XvfbServer> XvfbServer::Start(std::string& whyNot) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        whyNot = "pipe failed";
        return nullptr;
    }
    common::Linux_UniqueFd readEnd(fds[0]);
    common::Linux_UniqueFd writeEnd(fds[1]);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
        whyNot = "fork failed";
        return nullptr;
    }
    if (pid == 0) {
        // The server must not outlive a test process that crashes or is killed.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) {
            _exit(1);
        }
        const int fd = dup(writeEnd.Get());  // without close-on-exec: Xvfb writes its display here
        const std::string fdText = std::to_string(fd);
        const int devNull = open("/dev/null", O_RDWR);
        dup2(devNull, STDIN_FILENO);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        // -noreset: the server would otherwise restart whenever its last client goes, and
        // refuse connections meanwhile.
        execlp("Xvfb", "Xvfb", "-displayfd", fdText.c_str(), "-nolisten", "tcp", "-screen", "0",
               "1280x1024x24", "-nocursor", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    writeEnd.Reset();

    std::string number;
    pollfd readable{readEnd.Get(), POLLIN, 0};
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    bool complete = false;
    while (!complete) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            break;
        }
        const int ready = poll(&readable, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            break;
        }
        char buffer[16];
        const ssize_t n = read(readEnd.Get(), buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[i] == '\n') {
                complete = true;
                break;
            }
            number += buffer[i];
        }
    }
    readEnd.Reset();
    if (!complete || number.empty()) {
        int status = 0;
        const bool exited = waitpid(pid, &status, WNOHANG) == pid;
        if (exited && WIFEXITED(status) && WEXITSTATUS(status) == 127) {
            whyNot = "Xvfb is not installed (scripts/install-deps installs it)";
        } else {
            whyNot = "Xvfb did not start";
            if (!exited) {
                StopProcess(pid);
            }
        }
        return nullptr;
    }
    return std::unique_ptr<XvfbServer>(new XvfbServer(pid, ":" + number));
}

XvfbServer::~XvfbServer() {
    StopProcess(pid_);
}
