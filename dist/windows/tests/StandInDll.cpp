// A stand-in for a system library, for the DLL search tests: copied beside a program under the
// name of a library that program or the libraries it uses might load (version.dll, hid.dll,
// ...). When anything loads it, it leaves a mark file beside itself, `<its name>.loaded`,
// holding the path of the program that loaded it. It exports nothing.

#include <windows.h>

namespace {

void LeaveMark(HINSTANCE self) {
    wchar_t path[MAX_PATH + 16];
    const DWORD length = ::GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    const wchar_t suffix[] = L".loaded";
    for (DWORD i = 0; i < sizeof(suffix) / sizeof(suffix[0]); ++i) {
        path[length + i] = suffix[i];
    }
    const HANDLE mark = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (mark == INVALID_HANDLE_VALUE) {
        return;
    }
    char host[MAX_PATH];
    const DWORD hostLength = ::GetModuleFileNameA(nullptr, host, MAX_PATH);
    DWORD written = 0;
    ::WriteFile(mark, host, hostLength, &written, nullptr);
    ::CloseHandle(mark);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        LeaveMark(self);
    }
    return TRUE;
}
