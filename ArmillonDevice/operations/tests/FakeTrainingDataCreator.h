#pragma once
// A creator that records every call (name and arguments, one string each) and answers from
// a script of results per operation; an operation without scripted results succeeds.

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "ITrainingDataCreator.h"

namespace ArmillonDevice::testing {

class FakeTrainingDataCreator : public ITrainingDataCreator {
  public:
    FakeTrainingDataCreator();
    ~FakeTrainingDataCreator() override;

    // Results of the next calls of one operation, in order.
    void Script(const std::string& operation, std::vector<std::int32_t> codes);
    std::vector<std::string> CallsOf(const std::string& operation) const;
    int CountOf(const std::string& operation) const;

    std::vector<std::string> calls;
    // Also receives every call when set; it may outlive the creator.
    std::vector<std::string>* journal = nullptr;
    // What GetDeviceInformation hands out; hardwareTexts, when not empty, gives the
    // hardware text of the successive successful calls (the last one repeats).
    SDeviceInformation identity;
    std::deque<std::wstring> hardwareTexts;
    // Delivered by the reading operations on success.
    std::int32_t trainingCount = 3;
    ByteVector flashBytes{0xAB};
    SSystemTime deviceTime{};

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

  private:
    ArmillonDeviceError Next(const std::string& operation, const std::string& arguments = "");

    std::map<std::string, std::deque<std::int32_t>> script_;
};

}  // namespace ArmillonDevice::testing
