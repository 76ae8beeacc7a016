// Arbitrary input reports through the whole device stack (reassembly, reply blocks, every
// command's decoder, the information records), and arbitrary bodies straight into every
// decoder.
//
// Input: byte 0 picks the input report length, byte 1 is the number n of operations, the
// next n bytes are the operations (low nibble: which, high nibble: an argument), and the
// rest is the stream of input reports the device sends, cut at the report length. Once the
// stream is used up the device is silent.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "DeviceClockRecord.h"
#include "HostPort.h"
#include "ICMD_DataGet.h"
#include "ICMD_DataIndexTableGet.h"
#include "ICMD_DataSet.h"
#include "ICMD_DataSizeGet.h"
#include "ICMD_DataUploadFlagSet.h"
#include "ICMD_ErrorData.h"
#include "ICMD_FlashRead.h"
#include "ICMD_MetaDataGet.h"
#include "ICMD_Version.h"
#include "IFirmwareInformation.h"
#include "IHardwareInformation.h"
#include "IProductInformation.h"
#include "ORNA_Communication.h"
#include "Pause.h"
#include "VirtualWatch_DeviceIdentifier.h"
#include "VirtualWatch_HID_DeviceReaderWriter.h"

namespace {

using namespace ArmillonDevice;
using Bytes = std::vector<std::uint8_t>;

class StreamPort : public watchsim::HostPort {
  public:
    StreamPort(std::size_t inputLength, std::span<const std::uint8_t> stream)
        : inputLength_(inputLength), stream_(stream) {}

    std::uint16_t VendorId() const override { return 0x3A7C; }
    std::uint16_t ProductId() const override { return 0x0A51; }
    bool Present() const override { return true; }
    std::size_t InputReportLength() const override { return inputLength_; }
    std::size_t OutputReportLength() const override { return 65; }
    bool Open() override { return open_ = true; }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    bool WriteReport(std::span<const std::uint8_t>) override { return open_; }
    watchsim::ReadOutcome ReadReport(std::vector<std::uint8_t>& report) override {
        if (stream_.empty()) {
            return watchsim::ReadOutcome::Silent;
        }
        const std::size_t n = std::min(inputLength_, stream_.size());
        report.assign(stream_.begin(), stream_.begin() + static_cast<std::ptrdiff_t>(n));
        stream_ = stream_.subspan(n);
        return watchsim::ReadOutcome::Report;
    }

  private:
    std::size_t inputLength_;
    std::span<const std::uint8_t> stream_;
    bool open_ = false;
};

struct CountingListener : IReadProgressListener {
    void OnRead(std::uintptr_t, std::uint32_t length) override { total += length; }
    std::uint64_t total = 0;
};

void RunOperation(ORNA_Communication& c, std::uint8_t op) {
    const std::uint8_t arg = op >> 4;
    const Bytes data(arg, 0x5A);
    Bytes bytes;
    std::vector<std::uint16_t> entries;
    std::uint32_t size = 0;
    CountingListener listener;
    switch (op & 0x0F) {
        case 0:
            c.Open();
            break;
        case 1:
            c.Close();
            break;
        case 2:
            c.Reopen();
            break;
        case 3:
            c.SendCommand30();
            break;
        case 4:
            c.FlashRead(0x1000, arg, bytes);
            break;
        case 5:
            c.FlashWrite(0x1000, arg, data.data());
            break;
        case 6:
            c.FlashSectorErase(arg);
            break;
        case 7:
            c.DataGet(0x1200, 0, 0, arg * 4u, bytes, &listener);
            break;
        case 8:
            c.DataIndexTableGet(0x5100, arg, entries);
            break;
        case 9:
            c.DataSizeGet(0x1100, arg, size);
            break;
        case 10:
            c.MetaDataGet(0x5100, arg, bytes);
            break;
        case 11:
            c.DataSet(0x1600, 0, 0, arg, data.data());
            break;
        case 12:
            c.DataUploadFlagSet(0x5100, arg, 0);
            break;
        case 13:
            IFirmwareInformation(c).Update();
            break;
        case 14:
            IProductInformation(c).Update();
            break;
        case 15:
            IHardwareInformation(c).Update();
            break;
    }
}

// Every decoder on the same body, with parameters it may or may not echo.
void DecodeEverything(std::span<const std::uint8_t> body) {
    Bytes bytes;
    std::vector<std::uint16_t> entries;
    std::uint32_t size = 0;
    const std::uint16_t id =
        body.size() >= 3 ? static_cast<std::uint16_t>(body[1] | body[2] << 8) : 0x1200;
    const std::uint32_t wanted =
        body.size() > 14 ? static_cast<std::uint32_t>(body.size() - 14) : 0;
    ICMD_ErrorData().Decode(body);
    ICMD_Version().Decode(body);
    ICMD_FlashRead(0, 0).Decode(body);
    ICMD_DataGet(id, 0, 0, wanted, bytes).Decode(body);
    ICMD_DataIndexTableGet(id, body.size() >= 5 ? body[4] : 0, entries).Decode(body);
    ICMD_DataSizeGet(id, 0, size).Decode(body);
    ICMD_MetaDataGet(id, 0, bytes).Decode(body);
    ICMD_DataSet(id, 0, 0, 0, nullptr).Decode(body);
    ICMD_DataUploadFlagSet(id, 0, 0).Decode(body);
    STimeData time(SSystemTime{}, STimeZoneInformation{}, 0);
    DeviceClockRecord::Load(body, time);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The silent device's time-out must not be slept through.
    static const bool hooked = [] {
        common::SetPauseHook([](std::chrono::milliseconds) {});
        return true;
    }();
    (void)hooked;
    if (size < 2) {
        return 0;
    }
    static constexpr std::size_t kLengths[] = {65, 4, 5, 9, 33, 514, 600, 65};
    const std::size_t inputLength = kLengths[data[0] % 8];
    const std::size_t count = std::min<std::size_t>(data[1], size - 2);
    const std::span<const std::uint8_t> operations(data + 2, count);
    const std::span<const std::uint8_t> stream(data + 2 + count, size - 2 - count);

    DecodeEverything(stream);

    StreamPort port(inputLength, stream);
    ORNA_Communication connection(
        std::make_unique<ORNA_Device>(std::make_unique<VirtualWatch_DeviceIdentifier>(&port),
                                      std::make_unique<VirtualWatch_HID_DeviceReaderWriter>()));
    connection.Open();
    for (auto op : operations) {
        RunOperation(connection, op);
    }
    return 0;
}
