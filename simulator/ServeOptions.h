#pragma once
// The command line of `watchsim serve`:
//
//   watchsim serve --dir DIR [--count N] [--vid 0xVVVV] [--pid 0xPPPP] [--model XXXX]
//                  [--version XXXXX] [--hardware-text TEXT] [--report-length N]
//                  [--latency-us N] [--reboot-delay-ms N] [--fault PLAN]...
//                  [--state SDIR] [--trace FILE]

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "WatchConfig.h"

namespace watchsim {

struct ServeOptions {
    std::filesystem::path directory;
    std::size_t count = 1;
    WatchConfig watch;  // every watch is made from this, faults included
    std::filesystem::path stateDirectory;
    std::filesystem::path traceFile;
    bool help = false;
};

class UsageError : public std::invalid_argument {
  public:
    using std::invalid_argument::invalid_argument;
};

// arguments: everything after the program name. Throws UsageError.
ServeOptions ParseServeOptions(const std::vector<std::string>& arguments);

// Where watch `index` of `count` keeps its state: the directory itself for a single watch,
// a subdirectory hidrawN of it for several.
std::filesystem::path StateDirectoryFor(const ServeOptions& options, std::size_t index);

const char* ServeUsage();

}  // namespace watchsim
