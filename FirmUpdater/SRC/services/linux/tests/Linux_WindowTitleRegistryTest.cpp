// The registry through which terminal copies of the tool show their windows to each other.

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "Linux_WindowTitleRegistry.h"

namespace {

namespace fs = std::filesystem;

const std::wstring kCaption = L"KORVELIN firmware update tool";

class TitleRegistry : public testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "fu-titles-XXXXXX").string();
        base = ::mkdtemp(pattern.data());
    }
    void TearDown() override { fs::remove_all(base); }

    std::size_t Entries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(base + "/windows"), fs::directory_iterator()));
    }

    std::string base;
};

TEST_F(TitleRegistry, ATitleIsFoundExactlyWhileItsWindowShows) {
    Linux_WindowTitleRegistry registry(base + "/windows");
    Linux_WindowTitleRegistry other(base + "/windows");
    EXPECT_FALSE(other.HasWindowTitled(kCaption));
    {
        const auto shown = registry.Announce(kCaption);
        ASSERT_NE(shown, nullptr);
        const auto japanese = registry.Announce(L"ファームウェア更新ツール");
        EXPECT_TRUE(other.HasWindowTitled(kCaption));
        EXPECT_TRUE(other.HasWindowTitled(L"ファームウェア更新ツール"));
        EXPECT_FALSE(other.HasWindowTitled(L"KORVELIN firmware update"));
        EXPECT_FALSE(other.HasWindowTitled(kCaption + L" "));
        EXPECT_EQ(Entries(), 2u);
    }
    EXPECT_FALSE(other.HasWindowTitled(kCaption));
    EXPECT_EQ(Entries(), 0u);
    EXPECT_EQ(fs::status(base + "/windows").permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST_F(TitleRegistry, TheTitleOfAProcessThatDiedIsNotFoundAndIsClearedAway) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        Linux_WindowTitleRegistry registry(base + "/windows");
        const auto shown = registry.Announce(kCaption);
        const char done = shown != nullptr ? 'y' : 'n';
        [[maybe_unused]] auto written = ::write(ready[1], &done, 1);
        ::pause();
        ::_exit(0);
    }
    char done = 0;
    ASSERT_EQ(::read(ready[0], &done, 1), 1);
    ASSERT_EQ(done, 'y');
    Linux_WindowTitleRegistry registry(base + "/windows");
    EXPECT_TRUE(registry.HasWindowTitled(kCaption));

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(Entries(), 1u);
    EXPECT_FALSE(registry.HasWindowTitled(kCaption));
    EXPECT_EQ(Entries(), 0u);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST_F(TitleRegistry, ADirectoryOthersCanWriteToIsNotTrusted) {
    fs::create_directory(base + "/windows");
    fs::permissions(base + "/windows", fs::perms::all);
    Linux_WindowTitleRegistry registry(base + "/windows");
    EXPECT_EQ(registry.Announce(kCaption), nullptr);
    EXPECT_FALSE(registry.HasWindowTitled(kCaption));

    fs::remove(base + "/windows");
    fs::create_symlink(base, base + "/windows");
    EXPECT_EQ(registry.Announce(kCaption), nullptr);
}

}  // namespace
