#pragma once
// Stands in where a creator is required and none was supplied: refuses every operation with
// GeneralFailure and touches no argument.

#include "ITrainingDataCreator.h"

namespace ArmillonDevice {

class CNullTrainingDataCreator final : public ITrainingDataCreator {
  public:
    CNullTrainingDataCreator() = default;
    ~CNullTrainingDataCreator() override;

    ArmillonDeviceError Open() override;
    ArmillonDeviceError Close() override;
    ArmillonDeviceError Reconnect() override;
    ArmillonDeviceError GetDeviceInformation(
        std::unique_ptr<SDeviceInformation>& information) override;
    ArmillonDeviceError GetTrainingDataCount(std::int32_t& count, std::uint32_t selector) override;
    ArmillonDeviceError GetTrainingData(std::unique_ptr<SORNATrainingData>& record,
                                        IReadProgressListener* listener) override;
    ArmillonDeviceError SetUploadFlag(const STrainingData* record) override;
    ArmillonDeviceError SetData1600(const ByteVector& data) override;
    ArmillonDeviceError SetData1601(const ByteVector& data) override;
    ArmillonDeviceError SetData1604(const ByteVector& data) override;
    ArmillonDeviceError SetData1611(const ByteVector& data) override;
    ArmillonDeviceError SetData1614(const ByteVector& data) override;
    ArmillonDeviceError SetData1620(const ByteVector& data) override;
    ArmillonDeviceError GetTime(STimeData& time) override;
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
};

}  // namespace ArmillonDevice
