#include "Windows_UiEnvironment.h"
// Windows_UiEnvironment.h first: windows.h defines macros named like the message box constants.
#include <windows.h>

#include <cstdlib>

namespace {

bool IsConsole(DWORD stream) {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(stream), &mode) != 0;
}

}  // namespace

ui::UiEnvironment Windows_UiEnvironment::OfProcess() {
    ui::UiEnvironment environment;
    if (const char* value = std::getenv("FIRMUPDATER_UI")) {
        environment.uiVariable = value;
    }
    environment.displayReachable = ::GetConsoleWindow() == nullptr;
    environment.outputIsTerminal = IsConsole(STD_OUTPUT_HANDLE);
    environment.inputIsTerminal = IsConsole(STD_INPUT_HANDLE);
    return environment;
}
