#pragma once
// For the tests that run the program itself on a private X server: child processes with a
// hard time limit, shell commands (xdotool), and the leak suppressions a sanitizer build of
// the program needs in GUI mode.

#include <memory>
#include <string>
#include <vector>

#include "Linux_ProcessSession.h"

namespace guitest {

// A program started with exactly `environment`, its standard input at end of file, its
// standard output kept for ReadLine and its errors going to the test's. Killed when the
// object goes while it still runs.
using Child = fu_testing::Linux_ProcessSession;
std::unique_ptr<Child> StartChild(const std::vector<std::string>& arguments,
                                  const std::vector<std::string>& environment);

// Runs a command through the shell; its exit status.
int Shell(const std::string& command);
// Runs a command through the shell; its standard output.
std::string Capture(const std::string& command);

// Writes the suppressions to `directory` and returns the LSAN_OPTIONS variable that uses them.
// The toolkit's process-long caches are no leaks of the program.
std::string LeakSuppressions(const std::string& directory);

}  // namespace guitest
