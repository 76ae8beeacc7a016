#include "ScriptedHostPort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

namespace ArmillonDevice::testing {
namespace {

std::string ToHex(const Bytes& bytes) {
    std::string text;
    for (auto b : bytes) {
        char part[4];
        std::snprintf(part, sizeof part, "%02X ", b);
        text += part;
    }
    if (!text.empty()) {
        text.pop_back();
    }
    return text;
}

}  // namespace

Bytes Hex(std::string_view text) {
    Bytes bytes;
    std::string digits;
    for (char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c))) {
            digits += c;
        }
        if (digits.size() == 2) {
            bytes.push_back(static_cast<std::uint8_t>(std::stoul(digits, nullptr, 16)));
            digits.clear();
        }
    }
    return bytes;
}

Bytes Block(std::uint8_t code, const Bytes& body) {
    Bytes block{code};
    const auto length = static_cast<std::uint32_t>(body.size());
    for (int shift = 0; shift < 32; shift += 8) {
        block.push_back(static_cast<std::uint8_t>(length >> shift));
    }
    block.insert(block.end(), body.begin(), body.end());
    return block;
}

std::vector<Bytes> FrameMessage(const Bytes& message, std::size_t reportLength) {
    const std::size_t room = reportLength - 3;
    std::vector<Bytes> reports;
    for (std::size_t offset = 0; offset < message.size(); offset += room) {
        const std::size_t chunk = std::min(room, message.size() - offset);
        Bytes report(reportLength, 0);
        std::uint8_t flags = 0;
        if (offset == 0) {
            flags |= 0x80;
        }
        if (offset + chunk == message.size()) {
            flags |= 0x40;
        }
        report[1] = static_cast<std::uint8_t>(flags | (chunk >> 8));
        report[2] = static_cast<std::uint8_t>(chunk & 0xFF);
        std::copy_n(message.begin() + static_cast<std::ptrdiff_t>(offset), chunk,
                    report.begin() + 3);
        reports.push_back(std::move(report));
    }
    return reports;
}

ScriptedHostPort::ScriptedHostPort(std::size_t inputReportLength, std::size_t outputReportLength)
    : inputLength_(inputReportLength), outputLength_(outputReportLength) {}

ScriptedHostPort::~ScriptedHostPort() = default;

void ScriptedHostPort::Expect(const Bytes& request, const Bytes& reply) {
    script_.push_back({request, FrameMessage(reply, inputLength_)});
}

void ScriptedHostPort::ExpectReports(const Bytes& request, std::vector<Bytes> replyReports) {
    script_.push_back({request, std::move(replyReports)});
}

void ScriptedHostPort::ExpectSilence(const Bytes& request) {
    script_.push_back({request, {}});
}

void ScriptedHostPort::QueueReport(const Bytes& report) {
    input_.push_back({report});
}

void ScriptedHostPort::QueueGone() {
    input_.push_back({std::nullopt});
}

void ScriptedHostPort::VerifyAllUsed() const {
    for (const auto& line : script_) {
        ADD_FAILURE() << "the host never sent the request " << ToHex(line.request);
    }
}

bool ScriptedHostPort::Open() {
    if (refuseOpen_) {
        return false;
    }
    ++openCount_;
    open_ = true;
    return true;
}

bool ScriptedHostPort::WriteReport(std::span<const std::uint8_t> report) {
    if (!open_ || refuseWrites_) {
        return false;
    }
    writtenReports_.emplace_back(report.begin(), report.end());
    if (report.size() != outputLength_) {
        ADD_FAILURE() << "output report of " << report.size() << " bytes, expected "
                      << outputLength_;
        return false;
    }
    const std::uint8_t flags = report[1];
    const std::size_t length = (flags & 0x01) << 8 | report[2];
    if (report[0] != 0 || length == 0 || length > outputLength_ - 3) {
        ADD_FAILURE() << "malformed output report " << ToHex(writtenReports_.back());
        return true;
    }
    if (!std::all_of(report.begin() + 3 + static_cast<std::ptrdiff_t>(length), report.end(),
                     [](std::uint8_t b) { return b == 0; })) {
        ADD_FAILURE() << "output report not zero-padded " << ToHex(writtenReports_.back());
    }
    if ((flags & 0x80) != 0) {
        if (inMessage_) {
            ADD_FAILURE() << "a new message started before the last one ended";
        }
        pending_.clear();
        inMessage_ = true;
    } else if (!inMessage_) {
        ADD_FAILURE() << "output report without a message start " << ToHex(writtenReports_.back());
        return true;
    }
    pending_.insert(pending_.end(), report.begin() + 3,
                    report.begin() + 3 + static_cast<std::ptrdiff_t>(length));
    if ((flags & 0x40) != 0) {
        inMessage_ = false;
        OnRequest(pending_);
    }
    return true;
}

void ScriptedHostPort::OnRequest(const Bytes& request) {
    requests_.push_back(request);
    if (script_.empty()) {
        if (acceptUnscripted_) {
            return;
        }
        ADD_FAILURE() << "unexpected request " << ToHex(request);
        return;
    }
    Line line = std::move(script_.front());
    script_.pop_front();
    EXPECT_EQ(ToHex(request), ToHex(line.request)) << "request " << requests_.size();
    for (auto& report : line.replyReports) {
        input_.push_back({std::move(report)});
    }
}

watchsim::ReadOutcome ScriptedHostPort::ReadReport(std::vector<std::uint8_t>& report) {
    ++readCount_;
    if (input_.empty()) {
        return watchsim::ReadOutcome::Silent;
    }
    Input next = std::move(input_.front());
    input_.pop_front();
    if (!next.report) {
        return watchsim::ReadOutcome::Gone;
    }
    report = std::move(*next.report);
    return watchsim::ReadOutcome::Report;
}

}  // namespace ArmillonDevice::testing
