#pragma once
// For the tests that run the program itself on a private X server: child processes with a
// hard time limit, shell commands (xdotool), and the leak suppressions a sanitizer build of
// the program needs in GUI mode.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace guitest {

// A temporary directory, removed when the object goes.
class ScratchDirectory {
  public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

// A program started with exactly `environment`, standard input from /dev/null; its
// standard output is kept for ReadLine. Killed when the object goes while it still runs.
class Child {
  public:
    Child(const std::vector<std::string>& arguments, const std::vector<std::string>& environment);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    // A line of standard output, nothing when it ends or the time is up first.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
    // The exit code, or -1 when it had to be killed after the time-out.
    int Wait(std::chrono::milliseconds timeout);
    void Signal(int signal);

  private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string buffered_;
};

// Runs a command through the shell; its exit status.
int Shell(const std::string& command);
// Runs a command through the shell; its standard output.
std::string Capture(const std::string& command);

// Writes the suppressions to `directory` and returns the LSAN_OPTIONS variable that uses them.
// The toolkit's process-long caches are no leaks of the program.
std::string LeakSuppressions(const std::string& directory);

}  // namespace guitest
