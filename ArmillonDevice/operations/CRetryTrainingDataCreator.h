#pragma once
// The retry policy of the device operations, as a decorator around another creator. A failed
// operation is attempted again after a pause, up to the retry count; before each new attempt
// the connection is re-established and the device must prove to be the one that was opened
// (same hardware text). This is the only place that retries device operations.

#include <cstdint>
#include <functional>
#include <memory>

#include "IRetryObserver.h"
#include "ITrainingDataCreator.h"

namespace ArmillonDevice {

class CRetryTrainingDataCreator final : public ITrainingDataCreator {
  public:
    // One more attempt of an operation, with the arguments of the first.
    using RetryAction = std::function<ArmillonDeviceError()>;

    // A null inner creator is replaced by a CNullTrainingDataCreator. The interval is in
    // milliseconds; the count is the number of attempts after the first.
    CRetryTrainingDataCreator(std::unique_ptr<ITrainingDataCreator> inner,
                              std::uint32_t retryInterval, std::uint32_t retryCount);
    ~CRetryTrainingDataCreator() override;
    CRetryTrainingDataCreator(const CRetryTrainingDataCreator&) = delete;
    CRetryTrainingDataCreator& operator=(const CRetryTrainingDataCreator&) = delete;

    // Opens, retrying the open alone, then reads and caches the device's identity.
    ArmillonDeviceError Open() override;
    // Always succeeds: the connection is given up either way and the identity forgotten.
    ArmillonDeviceError Close() override;
    // Never retried.
    ArmillonDeviceError Reconnect() override;
    // A copy of the identity cached when the connection was opened; the device is not asked.
    ArmillonDeviceError GetDeviceInformation(
        std::unique_ptr<SDeviceInformation>& information) override;
    // A firmware too new for the download (UnsupportedFirmware) is not retried.
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

    // Returns `first` when it is a success; otherwise pauses for the retry interval and runs
    // the action, up to the retry count, until an attempt succeeds. The result is the last
    // attempt's.
    ArmillonDeviceError RunWithRetry(ArmillonDeviceError first, const RetryAction& action) const;
    // Asks the inner creator for the identity and compares its hardware text with the
    // cached one: TransferFailed when another device answered, GeneralFailure when nothing
    // is cached.
    ArmillonDeviceError VerifyDeviceIdentity();

    std::uint32_t GetRetryInterval() const { return retryInterval_; }
    std::uint32_t GetRetryCount() const { return retryCount_; }
    ITrainingDataCreator& GetInner() const { return *inner_; }
    // The identity read when the connection was opened; null while none is open.
    const SDeviceInformation* GetCachedDeviceInformation() const { return cached_.get(); }
    // The observer (borrowed, may be null) hears about every retry from now on.
    void SetObserver(IRetryObserver* observer) { observer_ = observer; }

  private:
    ArmillonDeviceError RefreshDeviceInformation();
    // The retry policy of an ordinary operation: `operation` calls the inner creator's
    // operation with the caller's arguments; each retry reconnects and checks the identity
    // first.
    ArmillonDeviceError RunOrdinary(const RetryAction& operation);
    ArmillonDeviceError RetryOrdinary(const RetryAction& operation);
    // The inner Reconnect, told to the observer.
    ArmillonDeviceError ReconnectForRetry();

    std::uint32_t retryInterval_;
    std::uint32_t retryCount_;
    std::unique_ptr<ITrainingDataCreator> inner_;
    std::unique_ptr<SDeviceInformation> cached_;
    IRetryObserver* observer_ = nullptr;
};

}  // namespace ArmillonDevice
