#pragma once
// The program's arguments as the user typed them: the wide command line split by the
// system's rules, so that an image path in any script reaches the loader unchanged (the
// narrow arguments of main hold only what the ANSI code page can express).

#include <string>
#include <vector>

class Windows_CommandLine {
  public:
    // The arguments of this process, the program name first.
    static std::vector<std::wstring> Arguments();
    // `commandLine` split as CommandLineToArgvW splits it.
    static std::vector<std::wstring> Split(const std::wstring& commandLine);
};
