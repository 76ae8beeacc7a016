#include "GuiProgram.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace guitest {

ScratchDirectory::ScratchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "fu-gui-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        path_ = pattern;
    }
}

ScratchDirectory::~ScratchDirectory() {
    if (!path_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
}

Child::Child(const std::vector<std::string>& arguments,
             const std::vector<std::string>& environment) {
    std::vector<char*> argv;
    for (const auto& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& variable : environment) {
        envp.push_back(const_cast<char*>(variable.c_str()));
    }
    envp.push_back(nullptr);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
        pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    output_ = fds[0];
}

Child::~Child() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (output_ >= 0) {
        close(output_);
    }
}

std::optional<std::string> Child::ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        if (const auto end = buffered_.find('\n'); end != std::string::npos) {
            auto line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable{output_, POLLIN, 0};
        if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
            return std::nullopt;
        }
        char chunk[256];
        const ssize_t n = read(output_, chunk, sizeof chunk);
        if (n <= 0) {
            return std::nullopt;
        }
        buffered_.append(chunk, static_cast<std::size_t>(n));
    }
}

int Child::Wait(std::chrono::milliseconds timeout) {
    if (pid_ <= 0) {
        return -1;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Child::Signal(int signal) {
    if (pid_ > 0) {
        kill(pid_, signal);
    }
}

int Shell(const std::string& command) {
    return std::system(command.c_str());
}

std::string Capture(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[256];
        while (const std::size_t n = fread(chunk, 1, sizeof chunk, pipe)) {
            output.append(chunk, n);
        }
        pclose(pipe);
    }
    return output;
}

std::string LeakSuppressions(const std::string& directory) {
    const std::string path = directory + "/lsan.supp";
    std::ofstream(path)
        << "leak:libfontconfig\nleak:libglib-2.0\nleak:libgobject-2.0\nleak:libgio-2.0\n"
           "leak:libgtk-3\nleak:libgdk-3\nleak:libpango\nleak:libcairo\nleak:libharfbuzz\n"
           "leak:libX11\nleak:libwx_\nleak:libdbus\nleak:libatk\nleak:libgdk_pixbuf\n";
    return "LSAN_OPTIONS=suppressions=" + path;
}

}  // namespace guitest
