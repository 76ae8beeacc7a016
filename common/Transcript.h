#pragma once
// The diagnostic transcript: one timestamped line per event of a run, for the people who
// look into an update afterwards. It stays silent and costs a flag test per event until a
// stream or a file is attached. Lines may come from any thread; each is written whole.
//
//   2026-12-10T05:40:12.345Z  step 3/12: FlashWrite at 0x00001000, 4096 bytes: ok in 4.2 ms

#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace common {

class Transcript {
  public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    Transcript();
    Transcript(const Transcript&) = delete;
    Transcript& operator=(const Transcript&) = delete;

    // Every line from now on also goes to `out` (borrowed, for example standard error).
    void AddStream(std::ostream& out);
    // Every line from now on is appended to the file; false when it cannot be opened.
    bool AppendToFile(const std::string& path);
    // Attach sinks before other threads write lines.
    bool Enabled() const { return !sinks_.empty(); }

    // Writes the line with its timestamp to every sink and flushes them.
    void Line(std::string_view text);

    // For tests: where the timestamps come from.
    void SetClock(Clock clock) { clock_ = std::move(clock); }

  private:
    std::mutex mutex_;
    std::vector<std::ostream*> sinks_;
    std::vector<std::unique_ptr<std::ofstream>> files_;
    Clock clock_;
};

// "2026-12-10T05:40:12.345Z": UTC, milliseconds.
std::string FormatTimestamp(std::chrono::system_clock::time_point moment);
// "0x00001000": upper-case hexadecimal with at least `digits` digits.
std::string FormatHex(std::uint64_t value, int digits);
// The text in double quotes: "\"612E\"".
std::string Quote(std::string_view text);
// "4.2 ms", "3.01 s".
std::string FormatDuration(std::chrono::nanoseconds duration);

}  // namespace common
