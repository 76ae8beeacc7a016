#include "Linux_Mounts.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace fu_testing {
namespace {

// The table writes blanks, tabs, newlines and backslashes of a path as octal escapes.
std::string Unescaped(const std::string& field) {
    std::string path;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            path += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            path += field[i];
        }
    }
    return path;
}

}  // namespace

bool Linux_IsMounted(const std::filesystem::path& directory) {
    std::ifstream table("/proc/self/mountinfo");
    std::string line;
    while (std::getline(table, line)) {
        // ID, parent ID, device, root, then the mount point.
        std::istringstream fields(line);
        std::string field;
        for (int i = 0; i < 5 && fields >> field; ++i) {
        }
        if (Unescaped(field) == directory.string()) {
            return true;
        }
    }
    return false;
}

void Linux_DetachFuseMount(const std::filesystem::path& directory) {
    const std::string command = "fusermount3 -u -z '" + directory.string() + "' 2>/dev/null";
    [[maybe_unused]] const int status = std::system(command.c_str());
}

}  // namespace fu_testing
