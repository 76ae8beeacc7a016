// Child processes on Linux: posix_spawn with the standard streams on files of a private
// directory (no pipe to keep drained), and a process file descriptor polled for the end.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>

#include "ChildProcess.h"
#include "TemporaryDirectory.h"

extern char** environ;

namespace fu_testing {
namespace {

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The environment the child gets: the test's own or none, then the options' entries, each
// replacing an entry of the same name.
std::vector<std::string> ChildEnvironment(const ProcessOptions& options) {
    std::vector<std::string> entries;
    if (!options.cleanEnvironment) {
        for (char** entry = environ; *entry != nullptr; ++entry) {
            entries.emplace_back(*entry);
        }
    }
    for (const auto& added : options.environment) {
        const auto name = added.substr(0, added.find('=') + 1);
        std::erase_if(entries, [&](const std::string& e) { return e.starts_with(name); });
        entries.push_back(added);
    }
    return entries;
}

// Waits for the child's end for at most `limit`; false when it is still running.
bool WaitForEnd(pid_t pid, std::chrono::milliseconds limit) {
    const int descriptor = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (descriptor < 0) {
        return true;  // no process descriptors: waitpid waits without a limit
    }
    pollfd fd{descriptor, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&fd, 1, static_cast<int>(limit.count()));
    } while (ready < 0 && errno == EINTR);
    ::close(descriptor);
    return ready > 0;
}

}  // namespace

ProcessResult RunProcess(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments, const ProcessOptions& options) {
    ProcessResult result;
    const TemporaryDirectory streams("fu-child-");
    const auto in = streams.Path() / "in";
    const auto out = streams.Path() / "out";
    const auto err = streams.Path() / "err";
    std::ofstream(in, std::ios::binary) << options.input;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> argumentStrings{program.string()};
    argumentStrings.insert(argumentStrings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : argumentStrings) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> environmentStrings = ChildEnvironment(options);
    std::vector<char*> envp;
    for (auto& e : environmentStrings) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    pid_t pid = 0;
    const int spawned =
        ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return result;
    }
    result.started = true;
    if (!WaitForEnd(pid, options.timeLimit)) {
        result.timedOut = true;
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = !result.timedOut && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = Slurp(out);
    result.err = Slurp(err);
    return result;
}

}  // namespace fu_testing
