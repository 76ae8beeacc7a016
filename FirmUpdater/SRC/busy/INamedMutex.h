#pragma once
// A lock shared between processes by name: the uploader lock the companion programs and
// every copy of this tool take while they talk to the watch.

#include <chrono>
#include <functional>
#include <memory>
#include <string>

class INamedMutex {
  public:
    // Lets go of the object; a lock still held goes with it.
    virtual ~INamedMutex() = default;

    // Takes the lock, waiting at most `timeout`. True when this object holds it now; a lock
    // whose holder ended without letting go counts as taken.
    virtual bool Wait(std::chrono::milliseconds timeout) = 0;
    // Lets go of a lock this object holds.
    virtual void Release() = 0;
};

// Creates the lock of that name, or opens it when it exists, without taking it. Throws when
// it can be neither created nor opened.
using NamedMutexFactory = std::function<std::unique_ptr<INamedMutex>(const std::wstring& name)>;
