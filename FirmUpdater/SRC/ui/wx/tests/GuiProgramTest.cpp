// The program itself on a private X server: its windows are found by title, as other copies
// of the tool look for them, and answered with real key presses (xdotool).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "XvfbServer.h"

extern char** environ;

namespace {

constexpr auto kProgramTimeout = std::chrono::seconds(60);

std::string ScratchDir() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

// The toolkit's process-long caches are no leaks of the program; a sanitizer build of the
// program gets these suppressions in its environment, and only in these tests.
std::string LeakSuppressionsFile() {
    const std::string path =
        ScratchDir() + "/firmupdater-gui-lsan-" + std::to_string(getpid()) + ".supp";
    std::ofstream(path)
        << "leak:libfontconfig\nleak:libglib-2.0\nleak:libgobject-2.0\nleak:libgio-2.0\n"
           "leak:libgtk-3\nleak:libgdk-3\nleak:libpango\nleak:libcairo\nleak:libharfbuzz\n"
           "leak:libX11\nleak:libwx_\nleak:libdbus\nleak:libatk\nleak:libgdk_pixbuf\n";
    return path;
}

class Child {
  public:
    Child(const std::vector<std::string>& arguments, const std::vector<std::string>& environment) {
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
        // Answers come from the desktop only: no input, no output to the test's terminal.
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Child() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    // The exit code, or -1 when it had to be killed after the time-out.
    int Wait(std::chrono::seconds timeout) {
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

    bool Started() const { return pid_ > 0; }

  private:
    pid_t pid_ = -1;
};

// Runs a shell command; its exit status.
int Shell(const std::string& command) {
    return std::system(command.c_str());
}

class GuiProgramTest : public testing::Test {
  protected:
    void SetUp() override {
        if (Shell("command -v xdotool >/dev/null 2>&1") != 0) {
            GTEST_SKIP() << "xdotool is not installed (scripts/install-deps installs it)";
        }
        std::string whyNot;
        server_ = XvfbServer::Start(whyNot);
        if (!server_) {
            GTEST_SKIP() << "no X server for this test: " << whyNot;
        }
        suppressions_ = LeakSuppressionsFile();
    }
    void TearDown() override {
        if (!suppressions_.empty()) {
            std::remove(suppressions_.c_str());
        }
    }

    std::vector<std::string> Environment(const std::vector<std::string>& extra) const {
        std::vector<std::string> environment{
            "DISPLAY=" + server_->DisplayName(), "PATH=/usr/bin:/bin", "HOME=" + ScratchDir(),
            "LANG=C.UTF-8", "LSAN_OPTIONS=suppressions=" + suppressions_};
        environment.insert(environment.end(), extra.begin(), extra.end());
        return environment;
    }

    // Waits (bounded) for a window with exactly this title, focuses it and types `keys`.
    int Type(const std::string& title, const std::string& keys) const {
        return Shell("DISPLAY=" + server_->DisplayName() +
                     " timeout 30 sh -c 'id=$(xdotool search --sync --name \"^" + title +
                     "$\" | head -n 1) && xdotool windowfocus --sync \"$id\" key " + keys + "'");
    }

    std::unique_ptr<XvfbServer> server_;
    std::string suppressions_;
};

TEST_F(GuiProgramTest,
       ItsMessageBoxIsAnX11WindowTitledWithTheCaptionEvenWhenGtkIsToldToUseWayland) {
    Child program({FIRMUPDATER_BINARY, "/l:1041", ScratchDir() + "/no-such-image.bin"},
                  Environment({"GDK_BACKEND=wayland", "WAYLAND_DISPLAY=wayland-none"}));
    ASSERT_TRUE(program.Started());
    // Japanese caption; Enter answers the one button.
    EXPECT_EQ(Type("ArmillonGPS ファームウェア更新ツール", "Return"), 0);
    EXPECT_EQ(program.Wait(kProgramTimeout), 1);
}

}  // namespace
