// The program itself, run in the terminal interface with its input piped in. Each run has
// a hard time limit; a run that exceeds it is killed and fails the test.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Outcome {
    int exitCode = -1;
    std::string output;
    bool timedOut = false;
};

Outcome RunProgram(const std::vector<std::string>& arguments, const std::string& input,
                   const std::vector<std::string>& environment) {
    int in[2];
    int out[2];
    if (pipe(in) != 0 || pipe(out) != 0) {
        ADD_FAILURE() << "pipe";
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    for (int fd : {in[0], in[1], out[0], out[1]}) {
        posix_spawn_file_actions_addclose(&actions, fd);
    }
    std::vector<std::string> argv_strings{FIRMUPDATER_BINARY};
    argv_strings.insert(argv_strings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : argv_strings) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> env_strings = environment;
    std::vector<char*> envp;
    for (auto& e : env_strings) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, FIRMUPDATER_BINARY, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    Outcome outcome;
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << FIRMUPDATER_BINARY;
        close(in[1]);
        close(out[0]);
        return outcome;
    }
    signal(SIGPIPE, SIG_IGN);
    if (!input.empty()) {
        [[maybe_unused]] auto written = write(in[1], input.data(), input.size());
    }
    close(in[1]);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    char buffer[4096];
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd fd{out[0], POLLIN, 0};
        if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
            outcome.timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        const auto n = read(out[0], buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        outcome.output.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

const std::vector<std::string> kTerminalEnvironment = {"FIRMUPDATER_UI=terminal", "LANG=C"};

TEST(Program, AMissingImageShowsReadFailedAndExitsWithOne) {
    const auto outcome = RunProgram({"no-such-image.bin"}, "\n", kTerminalEnvironment);
    ASSERT_FALSE(outcome.timedOut);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.output,
              "\n== KORVELIN firmware update tool ==\n"
              "(i) Failed to read the file.\n"
              "[Enter] OK > \n");
}

TEST(Program, HelpInTheInterfaceLanguageAndVersion) {
    const auto help = RunProgram({"--help"}, "", {"FIRMUPDATER_UI=terminal", "LANG=ja_JP.UTF-8"});
    ASSERT_FALSE(help.timedOut);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.output.rfind("使い方: firmupdater", 0), 0u) << help.output;

    const auto version = RunProgram({"--version"}, "", kTerminalEnvironment);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output, "firmupdater " FIRMUPDATER_VERSION "\n");
}

}  // namespace
