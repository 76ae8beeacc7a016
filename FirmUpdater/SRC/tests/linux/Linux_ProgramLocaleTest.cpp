// The program takes its interface language from the POSIX locale variables it is started
// with.

#include <gtest/gtest.h>

#include "ChildProcess.h"

namespace {

TEST(Program, HelpInTheLanguageOfTheLocaleVariables) {
    fu_testing::ProcessOptions options;
    options.environment = {"FIRMUPDATER_UI=terminal", "LANG=ja_JP.UTF-8"};
    options.cleanEnvironment = true;
    const auto help = fu_testing::RunProcess(FIRMUPDATER_BINARY, {"--help"}, options);
    ASSERT_TRUE(help.started) << "cannot start " << FIRMUPDATER_BINARY;
    ASSERT_FALSE(help.timedOut);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("使い方: firmupdater", 0), 0u) << help.out;
}

}  // namespace
