#pragma once
// For tests: runs a program as a child process, its input given, its output and error
// output collected, and kills it when it outlives a time limit. Each platform's folder
// (linux/, windows/) implements RunProcess.

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace fu_testing {

struct ProcessOptions {
    std::string input;  // the child's standard input, then end of file
    // NAME=VALUE entries set for the child on top of the test's own environment; with
    // cleanEnvironment, the child's whole environment (Windows keeps the variables the
    // system itself needs: SystemRoot, windir).
    std::vector<std::string> environment;
    bool cleanEnvironment = false;
    std::chrono::milliseconds timeLimit{60000};
};

struct ProcessResult {
    bool started = false;
    bool timedOut = false;  // killed at the time limit
    int exitCode = -1;      // -1 when it did not exit by itself
    // What the child wrote to its standard output and error output; Windows line ends
    // (\r\n) read as \n.
    std::string out;
    std::string err;
};

ProcessResult RunProcess(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments,
                         const ProcessOptions& options = {});

}  // namespace fu_testing
