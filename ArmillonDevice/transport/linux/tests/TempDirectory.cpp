#include "TempDirectory.h"

#include <stdlib.h>

#include <fstream>
#include <stdexcept>
#include <system_error>

namespace ArmillonDevice::testing {

TempDirectory::TempDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "hidraw-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary directory");
    }
    path_ = pattern;
}

TempDirectory::~TempDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TempDirectory::Touch(const std::string& name) const {
    std::ofstream(path_ / name).flush();
}

}  // namespace ArmillonDevice::testing
