// The registry through which terminal copies of the tool show their windows to each other.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "Linux_HoldingChild.h"
#include "Linux_WindowTitleRegistry.h"
#include "TemporaryDirectory.h"

namespace {

namespace fs = std::filesystem;

const std::wstring kCaption = L"KORVELIN firmware update tool";

class TitleRegistry : public testing::Test {
  protected:
    std::size_t Entries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(base + "/windows"), fs::directory_iterator()));
    }

    fu_testing::TemporaryDirectory scratch{"fu-titles-"};
    const std::string base = scratch.Path().string();
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
    fu_testing::Linux_HoldingChild child([&](const fu_testing::Linux_HoldingChild::Hold& hold) {
        Linux_WindowTitleRegistry registry(base + "/windows");
        const auto shown = registry.Announce(kCaption);
        hold(shown != nullptr ? 'y' : 'n');
    });
    ASSERT_TRUE(child.Started());
    ASSERT_EQ(child.Answer(), 'y');
    Linux_WindowTitleRegistry registry(base + "/windows");
    EXPECT_TRUE(registry.HasWindowTitled(kCaption));

    child.Kill();
    EXPECT_EQ(Entries(), 1u);
    EXPECT_FALSE(registry.HasWindowTitled(kCaption));
    EXPECT_EQ(Entries(), 0u);
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
