#pragma once
// For the test support's child processes on Linux: the argument and environment arrays
// posix_spawn takes, owned together with their strings.

#include <string>
#include <vector>

namespace fu_testing {

class Linux_SpawnArguments {
  public:
    // The environment: the test's own (or none, when clean), then `environment`'s NAME=VALUE
    // entries, each replacing an entry of the same name.
    Linux_SpawnArguments(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment, bool cleanEnvironment);
    Linux_SpawnArguments(const Linux_SpawnArguments&) = delete;
    Linux_SpawnArguments& operator=(const Linux_SpawnArguments&) = delete;

    char* const* Argv() const { return argv_.data(); }
    char* const* Envp() const { return envp_.data(); }

  private:
    std::vector<std::string> arguments_;
    std::vector<std::string> environment_;
    std::vector<char*> argv_;
    std::vector<char*> envp_;
};

}  // namespace fu_testing
