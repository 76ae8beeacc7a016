// The program itself on a private X server: its windows are found by title, as other copies
// of the tool look for them, and answered with real key presses (xdotool).

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "GuiProgram.h"
#include "TemporaryDirectory.h"
#include "XvfbServer.h"

namespace {

using namespace std::chrono_literals;
using guitest::Shell;

constexpr auto kProgramLimit = 60s;

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
    }

    std::vector<std::string> Environment(const std::vector<std::string>& extra) const {
        std::vector<std::string> environment{"DISPLAY=" + server_->DisplayName(),
                                             "PATH=/usr/bin:/bin",
                                             "HOME=" + scratch_.Path().string(),
                                             "LANG=C.UTF-8",
                                             "XDG_RUNTIME_DIR=" + scratch_.Path().string(),
                                             guitest::LeakSuppressions(scratch_.Path().string())};
        environment.insert(environment.end(), extra.begin(), extra.end());
        return environment;
    }

    // Waits (bounded) for a window with exactly this title, focuses it and types `keys`.
    int Type(const std::string& title, const std::string& keys) const {
        return Shell("DISPLAY=" + server_->DisplayName() +
                     " timeout 30 sh -c 'id=$(xdotool search --sync --name \"^" + title +
                     "$\" | head -n 1) && xdotool windowfocus --sync \"$id\" key " + keys + "'");
    }

    fu_testing::TemporaryDirectory scratch_{"fu-gui-"};
    std::unique_ptr<XvfbServer> server_;
};

TEST_F(GuiProgramTest,
       ItsMessageBoxIsAnX11WindowTitledWithTheCaptionEvenWhenGtkIsToldToUseWayland) {
    const auto program = guitest::StartChild(
        {FIRMUPDATER_BINARY, "/l:1041", (scratch_.Path() / "no-such-image.bin").string()},
        Environment({"GDK_BACKEND=wayland", "WAYLAND_DISPLAY=wayland-none"}));
    ASSERT_TRUE(program->Started());
    // Japanese caption; Enter answers the one button.
    EXPECT_EQ(Type("ArmillonGPS ファームウェア更新ツール", "Return"), 0);
    EXPECT_EQ(program->Finish(kProgramLimit), 1);
}

}  // namespace
