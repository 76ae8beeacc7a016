// A stand-in for a system DLL, put beside a program by the DLL search test (../wine_hid.py
// --standins): whichever process loads it, it leaves the file "<its own path>.loaded".

#include <windows.h>

#include <cwchar>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH + 8] = {};
        const DWORD length = ::GetModuleFileNameW(self, path, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            std::wcscpy(path + length, L".loaded");
            const HANDLE mark =
                ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (mark != INVALID_HANDLE_VALUE) {
                ::CloseHandle(mark);
            }
        }
    }
    return TRUE;
}
