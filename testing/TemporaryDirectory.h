#pragma once
// For tests: a fresh directory under the system's temporary directory, removed with
// everything in it when the object goes. Portable: a random name, created exclusively.

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace fu_testing {

class TemporaryDirectory {
  public:
    explicit TemporaryDirectory(const std::string& prefix = "fu-test-") {
        std::random_device seed;
        std::mt19937_64 random(seed());
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            auto candidate = base / (prefix + std::to_string(random()));
            // create_directory is false for a name that exists already: try another.
            if (std::filesystem::create_directory(candidate)) {
                path_ = std::move(candidate);
                return;
            }
        }
        throw std::runtime_error("no temporary directory could be created");
    }
    ~TemporaryDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    // An empty regular file in the directory.
    void Touch(const std::string& name) const { std::ofstream(path_ / name).flush(); }

  private:
    std::filesystem::path path_;
};

}  // namespace fu_testing
