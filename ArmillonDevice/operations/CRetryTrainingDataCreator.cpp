#include "CRetryTrainingDataCreator.h"

#include <chrono>
#include <utility>

#include "CNullTrainingDataCreator.h"
#include "Pause.h"

namespace ArmillonDevice {

CRetryTrainingDataCreator::CRetryTrainingDataCreator(std::unique_ptr<ITrainingDataCreator> inner,
                                                     std::uint32_t retryInterval,
                                                     std::uint32_t retryCount)
    : retryInterval_(retryInterval),
      retryCount_(retryCount),
      inner_(inner ? std::move(inner) : std::make_unique<CNullTrainingDataCreator>()) {}

CRetryTrainingDataCreator::~CRetryTrainingDataCreator() {
    cached_.reset();  // the identity goes before the creator that read it
    inner_.reset();
}

ArmillonDeviceError CRetryTrainingDataCreator::RunWithRetry(ArmillonDeviceError first,
                                                            const RetryAction& action) const {
    if (first.IsSuccess()) {
        return first;
    }
    ArmillonDeviceError result = first;
    for (std::uint32_t attempt = 0; attempt < retryCount_; ++attempt) {
        if (observer_ != nullptr) {
            observer_->OnRetry(attempt + 1, retryCount_, result,
                               std::chrono::milliseconds(retryInterval_));
        }
        common::Pause(std::chrono::milliseconds(retryInterval_));
        result = action();
        if (result.IsSuccess()) {
            break;
        }
    }
    return result;
}

ArmillonDeviceError CRetryTrainingDataCreator::VerifyDeviceIdentity() {
    if (!cached_) {
        return DeviceErrorCode::GeneralFailure;
    }
    std::unique_ptr<SDeviceInformation> fresh;
    if (auto result = inner_->GetDeviceInformation(fresh); result.IsError()) {
        return result;
    }
    if (!fresh || fresh->hardwareText != cached_->hardwareText) {
        return DeviceErrorCode::TransferFailed;  // another device answered
    }
    return DeviceErrorCode::Success;
}

ArmillonDeviceError CRetryTrainingDataCreator::ReconnectForRetry() {
    const auto result = inner_->Reconnect();
    if (observer_ != nullptr) {
        observer_->OnReconnect(result);
    }
    return result;
}

ArmillonDeviceError CRetryTrainingDataCreator::RetryOrdinary(const RetryAction& operation) {
    if (auto result = ReconnectForRetry(); result.IsError()) {
        return result;
    }
    const auto same = VerifyDeviceIdentity();
    if (observer_ != nullptr) {
        observer_->OnSameDeviceCheck(same);
    }
    if (same.IsError()) {
        return same;
    }
    return operation();
}

ArmillonDeviceError CRetryTrainingDataCreator::RunOrdinary(const RetryAction& operation) {
    return RunWithRetry(operation(), [&] { return RetryOrdinary(operation); });
}

ArmillonDeviceError CRetryTrainingDataCreator::RefreshDeviceInformation() {
    std::unique_ptr<SDeviceInformation> information;
    const auto result =
        RunWithRetry(inner_->GetDeviceInformation(information), [&]() -> ArmillonDeviceError {
            if (auto reconnected = ReconnectForRetry(); reconnected.IsError()) {
                return reconnected;
            }
            return inner_->GetDeviceInformation(information);
        });
    if (result.IsSuccess()) {
        if (!information) {
            return DeviceErrorCode::GeneralFailure;
        }
        cached_ = std::move(information);
    }
    return result;
}

ArmillonDeviceError CRetryTrainingDataCreator::Open() {
    auto result = RunWithRetry(inner_->Open(), [&] { return inner_->Open(); });
    if (result.IsSuccess()) {
        result = RefreshDeviceInformation();
    }
    if (result.IsError()) {
        Close();
    }
    return result;
}

ArmillonDeviceError CRetryTrainingDataCreator::Close() {
    RunWithRetry(inner_->Close(), [&]() -> ArmillonDeviceError {
        if (auto reconnected = inner_->Reconnect(); reconnected.IsError()) {
            return reconnected;
        }
        return inner_->Close();
    });
    cached_.reset();
    return DeviceErrorCode::Success;
}

ArmillonDeviceError CRetryTrainingDataCreator::Reconnect() {
    return inner_->Reconnect();
}

ArmillonDeviceError CRetryTrainingDataCreator::GetDeviceInformation(
    std::unique_ptr<SDeviceInformation>& information) {
    if (!cached_) {
        return DeviceErrorCode::GeneralFailure;
    }
    information = std::make_unique<SDeviceInformation>(*cached_);
    return DeviceErrorCode::Success;
}

ArmillonDeviceError CRetryTrainingDataCreator::GetTrainingDataCount(std::int32_t& count,
                                                                    std::uint32_t selector) {
    const RetryAction operation = [&] { return inner_->GetTrainingDataCount(count, selector); };
    const auto first = operation();
    if (first == DeviceErrorCode::UnsupportedFirmware) {
        return first;  // the firmware will not get older by asking again
    }
    return RunWithRetry(first, [&] { return RetryOrdinary(operation); });
}

ArmillonDeviceError CRetryTrainingDataCreator::GetTrainingData(
    std::unique_ptr<SORNATrainingData>& record, IReadProgressListener* listener) {
    return RunOrdinary([&] { return inner_->GetTrainingData(record, listener); });
}

ArmillonDeviceError CRetryTrainingDataCreator::SetUploadFlag(const STrainingData* record) {
    return RunOrdinary([&] { return inner_->SetUploadFlag(record); });
}

ArmillonDeviceError CRetryTrainingDataCreator::SetData1600(const ByteVector& data) {
    return RunOrdinary([&] { return inner_->SetData1600(data); });
}

ArmillonDeviceError CRetryTrainingDataCreator::SetData1601(const ByteVector& data) {
    return RunOrdinary([&] { return inner_->SetData1601(data); });
}

ArmillonDeviceError CRetryTrainingDataCreator::SetData1604(const ByteVector& data) {
    return RunOrdinary([&] { return inner_->SetData1604(data); });
}

ArmillonDeviceError CRetryTrainingDataCreator::SetData1611(const ByteVector& data) {
    return RunOrdinary([&] { return inner_->SetData1611(data); });
}

ArmillonDeviceError CRetryTrainingDataCreator::SetData1614(const ByteVector& data) {
    return RunOrdinary([&] { return inner_->SetData1614(data); });
}

ArmillonDeviceError CRetryTrainingDataCreator::SetData1620(const ByteVector& data) {
    return RunOrdinary([&] { return inner_->SetData1620(data); });
}

ArmillonDeviceError CRetryTrainingDataCreator::GetTime(STimeData& time) {
    return RunOrdinary([&] { return inner_->GetTime(time); });
}

ArmillonDeviceError CRetryTrainingDataCreator::SetTime(const STimeData& time) {
    return RunOrdinary([&] { return inner_->SetTime(time); });
}

ArmillonDeviceError CRetryTrainingDataCreator::SendCommand30() {
    return RunOrdinary([&] { return inner_->SendCommand30(); });
}

ArmillonDeviceError CRetryTrainingDataCreator::SendCommand31() {
    return RunOrdinary([&] { return inner_->SendCommand31(); });
}

ArmillonDeviceError CRetryTrainingDataCreator::SendCommand32() {
    return RunOrdinary([&] { return inner_->SendCommand32(); });
}

ArmillonDeviceError CRetryTrainingDataCreator::FlashRead(std::uint32_t address,
                                                         std::uint32_t length, ByteVector& output) {
    return RunOrdinary([&] { return inner_->FlashRead(address, length, output); });
}

ArmillonDeviceError CRetryTrainingDataCreator::FlashWrite(std::uint32_t address,
                                                          const ByteVector& data) {
    return RunOrdinary([&] { return inner_->FlashWrite(address, data); });
}

ArmillonDeviceError CRetryTrainingDataCreator::FlashSectorErase(std::uint32_t firstSector,
                                                                std::uint32_t count) {
    return RunOrdinary([&] { return inner_->FlashSectorErase(firstSector, count); });
}

ArmillonDeviceError CRetryTrainingDataCreator::FlashRead2(std::uint32_t address,
                                                          std::uint32_t length,
                                                          ByteVector& output) {
    return RunOrdinary([&] { return inner_->FlashRead2(address, length, output); });
}

ArmillonDeviceError CRetryTrainingDataCreator::FlashWrite2(std::uint32_t address,
                                                           const ByteVector& data) {
    return RunOrdinary([&] { return inner_->FlashWrite2(address, data); });
}

}  // namespace ArmillonDevice
