// The program itself, run in the terminal interface with its input piped in. Each run has
// a hard time limit; a run that exceeds it is killed and fails the test.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ChildProcess.h"

namespace {

struct Outcome {
    int exitCode = -1;
    std::string output;
    bool timedOut = false;
};

Outcome RunProgram(const std::vector<std::string>& arguments, const std::string& input,
                   const std::vector<std::string>& environment) {
    fu_testing::ProcessOptions options;
    options.input = input;
    options.environment = environment;
    options.cleanEnvironment = true;
    const auto run = fu_testing::RunProcess(FIRMUPDATER_BINARY, arguments, options);
    if (!run.started) {
        ADD_FAILURE() << "cannot start " << FIRMUPDATER_BINARY;
    }
    return {run.exitCode, run.out, run.timedOut};
}

const std::vector<std::string> kTerminalEnvironment = {"FIRMUPDATER_UI=terminal", "LANG=C"};

// A missing image, and the menu option in the terminal, which has no file chooser: the
// option then changes nothing.
TEST(Program, AMissingImageShowsReadFailedAndExitsWithOne) {
    for (const char* argument : {"no-such-image.bin", "--choose"}) {
        SCOPED_TRACE(argument);
        const auto outcome = RunProgram({argument}, "\n", kTerminalEnvironment);
        ASSERT_FALSE(outcome.timedOut);
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_EQ(outcome.output,
                  "\n== KORVELIN firmware update tool ==\n"
                  "(i) Failed to read the file.\n"
                  "[Enter] OK > \n");
    }
}

TEST(Program, HelpInTheInterfaceLanguageAndVersion) {
    const auto help = RunProgram({"--help", "/l:1041"}, "", kTerminalEnvironment);
    ASSERT_FALSE(help.timedOut);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.output.rfind("使い方: firmupdater", 0), 0u) << help.output;

    const auto shortHelp = RunProgram({"-h", "/l:1041"}, "", kTerminalEnvironment);
    EXPECT_EQ(shortHelp.exitCode, 0);
    EXPECT_EQ(shortHelp.output, help.output);

    const auto version = RunProgram({"--version"}, "", kTerminalEnvironment);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output, "firmupdater " FIRMUPDATER_VERSION "\n");
}

}  // namespace
