// A second process for the tests of the cross-process signals: it holds the uploader mutex
// or shows a top-level window until its standard input ends, and says so on standard output.
//
//   windows_platform_peer mutex NAME        takes the mutex, prints "held", releases at EOF
//   windows_platform_peer abandon NAME      takes the mutex, prints "held", exits holding it
//   windows_platform_peer window TITLE      shows a window, prints "shown", closes it at EOF

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

void Say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

void WaitForEndOfInput() {
    char buffer[64];
    DWORD read = 0;
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    while (::ReadFile(input, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
    }
}

int HoldMutex(const wchar_t* name, bool release) {
    const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name);
    if (mutex == nullptr || ::WaitForSingleObject(mutex, 5000) != WAIT_OBJECT_0) {
        Say("failed");
        return 1;
    }
    Say("held");
    WaitForEndOfInput();
    if (release) {
        ::ReleaseMutex(mutex);
        ::CloseHandle(mutex);
    }
    return 0;
}

// Windows of a thread live while the thread pumps its messages; a second thread waits for
// the end of the input meanwhile.
DWORD WINAPI EndOfInputThread(void* window) {
    WaitForEndOfInput();
    ::PostMessageW(static_cast<HWND>(window), WM_CLOSE, 0, 0);
    return 0;
}

int ShowWindow(const wchar_t* title) {
    const HWND window = ::CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                          nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) {
        Say("failed");
        return 1;
    }
    Say("shown");
    const HANDLE watcher = ::CreateThread(nullptr, 0, EndOfInputThread, window, 0, nullptr);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_CLOSE && message.hwnd == window) {
            ::DestroyWindow(window);
            break;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    ::WaitForSingleObject(watcher, INFINITE);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wcscmp(argv[1], L"mutex") == 0) {
        return HoldMutex(argv[2], true);
    }
    if (argc == 3 && std::wcscmp(argv[1], L"abandon") == 0) {
        return HoldMutex(argv[2], false);
    }
    if (argc == 3 && std::wcscmp(argv[1], L"window") == 0) {
        return ShowWindow(argv[2]);
    }
    std::fprintf(stderr, "usage: windows_platform_peer mutex|abandon|window TEXT\n");
    return 2;
}
