#include "Linux_UiEnvironment.h"

#include <unistd.h>

#include <cstdlib>

namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

ui::UiEnvironment Linux_UiEnvironment::OfProcess() {
    ui::UiEnvironment environment;
    if (const char* value = std::getenv("FIRMUPDATER_UI")) {
        environment.uiVariable = value;
    }
    environment.displayReachable = IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
    environment.outputIsTerminal = isatty(STDOUT_FILENO) == 1;
    environment.inputIsTerminal = isatty(STDIN_FILENO) == 1;
    return environment;
}
