#pragma once
// For the test support's child processes: the child's standard streams as files in a private
// directory (input written beforehand, output read back afterwards), so that no pipe has to
// be kept drained while the child runs.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "TemporaryDirectory.h"

namespace fu_testing {

class ProcessStreamFiles {
  public:
    explicit ProcessStreamFiles(const std::string& input) {
        std::ofstream(In(), std::ios::binary) << input;
    }

    std::filesystem::path In() const { return directory_ / "in"; }
    std::filesystem::path Out() const { return directory_ / "out"; }
    std::filesystem::path Err() const { return directory_ / "err"; }

    static std::string Read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

  private:
    TemporaryDirectory directory_{"fu-child-"};
};

}  // namespace fu_testing
