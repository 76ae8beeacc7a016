// Child processes on Windows: CreateProcessW with the standard streams on files of a
// private directory (no pipe to keep drained), waited for with a time limit.
#include <windows.h>

#include <cwctype>
#include <map>

#include "ChildProcess.h"
#include "ProcessStreamFiles.h"
#include "TextConversion.h"

namespace fu_testing {
namespace {

// The child's text output with its line ends (\r\n) read as \n.
std::string ReadText(const std::filesystem::path& path) {
    std::string text = ProcessStreamFiles::Read(path);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            text[kept++] = text[i];
        }
    }
    text.resize(kept);
    return text;
}

// One argument as the C runtime splits a command line: quoted when it has blanks or quotes,
// backslashes doubled where a quote follows them.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

std::wstring UpperName(const std::wstring& entry) {
    std::wstring name = entry.substr(0, entry.find(L'='));
    for (auto& c : name) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    return name;
}

// The child's environment block: sorted by name, as Windows keeps it.
std::wstring EnvironmentBlock(const ProcessOptions& options) {
    std::map<std::wstring, std::wstring> entries;
    if (wchar_t* own = ::GetEnvironmentStringsW()) {
        for (const wchar_t* entry = own; *entry != L'\0'; entry += wcslen(entry) + 1) {
            const std::wstring text = entry;
            const auto name = UpperName(text);
            const bool keep =
                !options.cleanEnvironment || name == L"SYSTEMROOT" || name == L"WINDIR";
            if (keep && !text.starts_with(L"=")) {
                entries[name] = text;
            }
        }
        ::FreeEnvironmentStringsW(own);
    }
    for (const auto& added : options.environment) {
        const std::wstring text = common::Utf8ToWide(added);
        entries[UpperName(text)] = text;
    }
    std::wstring block;
    for (const auto& [name, text] : entries) {
        block += text;
        block += L'\0';
    }
    block += L'\0';
    return block;
}

HANDLE Inheritable(const std::filesystem::path& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                         disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

ProcessResult RunProcess(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments, const ProcessOptions& options) {
    ProcessResult result;
    const ProcessStreamFiles streams(options.input);

    std::wstring commandLine = Quoted(program.wstring());
    for (const auto& argument : arguments) {
        commandLine += L' ' + Quoted(common::Utf8ToWide(argument));
    }
    std::wstring environment = EnvironmentBlock(options);

    const HANDLE handles[] = {Inheritable(streams.In(), GENERIC_READ, OPEN_EXISTING),
                              Inheritable(streams.Out(), GENERIC_WRITE, CREATE_ALWAYS),
                              Inheritable(streams.Err(), GENERIC_WRITE, CREATE_ALWAYS)};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = handles[0];
    startup.hStdOutput = handles[1];
    startup.hStdError = handles[2];
    PROCESS_INFORMATION process{};
    const bool allOpen = handles[0] != INVALID_HANDLE_VALUE && handles[1] != INVALID_HANDLE_VALUE &&
                         handles[2] != INVALID_HANDLE_VALUE;
    result.started =
        allOpen && ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                    CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW,
                                    environment.data(), nullptr, &startup, &process) != 0;
    for (const HANDLE handle : handles) {
        if (handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
        }
    }
    if (!result.started) {
        return result;
    }
    ::CloseHandle(process.hThread);
    if (::WaitForSingleObject(process.hProcess, static_cast<DWORD>(options.timeLimit.count())) !=
        WAIT_OBJECT_0) {
        result.timedOut = true;
        ::TerminateProcess(process.hProcess, 1);
        ::WaitForSingleObject(process.hProcess, INFINITE);
    }
    DWORD code = 0;
    if (!result.timedOut && ::GetExitCodeProcess(process.hProcess, &code)) {
        result.exitCode = static_cast<int>(code);
    }
    ::CloseHandle(process.hProcess);
    result.out = ReadText(streams.Out());
    result.err = ReadText(streams.Err());
    return result;
}

}  // namespace fu_testing
