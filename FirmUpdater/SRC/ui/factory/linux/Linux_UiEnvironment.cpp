// The interface's environment on Linux: the variables and whether the standard streams are
// terminals.

#include <unistd.h>

#include <cstdlib>

#include "UiFactory.h"

namespace ui {
namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

UiEnvironment UiEnvironment::OfProcess() {
    UiEnvironment environment;
    if (const char* value = std::getenv("FIRMUPDATER_UI")) {
        environment.uiVariable = value;
    }
    environment.displayReachable = IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
    environment.outputIsTerminal = isatty(STDOUT_FILENO) == 1;
    environment.inputIsTerminal = isatty(STDIN_FILENO) == 1;
    return environment;
}

}  // namespace ui
