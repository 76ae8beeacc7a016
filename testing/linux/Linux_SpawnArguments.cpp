#include "Linux_SpawnArguments.h"

extern char** environ;

namespace fu_testing {

Linux_SpawnArguments::Linux_SpawnArguments(const std::string& program,
                                           const std::vector<std::string>& arguments,
                                           const std::vector<std::string>& environment,
                                           bool cleanEnvironment) {
    arguments_.push_back(program);
    arguments_.insert(arguments_.end(), arguments.begin(), arguments.end());
    if (!cleanEnvironment) {
        for (char** entry = environ; *entry != nullptr; ++entry) {
            environment_.emplace_back(*entry);
        }
    }
    for (const auto& added : environment) {
        const auto name = added.substr(0, added.find('=') + 1);
        std::erase_if(environment_, [&](const std::string& e) { return e.starts_with(name); });
        environment_.push_back(added);
    }
    for (auto& a : arguments_) {
        argv_.push_back(a.data());
    }
    argv_.push_back(nullptr);
    for (auto& e : environment_) {
        envp_.push_back(e.data());
    }
    envp_.push_back(nullptr);
}

}  // namespace fu_testing
