#include "Windows_PlatformServices.h"

#include <windows.h>

#include <atomic>
#include <string>

namespace {

std::wstring& Note() {
    static std::wstring note;
    return note;
}

std::wstring FromUtf8(std::string_view text) {
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) {
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                              size);
    }
    return wide;
}

// To the console as text in any language; to a file or pipe as UTF-8.
void ShowNote() {
    const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    const std::wstring line = Note() + L"\r\n";
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(error, &mode)) {
        ::WriteConsoleW(error, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        return;
    }
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(),
                              size, nullptr, nullptr);
        ::WriteFile(error, bytes.data(), static_cast<DWORD>(size), &written, nullptr);
    }
}

std::atomic<bool>& NoteShown() {
    static std::atomic<bool> shown{false};
    return shown;
}

BOOL WINAPI SwallowInterrupt(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE;  // the next handler, in the end the default one, decides
    }
    if (!NoteShown().exchange(true)) {
        ShowNote();
    }
    return TRUE;
}

class ConsoleInterruptGuard : public IInterruptGuard {
  public:
    explicit ConsoleInterruptGuard(std::string_view note) {
        Note() = FromUtf8(note);
        NoteShown() = false;
        ::SetConsoleCtrlHandler(SwallowInterrupt, TRUE);
    }
    ~ConsoleInterruptGuard() override { ::SetConsoleCtrlHandler(SwallowInterrupt, FALSE); }
    ConsoleInterruptGuard(const ConsoleInterruptGuard&) = delete;
    ConsoleInterruptGuard& operator=(const ConsoleInterruptGuard&) = delete;
};

}  // namespace

std::uint32_t Windows_PlatformServices::Current() {
    return static_cast<std::uint32_t>(::GetThreadLocale());
}

int Windows_PlatformServices::OneStepBelow(int level) {
    switch (level) {
        case THREAD_PRIORITY_TIME_CRITICAL:
            return THREAD_PRIORITY_HIGHEST;
        case THREAD_PRIORITY_HIGHEST:
            return THREAD_PRIORITY_ABOVE_NORMAL;
        case THREAD_PRIORITY_ABOVE_NORMAL:
            return THREAD_PRIORITY_NORMAL;
        case THREAD_PRIORITY_NORMAL:
            return THREAD_PRIORITY_BELOW_NORMAL;
        case THREAD_PRIORITY_BELOW_NORMAL:
            return THREAD_PRIORITY_LOWEST;
        default:
            return THREAD_PRIORITY_IDLE;
    }
}

void Windows_PlatformServices::LowerCallingThreadOneStep() {
    const HANDLE thread = ::GetCurrentThread();
    const int level = ::GetThreadPriority(thread);
    if (level != THREAD_PRIORITY_ERROR_RETURN) {
        ::SetThreadPriority(thread, OneStepBelow(level));
    }
}

std::unique_ptr<IInterruptGuard> Windows_PlatformServices::HoldOff(std::string_view note) {
    return std::make_unique<ConsoleInterruptGuard>(note);
}
