#pragma once
// The application's one handle on the watch. Connect finds exactly one matching watch and
// opens it through the retrying device chain; every device operation then forwards to that
// chain and returns 0 or the device error code. Only Connect throws.
//
// The platform's HID layer is borrowed and outlives the facade.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CArmillonProcedure.h"
#include "CORNADeviceDependentObjectFactory.h"
#include "IHidPlatform.h"
#include "IRetryObserver.h"
#include "ITrainingDataCreator.h"
#include "IWriteProgressListener.h"
#include "STimeData.h"

namespace common {
class Transcript;
}

class CTalvenComm : public CArmillonProcedure {
  public:
    // The retry policy of the device chain.
    static constexpr std::uint32_t kRetryInterval = 3000;  // milliseconds
    static constexpr std::uint32_t kRetryCount = 2;

    explicit CTalvenComm(ArmillonDevice::IHidPlatform& platform);
    // Closes the connection (once when the watch has already left it after a bare command)
    // and releases the "/d:" version override.
    ~CTalvenComm() override;
    CTalvenComm(const CTalvenComm&) = delete;
    CTalvenComm& operator=(const CTalvenComm&) = delete;

    // Connects to the one watch with these identifiers whose hardware text ends with the
    // product code (case-sensitive). Returns true, or throws DeviceException: 272 when no
    // watch qualifies, 273 when several do, 271 when the one that does cannot be opened, when
    // the final open reaches a watch other than the one probed (another model or hardware
    // text: a watch swapped in the cradle, a reused node), or memory runs out.
    bool Connect(std::uint16_t vendorId, std::uint16_t productId, const wchar_t* productCode);
    // Ends the connection; the result is not examined.
    void Close();
    // The model codes (the last four characters of the hardware text) of the watches the
    // last Connect read and found to be of another model, each once, in the order found.
    // When it threw 272 with some here, the cradle holds a watch, just not one for the image.
    const std::vector<std::wstring>& OtherModelCodes() const { return otherModelCodes_; }

    // Steps of Connect. OpenDeviceList builds the device list unless one is held and says
    // whether one is held now. ProbeDevice opens one candidate, adds it to the matches when
    // it qualifies (remembering its hardware text), and closes it again.
    bool OpenDeviceList(std::uint16_t vendorId, std::uint16_t productId);
    void ProbeDevice(const ArmillonDevice::DeviceIdentifier& identity, const wchar_t* productCode,
                     ArmillonDevice::DeviceIdentifierList& matches);

    std::int32_t GetProductInfo(std::wstring& productText3, std::wstring& productText2) override;
    std::int32_t GetFirmwareVersion(std::wstring& version) override;
    std::int32_t SetData1600(std::uint32_t unused, std::uint32_t byteCount,
                             const std::uint8_t* buffer) override;
    virtual std::int32_t SetData1601(std::uint32_t unused, std::uint32_t byteCount,
                                     const std::uint8_t* buffer);
    virtual std::int32_t SetData1604(std::uint32_t unused, std::uint32_t byteCount,
                                     const std::uint8_t* buffer);
    virtual std::int32_t SetData1611(std::uint32_t unused, std::uint32_t byteCount,
                                     const std::uint8_t* buffer);
    virtual std::int32_t SetData1614(std::uint32_t unused, std::uint32_t byteCount,
                                     const std::uint8_t* buffer);
    virtual std::int32_t SetData1620(std::uint32_t unused, std::uint32_t byteCount,
                                     const std::uint8_t* buffer);
    // The number of training records not yet uploaded, cut to 16 bits.
    virtual std::int32_t GetTrainingDataCount(std::uint16_t& count);
    // The bare device commands; on success the watch has left the connection.
    virtual std::int32_t SendCommand30();
    virtual std::int32_t GetTime(STimeData* time);
    virtual std::int32_t SetTime(STimeData* time);
    virtual std::int32_t SendCommand31();
    virtual std::int32_t SendCommand32();
    // Copies byteCount bytes of flash into the buffer.
    virtual std::int32_t FlashRead(std::uint32_t address, std::uint32_t byteCount,
                                   std::uint8_t* buffer);
    virtual std::int32_t FlashWrite(std::uint32_t address, std::uint32_t byteCount,
                                    const std::uint8_t* buffer);
    virtual std::int32_t FlashSectorErase(std::uint32_t firstSector, std::uint32_t count);
    virtual std::int32_t FlashRead2(std::uint32_t address, std::uint32_t byteCount,
                                    std::uint8_t* buffer);
    virtual std::int32_t FlashWrite2(std::uint32_t address, std::uint32_t byteCount,
                                     const std::uint8_t* buffer);
    // Does nothing and returns 0: the update worker runs the image's commands itself.
    virtual std::int32_t ExecuteCommand(std::uint32_t type, std::uint32_t value1,
                                        std::uint32_t value2, const std::uint8_t* data);

    // Null before a connection was attempted.
    ArmillonDevice::ITrainingDataCreator* GetCreator() const { return creator_.get(); }
    // Puts a creator built elsewhere in place of the current one (tools and tests).
    void AttachCreator(std::unique_ptr<ArmillonDevice::ITrainingDataCreator> creator);
    // The listener (borrowed, may be null) hears about every report written to the watch
    // from now on, through whichever connection the facade holds or builds later.
    void SetWriteListener(ArmillonDevice::IWriteProgressListener* listener) {
        writeForwarder_.target = listener;
    }
    // Diagnostics (borrowed, may be null): the enumerations and probes of Connect and every
    // retry of the device chain go to the transcript from now on.
    void SetTranscript(common::Transcript* transcript);
    common::Transcript* GetTranscript() const { return transcript_; }
    // Retries the device chain has begun since the facade was built.
    std::uint32_t RetryCount() const { return retryTranscript_.retries; }
    // True once a bare device command has succeeded.
    bool IsRestarted() const { return restarted_; }
    bool HoldsDeviceList() const { return deviceList_ != nullptr; }

  private:
    // The chain for one watch: reader/writer, device, protocol, ORNA operations, retries.
    std::unique_ptr<ArmillonDevice::ITrainingDataCreator> BuildChain(
        const ArmillonDevice::DeviceIdentifier& identity);
    std::int32_t Forward(const ArmillonDevice::ArmillonDeviceError& result) const;
    // After the final open: the watch that answered is the one the probe kept.
    bool OpenedTheProbedWatch(const wchar_t* productCode);
    // Checks the caller's (byte count, buffer) and copies it; false for a null buffer with
    // a non-zero count.
    static bool CopyBuffer(std::uint32_t byteCount, const std::uint8_t* buffer,
                           ArmillonDevice::ByteVector& bytes);
    using SetDataOperation = ArmillonDevice::ArmillonDeviceError (
        ArmillonDevice::ITrainingDataCreator::*)(const ArmillonDevice::ByteVector&);
    std::int32_t SetData(SetDataOperation operation, std::uint32_t byteCount,
                         const std::uint8_t* buffer);
    using FlashReadOperation = ArmillonDevice::ArmillonDeviceError (
        ArmillonDevice::ITrainingDataCreator::*)(std::uint32_t, std::uint32_t,
                                                 ArmillonDevice::ByteVector&);
    std::int32_t ReadFlash(FlashReadOperation operation, std::uint32_t address,
                           std::uint32_t byteCount, std::uint8_t* buffer);
    using FlashWriteOperation = ArmillonDevice::ArmillonDeviceError (
        ArmillonDevice::ITrainingDataCreator::*)(std::uint32_t, const ArmillonDevice::ByteVector&);
    std::int32_t WriteFlash(FlashWriteOperation operation, std::uint32_t address,
                            std::uint32_t byteCount, const std::uint8_t* buffer);
    using CommandOperation =
        ArmillonDevice::ArmillonDeviceError (ArmillonDevice::ITrainingDataCreator::*)();
    std::int32_t SendBareCommand(CommandOperation operation);

    // Installed on every reader/writer the facade builds, so a listener set later reaches
    // the connection already open.
    struct WriteForwarder : ArmillonDevice::IWriteProgressListener {
        void OnWritten(std::uint32_t payloadLength) override {
            if (target != nullptr) {
                target->OnWritten(payloadLength);
            }
        }
        ArmillonDevice::IWriteProgressListener* target = nullptr;
    };

    // Counts the chain's retries and writes them to the transcript.
    struct RetryTranscript : ArmillonDevice::IRetryObserver {
        void OnRetry(std::uint32_t attempt, std::uint32_t retryCount,
                     const ArmillonDevice::ArmillonDeviceError& previous,
                     std::chrono::milliseconds pause) override;
        void OnReconnect(const ArmillonDevice::ArmillonDeviceError& result) override;
        void OnSameDeviceCheck(const ArmillonDevice::ArmillonDeviceError& result) override;
        common::Transcript* transcript = nullptr;
        std::uint32_t retries = 0;
    };

    ArmillonDevice::IHidPlatform& platform_;
    WriteForwarder writeForwarder_;
    RetryTranscript retryTranscript_;
    common::Transcript* transcript_ = nullptr;
    std::unique_ptr<CORNADeviceDependentObjectFactory> deviceList_;  // only while connecting
    std::unique_ptr<ArmillonDevice::ITrainingDataCreator> creator_;
    bool restarted_ = false;
    // The hardware text of the last watch the probe kept; the final open must find it again.
    std::wstring matchedHardwareText_;
    std::vector<std::wstring> otherModelCodes_;
};
