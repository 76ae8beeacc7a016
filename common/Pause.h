#pragma once
// Every deliberate wait of the system (the retry interval, the pause between enumerations,
// the watch's report pacing) goes through Pause, so tests can see which pauses were asked
// for without sleeping through them.

#include <chrono>
#include <functional>
#include <mutex>
#include <vector>

namespace common {

using PauseFunction = std::function<void(std::chrono::milliseconds)>;

// Waits for the given time, or hands it to the installed hook.
void Pause(std::chrono::milliseconds duration);

// Installs a hook that receives every pause instead of sleeping; an empty function restores
// the real sleep. Returns the previous hook.
PauseFunction SetPauseHook(PauseFunction hook);

// For tests: while alive, records every pause and returns at once.
class ScopedPauseRecorder {
  public:
    ScopedPauseRecorder();
    ~ScopedPauseRecorder();
    ScopedPauseRecorder(const ScopedPauseRecorder&) = delete;
    ScopedPauseRecorder& operator=(const ScopedPauseRecorder&) = delete;

    std::vector<std::chrono::milliseconds> Pauses() const;
    std::chrono::milliseconds Total() const;
    void Clear();

  private:
    mutable std::mutex mutex_;
    std::vector<std::chrono::milliseconds> pauses_;
    PauseFunction previous_;
};

}  // namespace common
