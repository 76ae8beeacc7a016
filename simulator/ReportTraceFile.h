#pragma once
// A trace of every report as one line: "> " host to watch, "< " watch to host, then the whole
// report in hex, report number first ("> 00 C0 05 00 00 00 00 00 ..."). Each line is flushed
// as it is written so the file can be followed while the watch runs.

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <span>

#include "VirtualWatch.h"

namespace watchsim {

class ReportTraceFile {
  public:
    // Throws std::runtime_error when the file cannot be opened. Appends to an existing file.
    explicit ReportTraceFile(const std::filesystem::path& path);
    ~ReportTraceFile();
    ReportTraceFile(const ReportTraceFile&) = delete;
    ReportTraceFile& operator=(const ReportTraceFile&) = delete;

    void Write(TraceDirection direction, std::span<const std::uint8_t> report);
    // A sink for VirtualWatch::SetTrace; the trace file must outlive the watch's use of it.
    VirtualWatch::TraceSink Sink();

  private:
    std::mutex mutex_;
    std::FILE* file_;
};

}  // namespace watchsim
