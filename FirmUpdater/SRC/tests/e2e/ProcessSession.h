#pragma once
// A program started for an end-to-end test: its standard input is a pipe the test writes
// answers into, its standard output and error are read back. Every wait is bounded; a
// program still running when the session goes is killed.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ProcessSession {
  public:
    // `environment` replaces the whole environment.
    ProcessSession(const std::string& program, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment);
    ~ProcessSession();
    ProcessSession(const ProcessSession&) = delete;
    ProcessSession& operator=(const ProcessSession&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }

    // Reads output until `text` has appeared after what earlier waits consumed; false when
    // the output ends or the time is up first.
    bool WaitFor(std::string_view text, std::chrono::milliseconds timeout);
    // A line of the output (without its line break), after what earlier waits consumed.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
    void Send(std::string_view text);
    void CloseInput();
    // Reads the rest of the output and waits for the program to end; kills it when the
    // time is up first. The exit code, or -1 when it did not exit by itself.
    int Finish(std::chrono::milliseconds timeout);

    const std::string& Output() const { return output_; }

  private:
    // Reads what there is, waiting until the deadline; false at the end of the output.
    bool ReadSome(std::chrono::steady_clock::time_point deadline);

    pid_t pid_ = -1;
    int input_ = -1;
    int output_fd_ = -1;
    std::string output_;
    std::size_t consumed_ = 0;
    std::optional<int> exitCode_;
};
