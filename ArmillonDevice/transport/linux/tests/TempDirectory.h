#pragma once
// A fresh directory under the system's temporary directory, removed with its contents.

#include <filesystem>
#include <string>

namespace ArmillonDevice::testing {

class TempDirectory {
  public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

    // An empty regular file.
    void Touch(const std::string& name) const;

  private:
    std::filesystem::path path_;
};

}  // namespace ArmillonDevice::testing
