#pragma once
// For tests: a program started as a child process and talked to while it runs. Its standard
// input is a pipe the test writes into (CloseInput gives it end of file), its standard
// output (and error output, unless it goes to the test's) is read back. Every wait is
// bounded; a program still running when the session goes is killed.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Linux_UniqueFd.h"

namespace fu_testing {

struct SessionOptions {
    // NAME=VALUE entries set for the child on top of the test's own environment; with
    // cleanEnvironment, the child's whole environment.
    std::vector<std::string> environment;
    bool cleanEnvironment = true;
    bool errorToOutput = true;  // else the child's errors go to the test's error output
};

class Linux_ProcessSession {
  public:
    // `arguments` without the program's own name. The child runs in a process group of its
    // own, so that a signal meant for the test's group does not reach it.
    Linux_ProcessSession(const std::string& program, const std::vector<std::string>& arguments,
                         const SessionOptions& options);
    ~Linux_ProcessSession();
    Linux_ProcessSession(const Linux_ProcessSession&) = delete;
    Linux_ProcessSession& operator=(const Linux_ProcessSession&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }

    // Reads output until `text` has appeared after what earlier waits consumed; false when
    // the output ends or the time is up first.
    bool WaitFor(std::string_view text, std::chrono::milliseconds timeout);
    // A line of the output (without its line break), after what earlier waits consumed.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
    void Send(std::string_view text);
    void CloseInput();
    void Signal(int signal);
    // Waits for the program to end, reading its output meanwhile; kills it when the time
    // is up first. The exit code, or -1 when it did not exit by itself.
    int Finish(std::chrono::milliseconds timeout);

    const std::string& Output() const { return output_; }

  private:
    // Reads what there is, waiting until the deadline; false at the end of the output.
    bool ReadSome(std::chrono::steady_clock::time_point deadline);
    void CloseOutput();

    pid_t pid_ = -1;
    common::Linux_UniqueFd input_;
    common::Linux_UniqueFd outputFd_;
    std::string output_;
    std::size_t consumed_ = 0;
    std::optional<int> exitCode_;
};

}  // namespace fu_testing
