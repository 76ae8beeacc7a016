#include "ReportFraming.h"

#include <algorithm>

#include "LittleEndian.h"

namespace watchsim {

RequestAssembler::Outcome RequestAssembler::Feed(std::span<const std::uint8_t> report) {
    if (report.size() < 3) {
        return Outcome::Pending;
    }
    const std::uint8_t flags = report[1];
    const std::size_t length = ((flags & 0x01u) << 8) | report[2];
    if (length > report.size() - 3) {
        return Outcome::Pending;  // would read past the report
    }
    if (flags & kStartFlag) {
        state_ = State::Collecting;
        block_.clear();
    }
    if (state_ == State::Idle) {
        return Outcome::Pending;
    }
    if (state_ == State::Discarding) {
        if (flags & kEndFlag) {
            state_ = State::Idle;
        }
        return Outcome::Pending;
    }

    block_.insert(block_.end(), report.begin() + 3, report.begin() + 3 + length);
    if (block_.size() < kRequestHeaderSize) {
        return Outcome::Pending;
    }
    const std::size_t announced = Le32(block_, 1);
    const auto leave = [&](Outcome outcome) {
        state_ = (flags & kEndFlag) ? State::Idle : State::Discarding;
        return outcome;
    };
    if (announced > maxPayload_) {
        block_.resize(kRequestHeaderSize);
        return leave(Outcome::TooLarge);
    }
    if (block_.size() < kRequestHeaderSize + announced) {
        return Outcome::Pending;  // also across the end of a message: wait for the rest
    }
    block_.resize(kRequestHeaderSize + announced);
    return leave(Outcome::Complete);
}

void RequestAssembler::Reset() {
    state_ = State::Idle;
    block_.clear();
}

std::vector<std::vector<std::uint8_t>> FrameReply(std::span<const std::uint8_t> block,
                                                  std::size_t reportLength) {
    const std::size_t room = reportLength - 3;
    const std::size_t count = (block.size() + room - 1) / room;
    std::vector<std::vector<std::uint8_t>> reports;
    reports.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = i * room;
        const std::size_t chunk = std::min(room, block.size() - at);
        std::uint8_t flags = 0x00;
        if (count == 1) {
            flags = kStartFlag | kEndFlag;
        } else if (i == 0) {
            flags = kStartFlag;
        } else if (i + 1 == count) {
            flags = kEndFlag;
        }
        std::vector<std::uint8_t> report(reportLength, 0x00);
        report[1] = static_cast<std::uint8_t>(flags | ((chunk >> 8) & 0x01));
        report[2] = static_cast<std::uint8_t>(chunk & 0xFF);
        std::copy_n(block.begin() + static_cast<std::ptrdiff_t>(at), chunk, report.begin() + 3);
        reports.push_back(std::move(report));
    }
    return reports;
}

}  // namespace watchsim
