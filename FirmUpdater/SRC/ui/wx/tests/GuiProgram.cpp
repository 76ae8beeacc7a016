#include "GuiProgram.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace guitest {

std::unique_ptr<Child> StartChild(const std::vector<std::string>& arguments,
                                  const std::vector<std::string>& environment) {
    auto child = std::make_unique<Child>(
        arguments.at(0), std::vector<std::string>(arguments.begin() + 1, arguments.end()),
        fu_testing::SessionOptions{.environment = environment, .errorToOutput = false});
    child->CloseInput();
    return child;
}

int Shell(const std::string& command) {
    return std::system(command.c_str());
}

std::string Capture(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[256];
        while (const std::size_t n = fread(chunk, 1, sizeof chunk, pipe)) {
            output.append(chunk, n);
        }
        pclose(pipe);
    }
    return output;
}

std::string LeakSuppressions(const std::string& directory) {
    const std::string path = directory + "/lsan.supp";
    std::ofstream(path)
        << "leak:libfontconfig\nleak:libglib-2.0\nleak:libgobject-2.0\nleak:libgio-2.0\n"
           "leak:libgtk-3\nleak:libgdk-3\nleak:libpango\nleak:libcairo\nleak:libharfbuzz\n"
           "leak:libX11\nleak:libwx_\nleak:libdbus\nleak:libatk\nleak:libgdk_pixbuf\n";
    return "LSAN_OPTIONS=suppressions=" + path;
}

}  // namespace guitest
