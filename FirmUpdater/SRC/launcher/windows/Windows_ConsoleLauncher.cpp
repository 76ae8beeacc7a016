// firmupdater.com, the console twin of firmupdater.exe. A command prompt finds it before the
// .exe and waits for it: it starts firmupdater.exe from its own folder with the same
// arguments and standard handles, in console mode (the program attaches to this console and
// runs the terminal interface), waits for it and ends with its exit code.
//
// Built without the C and C++ runtimes: it imports kernel32 alone, so that no library is
// loaded by name before the DLL search is restricted, and it stays a few kilobytes.

#include <windows.h>

#include "Windows_ConsoleTwin.h"

namespace {

constexpr DWORD kFailure = 1;
// The longest path Windows hands out, in characters.
constexpr DWORD kLongestPath = 32768;

// Ctrl+C and Ctrl+Break reach the program as well, which handles them as in a console of its
// own (ends, or notes that an update cannot be interrupted); the twin keeps waiting for it.
BOOL WINAPI KeepWaiting(DWORD event) {
    return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? TRUE : FALSE;
}

DWORD Length(const wchar_t* text) {
    DWORD length = 0;
    while (text[length] != L'\0') {
        ++length;
    }
    return length;
}

wchar_t* Append(wchar_t* to, const wchar_t* text, DWORD length) {
    for (DWORD i = 0; i < length; ++i) {
        *to++ = text[i];
    }
    return to;
}

wchar_t* Allocate(DWORD characters) {
    return static_cast<wchar_t*>(
        ::HeapAlloc(::GetProcessHeap(), 0, static_cast<SIZE_T>(characters) * sizeof(wchar_t)));
}

// This program's full path; null when it does not fit the longest path.
wchar_t* OwnPath(DWORD& length) {
    for (DWORD capacity = MAX_PATH; capacity <= kLongestPath; capacity *= 2) {
        wchar_t* path = Allocate(capacity);
        if (path == nullptr) {
            return nullptr;
        }
        length = ::GetModuleFileNameW(nullptr, path, capacity);
        if (length != 0 && length < capacity) {
            return path;
        }
        ::HeapFree(::GetProcessHeap(), 0, path);
    }
    return nullptr;
}

// The arguments after the program's name, read as the C runtime and CommandLineToArgvW read
// that name: up to the closing quote when it starts with one, else up to the first blank.
const wchar_t* AfterProgramName(const wchar_t* line) {
    if (*line == L'"') {
        ++line;
        while (*line != L'\0' && *line != L'"') {
            ++line;
        }
        return *line == L'"' ? line + 1 : line;
    }
    while (*line != L'\0' && *line != L' ' && *line != L'\t') {
        ++line;
    }
    return line;
}

// `"<folder of this program>\firmupdater.exe" <arguments>`, in `program` the path alone.
wchar_t* ProgramCommandLine(wchar_t*& program) {
    DWORD pathLength = 0;
    wchar_t* path = OwnPath(pathLength);
    if (path == nullptr) {
        return nullptr;
    }
    DWORD folderLength = pathLength;
    while (folderLength > 0 && path[folderLength - 1] != L'\\' && path[folderLength - 1] != L'/') {
        --folderLength;
    }
    const DWORD nameLength = Length(kConsoleTwinProgram);
    program = Allocate(folderLength + nameLength + 1);
    const wchar_t* arguments = AfterProgramName(::GetCommandLineW());
    const DWORD argumentsLength = Length(arguments);
    // The quotes, the blank that ends the program's name and the terminating null.
    wchar_t* line = Allocate(folderLength + nameLength + argumentsLength + 4);
    if (program == nullptr || line == nullptr) {
        return nullptr;
    }
    *Append(Append(program, path, folderLength), kConsoleTwinProgram, nameLength) = L'\0';
    wchar_t* end = Append(line, L"\"", 1);
    end = Append(end, program, folderLength + nameLength);
    end = Append(end, L"\" ", 2);
    *Append(end, arguments, argumentsLength) = L'\0';
    return line;
}

// The program reads and writes this console's handles, which it inherits.
HANDLE Inherited(DWORD stream) {
    const HANDLE handle = ::GetStdHandle(stream);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
        ::SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    }
    return handle;
}

void ReportStartFailure(DWORD error) {
    static constexpr char kText[] =
        "firmupdater: cannot start firmupdater.exe beside firmupdater.com, error ";
    char text[sizeof(kText) + 12];
    char* end = text;
    for (const char* from = kText; *from != '\0'; ++from) {
        *end++ = *from;
    }
    char digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + error % 10);
        error /= 10;
    } while (error != 0);
    while (count > 0) {
        *end++ = digits[--count];
    }
    *end++ = '\n';
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(end - text), &written,
                nullptr);
}

}  // namespace

// The entry point (no C runtime, so no main).
extern "C" void ConsoleLauncherMain() {
    // First of all: libraries loaded later on come from the system folder alone, never from
    // this program's folder or the current one.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryW(L"");
    ::SetConsoleCtrlHandler(KeepWaiting, TRUE);

    wchar_t* program = nullptr;
    wchar_t* line = ProgramCommandLine(program);
    if (line == nullptr) {
        ReportStartFailure(ERROR_NOT_ENOUGH_MEMORY);
        ::ExitProcess(kFailure);
    }
    ::SetEnvironmentVariableW(kConsoleTwinVariable, L"1");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    // No busy cursor while the program, a desktop program to Windows, starts in a console.
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_FORCEOFFFEEDBACK;
    startup.hStdInput = Inherited(STD_INPUT_HANDLE);
    startup.hStdOutput = Inherited(STD_OUTPUT_HANDLE);
    startup.hStdError = Inherited(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(program, line, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &started)) {
        ReportStartFailure(::GetLastError());
        ::ExitProcess(kFailure);
    }
    ::CloseHandle(started.hThread);
    ::WaitForSingleObject(started.hProcess, INFINITE);
    DWORD exitCode = kFailure;
    ::GetExitCodeProcess(started.hProcess, &exitCode);
    ::ExitProcess(exitCode);
}
