// The directory the program looks for hidraw nodes in.
#include "Linux_HidrawDirectory.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

namespace {

// Sets or clears an environment variable for the life of the object.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = ::getenv(name)) {
            old_ = old;
        }
        Apply(value);
    }
    ~ScopedEnvironment() { Apply(old_); }

  private:
    void Apply(const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name_, value->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    const char* name_;
    std::optional<std::string> old_;
};

TEST(Linux_HidrawDirectoryTest, DirectoryComesFromTheEnvironment) {
    const char* variable = Linux_HidrawDirectory::kVariable;
    {
        ScopedEnvironment env(variable, std::nullopt);
        EXPECT_EQ(Linux_HidrawDirectory::OfProcess(), "/dev");
    }
    {
        ScopedEnvironment env(variable, "");
        EXPECT_EQ(Linux_HidrawDirectory::OfProcess(), "/dev");
    }
    {
        ScopedEnvironment env(variable, "/tmp/watches");
        EXPECT_EQ(Linux_HidrawDirectory::OfProcess(), "/tmp/watches");
    }
}

}  // namespace
