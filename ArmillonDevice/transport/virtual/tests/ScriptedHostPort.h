#pragma once
// A host port that plays a scripted device for tests: each line of the script is one
// exchange, the request block the host must send and the reply the device gives. Written
// reports are reassembled into messages with framing code of its own, so a fault in the
// library's framing shows up as a mismatch here. Nothing queued to read means the device is
// silent.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string_view>
#include <vector>

#include "HostPort.h"

namespace ArmillonDevice::testing {

using Bytes = std::vector<std::uint8_t>;

// "20 0D 00 ..." -> bytes.
Bytes Hex(std::string_view text);
// A request or reply block: code, 32-bit little-endian body length, body.
Bytes Block(std::uint8_t code, const Bytes& body = {});
// The reports a device would send for one message, split to the payload room of the
// report length (report number byte included).
std::vector<Bytes> FrameMessage(const Bytes& message, std::size_t reportLength);

class ScriptedHostPort : public watchsim::HostPort {
  public:
    explicit ScriptedHostPort(std::size_t inputReportLength = 65,
                              std::size_t outputReportLength = 65);
    ~ScriptedHostPort() override;

    // Script lines. The reply block is framed into as many reports as it needs.
    void Expect(const Bytes& request, const Bytes& reply);
    // The reply as whole input reports, exactly as given (for malformed framing).
    void ExpectReports(const Bytes& request, std::vector<Bytes> replyReports);
    // The device takes the request and answers nothing.
    void ExpectSilence(const Bytes& request);
    // Input not tied to a request.
    void QueueReport(const Bytes& report);
    void QueueGone();

    // Requests without a script line are recorded and answered with silence.
    void AcceptUnscripted() { acceptUnscripted_ = true; }
    // Fails the running test for every script line left unused.
    void VerifyAllUsed() const;

    const std::vector<Bytes>& WrittenReports() const { return writtenReports_; }
    const std::vector<Bytes>& Requests() const { return requests_; }
    int OpenCount() const { return openCount_; }
    int ReadCount() const { return readCount_; }
    void RefuseOpen(bool refuse) { refuseOpen_ = refuse; }
    void RefuseWrites(bool refuse) { refuseWrites_ = refuse; }

    std::uint16_t VendorId() const override { return 0x3A7C; }
    std::uint16_t ProductId() const override { return 0x0A51; }
    bool Present() const override { return true; }
    std::size_t InputReportLength() const override { return inputLength_; }
    std::size_t OutputReportLength() const override { return outputLength_; }
    bool Open() override;
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    bool WriteReport(std::span<const std::uint8_t> report) override;
    watchsim::ReadOutcome ReadReport(std::vector<std::uint8_t>& report) override;

  private:
    struct Line {
        Bytes request;
        std::vector<Bytes> replyReports;
    };
    struct Input {
        std::optional<Bytes> report;  // nothing: the watch is gone
    };

    void OnRequest(const Bytes& request);

    std::size_t inputLength_;
    std::size_t outputLength_;
    bool open_ = false;
    bool refuseOpen_ = false;
    bool refuseWrites_ = false;
    bool acceptUnscripted_ = false;
    int openCount_ = 0;
    int readCount_ = 0;
    std::deque<Line> script_;
    std::deque<Input> input_;
    std::vector<Bytes> writtenReports_;
    std::vector<Bytes> requests_;
    Bytes pending_;  // payload of the message being written
    bool inMessage_ = false;
};

}  // namespace ArmillonDevice::testing
