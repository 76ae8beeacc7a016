// Child processes on Linux: posix_spawn with the standard streams on files of a private
// directory (no pipe to keep drained), and a process file descriptor polled for the end.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ChildProcess.h"
#include "Linux_RetryInterrupted.h"
#include "Linux_SpawnArguments.h"
#include "Linux_UniqueFd.h"
#include "ProcessStreamFiles.h"

namespace fu_testing {
namespace {

// Waits for the child's end for at most `limit`; false when it is still running.
bool WaitForEnd(pid_t pid, std::chrono::milliseconds limit) {
    const common::Linux_UniqueFd descriptor(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
    if (!descriptor.IsValid()) {
        return true;  // no process descriptors: waitpid waits without a limit
    }
    pollfd fd{descriptor.Get(), POLLIN, 0};
    const int ready = common::Linux_RetryInterrupted(
        [&] { return ::poll(&fd, 1, static_cast<int>(limit.count())); });
    return ready > 0;
}

}  // namespace

ProcessResult RunProcess(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments, const ProcessOptions& options) {
    ProcessResult result;
    const ProcessStreamFiles streams(options.input);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, streams.In().c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, streams.Out().c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, streams.Err().c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const Linux_SpawnArguments spawn(program.string(), arguments, options.environment,
                                     options.cleanEnvironment);

    pid_t pid = 0;
    const int spawned =
        ::posix_spawn(&pid, program.c_str(), &actions, nullptr, spawn.Argv(), spawn.Envp());
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
    common::Linux_RetryInterrupted([&] { return ::waitpid(pid, &status, 0); });
    result.exitCode = !result.timedOut && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ProcessStreamFiles::Read(streams.Out());
    result.err = ProcessStreamFiles::Read(streams.Err());
    return result;
}

}  // namespace fu_testing
