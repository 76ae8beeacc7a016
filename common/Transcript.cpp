#include "Transcript.h"

#include <cstdio>

namespace common {

Transcript::Transcript() : clock_([] { return std::chrono::system_clock::now(); }) {}

void Transcript::AddStream(std::ostream& out) {
    std::lock_guard lock(mutex_);
    sinks_.push_back(&out);
}

bool Transcript::AppendToFile(const std::string& path) {
    auto file = std::make_unique<std::ofstream>(path, std::ios::out | std::ios::app);
    if (!*file) {
        return false;
    }
    std::lock_guard lock(mutex_);
    sinks_.push_back(file.get());
    files_.push_back(std::move(file));
    return true;
}

void Transcript::Line(std::string_view text) {
    if (!Enabled()) {
        return;
    }
    std::string line = FormatTimestamp(clock_());
    line += "  ";
    line += text;
    line += '\n';
    std::lock_guard lock(mutex_);
    for (auto* sink : sinks_) {
        sink->write(line.data(), static_cast<std::streamsize>(line.size()));
        sink->flush();
    }
}

std::string FormatTimestamp(std::chrono::system_clock::time_point moment) {
    using namespace std::chrono;
    const auto millis = floor<milliseconds>(moment);
    const auto day = floor<days>(millis);
    const year_month_day date{day};
    const hh_mm_ss time{millis - day};
    char text[32];
    std::snprintf(
        text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
        static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
        static_cast<int>(time.seconds().count()), static_cast<int>(time.subseconds().count()));
    return text;
}

std::string FormatHex(std::uint64_t value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

std::string Quote(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    quoted += text;
    quoted += '"';
    return quoted;
}

std::string FormatDuration(std::chrono::nanoseconds duration) {
    const double ms = static_cast<double>(duration.count()) / 1e6;
    char text[32];
    if (ms < 1000.0) {
        std::snprintf(text, sizeof text, "%.1f ms", ms);
    } else {
        std::snprintf(text, sizeof text, "%.2f s", ms / 1000.0);
    }
    return text;
}

}  // namespace common
