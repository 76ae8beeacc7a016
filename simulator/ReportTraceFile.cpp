#include "ReportTraceFile.h"

#include <stdexcept>
#include <string>

namespace watchsim {

ReportTraceFile::ReportTraceFile(const std::filesystem::path& path)
    : file_(std::fopen(path.string().c_str(), "a")) {
    if (!file_) {
        throw std::runtime_error("cannot open trace file " + path.string());
    }
}

ReportTraceFile::~ReportTraceFile() {
    std::fclose(file_);
}

void ReportTraceFile::Write(TraceDirection direction, std::span<const std::uint8_t> report) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string line = direction == TraceDirection::ToWatch ? ">" : "<";
    line.reserve(2 + report.size() * 3);
    for (const std::uint8_t byte : report) {
        line += ' ';
        line += kHex[byte >> 4];
        line += kHex[byte & 0x0F];
    }
    line += '\n';
    std::lock_guard lock(mutex_);
    std::fputs(line.c_str(), file_);
    std::fflush(file_);
}

VirtualWatch::TraceSink ReportTraceFile::Sink() {
    return [this](TraceDirection direction, std::span<const std::uint8_t> report) {
        Write(direction, report);
    };
}

}  // namespace watchsim
