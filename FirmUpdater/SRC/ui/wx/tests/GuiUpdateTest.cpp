// A whole update in the desktop interface: the program on a private X server against a
// virtual watch that `watchsim serve` presents as a hidraw node, answered with real key
// presses. Skipped without Xvfb, xdotool or FUSE.

#include <signal.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "GuiProgram.h"
#include "Linux_Mounts.h"
#include "SampleImage.h"
#include "TemporaryDirectory.h"
#include "XvfbServer.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using guitest::Child;
using guitest::Shell;

constexpr auto kLimit = 60s;
constexpr char kCaption[] = "KORVELIN firmware update tool";

class GuiUpdateTest : public testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists("/dev/fuse")) {
            GTEST_SKIP() << "no /dev/fuse: the virtual watch cannot be mounted here";
        }
        if (Shell("command -v xdotool >/dev/null 2>&1") != 0) {
            GTEST_SKIP() << "xdotool is not installed (scripts/install-deps installs it)";
        }
        std::string whyNot;
        display_ = XvfbServer::Start(whyNot);
        if (!display_) {
            GTEST_SKIP() << "no X server for this test: " << whyNot;
        }
        const fs::path base = scratch_.Path();
        fs::create_directories(base / "dev");
        fs::create_directories(base / "run");
        fs::permissions(base / "run", fs::perms::owner_all);
        const auto image = firmware::SampleImage().Build();
        std::ofstream(base / "image.bin", std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
    }

    // Starts the watch with these extra options of `watchsim serve`; false when FUSE cannot
    // be mounted here.
    bool Serve(std::vector<std::string> options = {}) {
        const fs::path base = scratch_.Path();
        std::vector<std::string> arguments{
            WATCHSIM_BINARY,         "serve",   "--dir",
            (base / "dev").string(), "--state", (base / "state").string(),
            "--reboot-delay-ms",     "50"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        watch_ = guitest::StartChild(arguments, {"PATH=/usr/bin:/bin"});
        const auto node = watch_->ReadLine(20s);
        if (!node || node->find("/hidraw") == std::string::npos) {
            StopWatch();
            return false;
        }
        return true;
    }

    void TearDown() override { StopWatch(); }

    void StopWatch() {
        if (!watch_) {
            return;
        }
        watch_->Signal(SIGTERM);
        watch_->Finish(20s);
        watch_.reset();
        // Whatever happened to the server, no mount stays behind.
        fu_testing::Linux_DetachFuseMount(scratch_.Path() / "dev");
    }

    std::unique_ptr<Child> StartProgram(const std::vector<std::string>& options = {}) const {
        const fs::path base = scratch_.Path();
        std::vector<std::string> arguments{FIRMUPDATER_BINARY, (base / "image.bin").string()};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return guitest::StartChild(
            arguments,
            std::vector<std::string>{"DISPLAY=" + display_->DisplayName(), "PATH=/usr/bin:/bin",
                                     "HOME=" + base.string(), "LANG=C.UTF-8", "FIRMUPDATER_UI=gui",
                                     "FIRMUPDATER_HIDRAW_DIR=" + (base / "dev").string(),
                                     "XDG_RUNTIME_DIR=" + (base / "run").string(),
                                     // Retry pauses of at most 50 ms.
                                     "FIRMUPDATER_TEST_MAX_PAUSE_MS=50",
                                     guitest::LeakSuppressions(base.string())});
    }

    // The shown X windows of `program` titled with the caption.
    std::vector<std::string> WindowsOf(const Child& program) const {
        const auto ids = guitest::Capture(
            "DISPLAY=" + display_->DisplayName() + " xdotool search --all --onlyvisible --pid " +
            std::to_string(program.Pid()) + " --name '^" + kCaption + "$' 2>/dev/null");
        std::istringstream words(ids);
        return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
    }

    // Waits (bounded) until `program` shows a window titled with the caption and `after`, a
    // window that is to close first, has gone. Empty when none came.
    std::string WindowOf(const Child& program, const std::string& after = {}) const {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        std::string found;
        while (found.empty() && std::chrono::steady_clock::now() < deadline) {
            const auto windows = WindowsOf(program);
            if (!windows.empty() &&
                std::find(windows.begin(), windows.end(), after) == windows.end()) {
                found = windows.front();
            } else {
                std::this_thread::sleep_for(50ms);
            }
        }
        return found;
    }

    int Press(const std::string& window, const std::string& keys) const {
        return Shell("DISPLAY=" + display_->DisplayName() +
                     " timeout 30 xdotool windowfocus --sync " + window + " key " + keys);
    }

    // Waits (bounded) until the program's log file holds `text`.
    static bool LogSays(const std::string& log, const std::string& text) {
        const auto deadline = std::chrono::steady_clock::now() + kLimit;
        while (std::chrono::steady_clock::now() < deadline) {
            std::ifstream file(log);
            const std::string content((std::istreambuf_iterator<char>(file)),
                                      std::istreambuf_iterator<char>());
            if (content.find(text) != std::string::npos) {
                return true;
            }
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }

    std::string WatchVersion() const {
        std::string version;
        std::ifstream(scratch_.Path() / "state" / "version") >> version;
        return version;
    }

    fu_testing::TemporaryDirectory scratch_{"fu-gui-"};
    std::unique_ptr<XvfbServer> display_;
    std::unique_ptr<Child> watch_;
};

#define SERVE_OR_SKIP(...)                                       \
    if (!Serve(__VA_ARGS__)) {                                   \
        GTEST_SKIP() << "watchsim serve cannot mount FUSE here"; \
    }

TEST_F(GuiUpdateTest, YesUpdatesTheWatchAndTheCompletionMessageEndsTheRunWithZero) {
    SERVE_OR_SKIP();
    const auto log = (scratch_.Path() / "run.log").string();
    auto program = StartProgram({"--log=" + log});
    const auto confirmation = WindowOf(*program);
    ASSERT_FALSE(confirmation.empty());
    // No has the focus; Shift+Tab moves it to Yes.
    ASSERT_EQ(Press(confirmation, "shift+Tab Return"), 0);
    // The progress dialog takes the confirmation's place (one dialog at a time); once both
    // have closed, the completion message is the next window.
    const auto progress = WindowOf(*program, confirmation);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(WindowsOf(*program).size(), 1u) << "the confirmation is hidden";
    ASSERT_TRUE(LogSays(log, "outcome: update completed"));
    const auto completed = WindowOf(*program, progress);
    ASSERT_FALSE(completed.empty());
    ASSERT_EQ(Press(completed, "Return"), 0);
    EXPECT_EQ(program->Finish(kLimit), 0);
    StopWatch();
    EXPECT_EQ(WatchVersion(), "01.30");
}

TEST_F(GuiUpdateTest, ASecondCopyStartedWhileTheFirstShowsADialogReportsBusy) {
    SERVE_OR_SKIP();
    auto first = StartProgram();
    const auto confirmation = WindowOf(*first);
    ASSERT_FALSE(confirmation.empty());

    auto second = StartProgram();
    const auto busy = WindowOf(*second);
    ASSERT_FALSE(busy.empty());
    // One OK ends it: the busy message, not a connection prompt (Enter there is Retry).
    ASSERT_EQ(Press(busy, "Return"), 0);
    EXPECT_EQ(second->Finish(kLimit), 1);

    // The first copy goes on undisturbed: No, then the aborted message.
    ASSERT_EQ(Press(confirmation, "Return"), 0);
    const auto aborted = WindowOf(*first, confirmation);
    ASSERT_FALSE(aborted.empty());
    ASSERT_EQ(Press(aborted, "Return"), 0);
    EXPECT_EQ(first->Finish(kLimit), 1);
    StopWatch();
    EXPECT_EQ(WatchVersion(), "01.20");
}

TEST_F(GuiUpdateTest, AFailedUpdateShowsTheWorkersMessageOverTheProgressDialogAndEndsOnlyAfterIt) {
    // Every flash write fails, also when retried.
    SERVE_OR_SKIP({"--fault", "write:error=0x0005"});
    auto program = StartProgram();
    const auto confirmation = WindowOf(*program);
    ASSERT_FALSE(confirmation.empty());
    ASSERT_EQ(Press(confirmation, "shift+Tab Return"), 0);

    // The progress dialog and the worker's message open at once, the confirmation hidden
    // beneath them; the message is the newest window.
    std::vector<std::string> windows;
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while ((windows = WindowsOf(*program)).size() < 2 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(std::find(windows.begin(), windows.end(), confirmation), windows.end());
    const auto message = *std::max_element(
        windows.begin(), windows.end(),
        [](const auto& a, const auto& b) { return std::stoul(a) < std::stoul(b); });
    ASSERT_EQ(Press(message, "Return"), 0);
    EXPECT_EQ(program->Finish(kLimit), 1);
    StopWatch();
    EXPECT_EQ(WatchVersion(), "01.20");
}

}  // namespace
