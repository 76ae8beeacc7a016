#include "Windows_CommandLine.h"

#include <windows.h>
// windows.h first: shellapi.h relies on its types.
#include <shellapi.h>

std::vector<std::wstring> Windows_CommandLine::Arguments() {
    return Split(::GetCommandLineW());
}

std::vector<std::wstring> Windows_CommandLine::Split(const std::wstring& commandLine) {
    std::vector<std::wstring> arguments;
    int count = 0;
    wchar_t** split = ::CommandLineToArgvW(commandLine.c_str(), &count);
    if (split == nullptr) {
        return arguments;
    }
    for (int i = 0; i < count; ++i) {
        arguments.emplace_back(split[i]);
    }
    ::LocalFree(split);
    return arguments;
}
