#pragma once
// Whether a companion program or another copy of this tool is at work on the watch. Two
// signals tell: the uploader lock, which whoever talks to the watch holds, and the titles of
// the companion programs' windows. Once a check has found the tool free and taken the lock,
// the lock is held until ReleaseUploaderMutex, so the others see this tool at work in turn.

#include <memory>
#include <string>

#include "INamedMutex.h"
#include "IWindowTitleSearch.h"

class CUploaderBusyCheck {
  public:
    static constexpr std::chrono::milliseconds kMutexWait{10};

    // Both are borrowed and must outlive the check.
    CUploaderBusyCheck(IWindowTitleSearch& windows, NamedMutexFactory createMutex);
    ~CUploaderBusyCheck();
    CUploaderBusyCheck(const CUploaderBusyCheck&) = delete;
    CUploaderBusyCheck& operator=(const CUploaderBusyCheck&) = delete;

    // True when the tool must not go on. Shows nothing. Throws what the lock's creation
    // throws when the lock can be neither created nor opened.
    bool IsUploaderBusy();

    bool HoldsUploaderMutex() const { return mutex_ != nullptr; }
    // What the last check found, for diagnostics: "free, lock taken", "the lock is held
    // elsewhere and a window titled "..." shows".
    const std::string& LastFinding() const { return lastFinding_; }
    // Lets go of the lock, when held.
    void ReleaseUploaderMutex();

  private:
    bool WindowExists(std::uint16_t titleId);

    IWindowTitleSearch& windows_;
    NamedMutexFactory createMutex_;
    std::unique_ptr<INamedMutex> mutex_;
    std::string lastFinding_;
};
