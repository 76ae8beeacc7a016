#pragma once
// The uploader lock as a named Windows mutex, the object the companion programs share with
// every copy of this tool.

#include <chrono>
#include <memory>
#include <string>

#include "INamedMutex.h"

class Windows_NamedMutex : public INamedMutex {
  public:
    // Creates the mutex, or opens it when another process has; not taken. Throws
    // std::runtime_error when it can be neither created nor opened.
    explicit Windows_NamedMutex(const std::wstring& name);
    // Closes the handle; a mutex still held is left abandoned, which the next waiter takes.
    ~Windows_NamedMutex() override;
    Windows_NamedMutex(const Windows_NamedMutex&) = delete;
    Windows_NamedMutex& operator=(const Windows_NamedMutex&) = delete;

    // True when the wait acquired the mutex, or found it abandoned by a process that ended
    // without letting go (the wait then owns it).
    bool Wait(std::chrono::milliseconds timeout) override;
    void Release() override;

    static std::unique_ptr<INamedMutex> Create(const std::wstring& name);

  private:
    void* handle_;
    bool held_ = false;
};
