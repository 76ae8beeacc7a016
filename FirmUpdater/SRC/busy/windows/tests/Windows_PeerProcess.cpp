#include "Windows_PeerProcess.h"

#include <stdexcept>
#include <vector>

namespace {

std::wstring PeerPath() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            std::wstring own(path.data(), length);
            return own.substr(0, own.find_last_of(L"\\/") + 1) + L"windows_platform_peer.exe";
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

Windows_PeerProcess::Windows_PeerProcess(const std::wstring& mode, const std::wstring& text) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE childInput = nullptr;
    HANDLE childOutput = nullptr;
    if (!::CreatePipe(&childInput, &input_, &inherit, 0) ||
        !::CreatePipe(&output_, &childOutput, &inherit, 0)) {
        throw std::runtime_error("no pipe for the peer");
    }
    ::SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childInput;
    startup.hStdOutput = childOutput;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    std::wstring command = L"\"" + PeerPath() + L"\" " + mode + L" \"" + text + L"\"";
    const BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0,
                                          nullptr, nullptr, &startup, &process_);
    ::CloseHandle(childInput);
    ::CloseHandle(childOutput);
    if (!started) {
        throw std::runtime_error("the peer does not start");
    }
}

Windows_PeerProcess::~Windows_PeerProcess() {
    Finish();
    ::CloseHandle(output_);
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
}

std::string Windows_PeerProcess::ReadLine() {
    std::string line;
    char c = 0;
    DWORD read = 0;
    while (::ReadFile(output_, &c, 1, &read, nullptr) && read == 1 && c != '\n') {
        if (c != '\r') {
            line += c;
        }
    }
    return line;
}

DWORD Windows_PeerProcess::Finish() {
    if (input_ != nullptr) {
        ::CloseHandle(input_);
        input_ = nullptr;
    }
    ::WaitForSingleObject(process_.hProcess, 30000);
    DWORD code = 0;
    ::GetExitCodeProcess(process_.hProcess, &code);
    return code;
}
