#include "Win32_Console.h"

#include "Win32_Api.h"

bool Win32_Console::HasConsole() {
    return GetConsoleWindow() != nullptr;
}
