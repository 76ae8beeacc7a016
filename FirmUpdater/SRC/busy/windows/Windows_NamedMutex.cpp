#include "Windows_NamedMutex.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <string>

Windows_NamedMutex::Windows_NamedMutex(const std::wstring& name)
    : handle_(::CreateMutexW(nullptr, FALSE, name.c_str())) {
    if (handle_ == nullptr) {
        throw std::runtime_error("the uploader mutex cannot be created (error " +
                                 std::to_string(::GetLastError()) + ")");
    }
}

Windows_NamedMutex::~Windows_NamedMutex() {
    ::CloseHandle(handle_);
}

bool Windows_NamedMutex::Wait(std::chrono::milliseconds timeout) {
    if (held_) {
        return true;  // a second wait would count the ownership twice; one release frees it
    }
    const auto milliseconds = static_cast<DWORD>(
        std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 0, INFINITE - 1));
    const DWORD result = ::WaitForSingleObject(handle_, milliseconds);
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) {
        held_ = true;
    }
    return held_;
}

void Windows_NamedMutex::Release() {
    if (held_) {
        ::ReleaseMutex(handle_);
        held_ = false;
    }
}

std::unique_ptr<INamedMutex> Windows_NamedMutex::Create(const std::wstring& name) {
    return std::make_unique<Windows_NamedMutex>(name);
}
