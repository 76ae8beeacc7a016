#include "Windows_ConsoleTwinAttach.h"

#include <windows.h>

#include "Windows_ConsoleTwin.h"

bool Windows_ConsoleTwinAttach::AttachWhenStartedByTwin() {
    wchar_t value[2] = {};
    if (::GetEnvironmentVariableW(kConsoleTwinVariable, value, 2) == 0) {
        return false;
    }
    ::SetEnvironmentVariableW(kConsoleTwinVariable, nullptr);
    // Denied when the program already has that console (Wine hands it down to any program).
    return ::AttachConsole(ATTACH_PARENT_PROCESS) != 0 || ::GetLastError() == ERROR_ACCESS_DENIED;
}
