#pragma once
// Every operation the device library offers on one connected device. Each returns the
// outcome as an ArmillonDeviceError; outputs are written only when the whole operation
// succeeds, so a caller (and the retry decorator) can reuse them after a failure.

#include <cstdint>
#include <memory>
#include <vector>

#include "ArmillonDeviceError.h"
#include "IReadProgressListener.h"
#include "SDeviceInformation.h"
#include "SORNATrainingData.h"
#include "STimeData.h"
#include "STrainingData.h"

namespace ArmillonDevice {

using ByteVector = std::vector<std::uint8_t>;

class ITrainingDataCreator {
  public:
    virtual ~ITrainingDataCreator();

    // Opens the connection (transport and handshake).
    virtual ArmillonDeviceError Open() = 0;
    // Ends the connection and forgets everything read while it was open.
    virtual ArmillonDeviceError Close() = 0;
    // Closes the transport and opens it again; what was read stays cached.
    virtual ArmillonDeviceError Reconnect() = 0;

    // A new record of the device's identity.
    virtual ArmillonDeviceError GetDeviceInformation(
        std::unique_ptr<SDeviceInformation>& information) = 0;
    // Queues the training records the selector (sent as one byte) lists; `count` receives
    // how many are queued.
    virtual ArmillonDeviceError GetTrainingDataCount(std::int32_t& count,
                                                     std::uint32_t selector) = 0;
    // Downloads the next queued record; the listener (may be null) follows the transfer.
    virtual ArmillonDeviceError GetTrainingData(std::unique_ptr<SORNATrainingData>& record,
                                                IReadProgressListener* listener) = 0;
    // Marks a downloaded record as uploaded; a null record is refused.
    virtual ArmillonDeviceError SetUploadFlag(const STrainingData* record) = 0;

    // The settings blocks, each written whole.
    virtual ArmillonDeviceError SetData1600(const ByteVector& data) = 0;
    virtual ArmillonDeviceError SetData1601(const ByteVector& data) = 0;
    virtual ArmillonDeviceError SetData1604(const ByteVector& data) = 0;
    virtual ArmillonDeviceError SetData1611(const ByteVector& data) = 0;
    virtual ArmillonDeviceError SetData1614(const ByteVector& data) = 0;
    virtual ArmillonDeviceError SetData1620(const ByteVector& data) = 0;

    // The device clock and its time-zone offsets.
    virtual ArmillonDeviceError GetTime(STimeData& time) = 0;
    virtual ArmillonDeviceError SetTime(const STimeData& time) = 0;

    // Bare device commands; the device drops the connection after each.
    virtual ArmillonDeviceError SendCommand30() = 0;
    virtual ArmillonDeviceError SendCommand31() = 0;
    virtual ArmillonDeviceError SendCommand32() = 0;

    // Flash: a read appends exactly `length` bytes to `output`; a write sends the whole
    // vector as one command; an erase sends one command per sector.
    virtual ArmillonDeviceError FlashRead(std::uint32_t address, std::uint32_t length,
                                          ByteVector& output) = 0;
    virtual ArmillonDeviceError FlashWrite(std::uint32_t address, const ByteVector& data) = 0;
    virtual ArmillonDeviceError FlashSectorErase(std::uint32_t firstSector,
                                                 std::uint32_t count) = 0;
    // The same on the second flash area.
    virtual ArmillonDeviceError FlashRead2(std::uint32_t address, std::uint32_t length,
                                           ByteVector& output) = 0;
    virtual ArmillonDeviceError FlashWrite2(std::uint32_t address, const ByteVector& data) = 0;

  protected:
    ITrainingDataCreator() = default;
    ITrainingDataCreator(const ITrainingDataCreator&) = default;
    ITrainingDataCreator& operator=(const ITrainingDataCreator&) = default;
};

}  // namespace ArmillonDevice
