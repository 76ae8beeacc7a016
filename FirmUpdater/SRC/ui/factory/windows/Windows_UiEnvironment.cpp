// The interface's environment on Windows: FIRMUPDATER_UI, and whether the standard streams
// are the console. Windows always has a desktop; a program started in a console window
// talks there.

#include "UiFactory.h"
// UiFactory.h first: windows.h defines macros named like the message box constants.
#include <windows.h>

#include <cstdlib>

namespace ui {
namespace {

bool IsConsole(DWORD stream) {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(stream), &mode) != 0;
}

}  // namespace

UiEnvironment UiEnvironment::OfProcess() {
    UiEnvironment environment;
    if (const char* value = std::getenv("FIRMUPDATER_UI")) {
        environment.uiVariable = value;
    }
    environment.displayReachable = ::GetConsoleWindow() == nullptr;
    environment.outputIsTerminal = IsConsole(STD_OUTPUT_HANDLE);
    environment.inputIsTerminal = IsConsole(STD_INPUT_HANDLE);
    return environment;
}

}  // namespace ui
