#pragma once
// The device operations of the ORNA watch, each as one or a few packet-protocol exchanges.
// Every operation but Open, Close and GetTrainingData needs an open connection state and
// fails with GeneralFailure, sending nothing, without one.

#include <memory>

#include "CORNATrainingDataCreatorImpl.h"
#include "ITrainingDataCreator.h"
#include "ORNA_Communication.h"

namespace ArmillonDevice {

class CORNATrainingDataCreator final : public ITrainingDataCreator {
  public:
    explicit CORNATrainingDataCreator(std::unique_ptr<ORNA_Communication> communication);
    // Sends nothing: callers end the connection with Close first.
    ~CORNATrainingDataCreator() override;
    CORNATrainingDataCreator(const CORNATrainingDataCreator&) = delete;
    CORNATrainingDataCreator& operator=(const CORNATrainingDataCreator&) = delete;

    // Starts from an empty connection state, which stays even when the open fails.
    ArmillonDeviceError Open() override;
    // Says goodbye when the transport is open; on success forgets the connection state, on
    // failure keeps it so that a retry can reconnect and close again.
    ArmillonDeviceError Close() override;
    ArmillonDeviceError Reconnect() override;
    // Always reads the three information records afresh.
    ArmillonDeviceError GetDeviceInformation(
        std::unique_ptr<SDeviceInformation>& information) override;
    ArmillonDeviceError GetTrainingDataCount(std::int32_t& count, std::uint32_t selector) override;
    // The listener hears (0, 100) first, even when the queue turns out to be empty.
    ArmillonDeviceError GetTrainingData(std::unique_ptr<SORNATrainingData>& record,
                                        IReadProgressListener* listener) override;
    ArmillonDeviceError SetUploadFlag(const STrainingData* record) override;
    ArmillonDeviceError SetData1600(const ByteVector& data) override;
    ArmillonDeviceError SetData1601(const ByteVector& data) override;
    ArmillonDeviceError SetData1604(const ByteVector& data) override;
    ArmillonDeviceError SetData1611(const ByteVector& data) override;
    ArmillonDeviceError SetData1614(const ByteVector& data) override;
    ArmillonDeviceError SetData1620(const ByteVector& data) override;
    // The clock record must be at least 32 bytes and arrive whole (InvalidData otherwise).
    ArmillonDeviceError GetTime(STimeData& time) override;
    // Rewrites the first ten bytes of the record as read and sends it all back.
    ArmillonDeviceError SetTime(const STimeData& time) override;
    ArmillonDeviceError SendCommand30() override;
    ArmillonDeviceError SendCommand31() override;
    ArmillonDeviceError SendCommand32() override;
    ArmillonDeviceError FlashRead(std::uint32_t address, std::uint32_t length,
                                  ByteVector& output) override;
    ArmillonDeviceError FlashWrite(std::uint32_t address, const ByteVector& data) override;
    ArmillonDeviceError FlashSectorErase(std::uint32_t firstSector, std::uint32_t count) override;
    ArmillonDeviceError FlashRead2(std::uint32_t address, std::uint32_t length,
                                   ByteVector& output) override;
    ArmillonDeviceError FlashWrite2(std::uint32_t address, const ByteVector& data) override;

    // Null while no connection state exists.
    const CORNATrainingDataCreatorImpl* GetConnectionState() const { return impl_.get(); }
    ORNA_Communication* GetCommunication() const { return communication_.get(); }

  private:
    // The protocol object of an open connection state, or null.
    ORNA_Communication* Connected() const;
    ArmillonDeviceError SetData(std::uint16_t dataId, const ByteVector& data);
    using FlashReadCall = ArmillonDeviceError (ORNA_Communication::*)(std::uint32_t, std::uint32_t,
                                                                      ByteVector&);
    using FlashWriteCall = ArmillonDeviceError (ORNA_Communication::*)(std::uint32_t, std::uint32_t,
                                                                       const std::uint8_t*);
    ArmillonDeviceError FlashReadWith(FlashReadCall call, std::uint32_t address,
                                      std::uint32_t length, ByteVector& output);
    ArmillonDeviceError FlashWriteWith(FlashWriteCall call, std::uint32_t address,
                                       const ByteVector& data);
    ArmillonDeviceError ReadClockRecord(ORNA_Communication& protocol, ByteVector& record);

    std::unique_ptr<ORNA_Communication> communication_;
    std::unique_ptr<CORNATrainingDataCreatorImpl> impl_;
};

}  // namespace ArmillonDevice
