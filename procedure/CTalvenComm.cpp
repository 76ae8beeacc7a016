// The facade's device operations; the connection is in CTalvenCommConnect.cpp.
#include "CTalvenComm.h"

#include <algorithm>
#include <string>
#include <utility>

#include "DeviceVersionOverride.h"
#include "TextConversion.h"
#include "Transcript.h"

using ArmillonDevice::ArmillonDeviceError;
using ArmillonDevice::ByteVector;
using ArmillonDevice::DeviceErrorCode;
using ArmillonDevice::ITrainingDataCreator;

namespace {

constexpr std::int32_t kInformationFailed = 1;
constexpr std::uint32_t kPendingRecordsSelector = 1;

}  // namespace

CTalvenComm::CTalvenComm(ArmillonDevice::IHidPlatform& platform) : platform_(platform) {}

CTalvenComm::~CTalvenComm() {
    if (!restarted_ && creator_) {
        creator_->Close();
    }
    SetDeviceVersionOverride(nullptr);
    if (creator_) {
        creator_->Close();  // finds nothing left to close after the first
    }
}

void CTalvenComm::Close() {
    if (creator_) {
        creator_->Close();
    }
}

void CTalvenComm::AttachCreator(std::unique_ptr<ITrainingDataCreator> creator) {
    creator_ = std::move(creator);
    restarted_ = false;
}

std::int32_t CTalvenComm::Forward(const ArmillonDeviceError& result) const {
    return result.IsSuccess() ? 0 : result.GetCode();
}

bool CTalvenComm::CopyBuffer(std::uint32_t byteCount, const std::uint8_t* buffer,
                             ByteVector& bytes) {
    if (buffer == nullptr) {
        return byteCount == 0;
    }
    bytes.assign(buffer, buffer + byteCount);
    return true;
}

std::int32_t CTalvenComm::GetProductInfo(std::wstring& productText3, std::wstring& productText2) {
    if (!creator_) {
        return kInformationFailed;
    }
    std::unique_ptr<ArmillonDevice::SDeviceInformation> information;
    if (creator_->GetDeviceInformation(information).IsError() || !information) {
        return kInformationFailed;
    }
    productText3 = information->productText3;
    productText2 = information->productText2;
    return 0;
}

std::int32_t CTalvenComm::GetFirmwareVersion(std::wstring& version) {
    if (!creator_) {
        return kInformationFailed;
    }
    std::unique_ptr<ArmillonDevice::SDeviceInformation> information;
    const auto result = creator_->GetDeviceInformation(information);
    if (const auto override = GetDeviceVersionOverride()) {
        version = common::NarrowToWide(*override);
        return 0;
    }
    if (result.IsError() || !information) {
        return kInformationFailed;
    }
    version = information->firmwareVersion;
    return 0;
}

std::int32_t CTalvenComm::SetData(SetDataOperation operation, std::uint32_t byteCount,
                                  const std::uint8_t* buffer) {
    if (!creator_) {
        return Forward(DeviceErrorCode::GeneralFailure);
    }
    ByteVector bytes;
    if (!CopyBuffer(byteCount, buffer, bytes)) {
        return Forward(DeviceErrorCode::GeneralFailure);
    }
    return Forward(((*creator_).*operation)(bytes));
}

std::int32_t CTalvenComm::SetData1600(std::uint32_t, std::uint32_t byteCount,
                                      const std::uint8_t* buffer) {
    return SetData(&ITrainingDataCreator::SetData1600, byteCount, buffer);
}

std::int32_t CTalvenComm::SetData1601(std::uint32_t, std::uint32_t byteCount,
                                      const std::uint8_t* buffer) {
    return SetData(&ITrainingDataCreator::SetData1601, byteCount, buffer);
}

std::int32_t CTalvenComm::SetData1604(std::uint32_t, std::uint32_t byteCount,
                                      const std::uint8_t* buffer) {
    return SetData(&ITrainingDataCreator::SetData1604, byteCount, buffer);
}

std::int32_t CTalvenComm::SetData1611(std::uint32_t, std::uint32_t byteCount,
                                      const std::uint8_t* buffer) {
    return SetData(&ITrainingDataCreator::SetData1611, byteCount, buffer);
}

std::int32_t CTalvenComm::SetData1614(std::uint32_t, std::uint32_t byteCount,
                                      const std::uint8_t* buffer) {
    return SetData(&ITrainingDataCreator::SetData1614, byteCount, buffer);
}

std::int32_t CTalvenComm::SetData1620(std::uint32_t, std::uint32_t byteCount,
                                      const std::uint8_t* buffer) {
    return SetData(&ITrainingDataCreator::SetData1620, byteCount, buffer);
}

std::int32_t CTalvenComm::GetTrainingDataCount(std::uint16_t& count) {
    if (!creator_) {
        return Forward(DeviceErrorCode::GeneralFailure);
    }
    std::int32_t queued = 0;
    const auto result = creator_->GetTrainingDataCount(queued, kPendingRecordsSelector);
    if (result.IsSuccess()) {
        count = static_cast<std::uint16_t>(queued);
    }
    return Forward(result);
}

std::int32_t CTalvenComm::SendBareCommand(CommandOperation operation) {
    if (!creator_) {
        return Forward(DeviceErrorCode::GeneralFailure);
    }
    const auto result = ((*creator_).*operation)();
    if (result.IsSuccess()) {
        restarted_ = true;
    }
    return Forward(result);
}

std::int32_t CTalvenComm::SendCommand30() {
    return SendBareCommand(&ITrainingDataCreator::SendCommand30);
}

std::int32_t CTalvenComm::SendCommand31() {
    return SendBareCommand(&ITrainingDataCreator::SendCommand31);
}

std::int32_t CTalvenComm::SendCommand32() {
    return SendBareCommand(&ITrainingDataCreator::SendCommand32);
}

std::int32_t CTalvenComm::GetTime(STimeData* time) {
    if (!creator_ || time == nullptr) {
        return Forward(DeviceErrorCode::GeneralFailure);
    }
    return Forward(creator_->GetTime(*time));
}

std::int32_t CTalvenComm::SetTime(STimeData* time) {
    if (!creator_ || time == nullptr) {
        return Forward(DeviceErrorCode::GeneralFailure);
    }
    return Forward(creator_->SetTime(*time));
}

std::int32_t CTalvenComm::ReadFlash(FlashReadOperation operation, std::uint32_t address,
                                    std::uint32_t byteCount, std::uint8_t* buffer) {
    if (!creator_ || (buffer == nullptr && byteCount != 0)) {
        return Forward(DeviceErrorCode::GeneralFailure);
    }
    ByteVector bytes;
    const auto result = ((*creator_).*operation)(address, byteCount, bytes);
    if (result.IsSuccess()) {
        if (bytes.size() != byteCount) {
            return Forward(DeviceErrorCode::InvalidData);
        }
        std::copy(bytes.begin(), bytes.end(), buffer);
    }
    return Forward(result);
}

std::int32_t CTalvenComm::FlashRead(std::uint32_t address, std::uint32_t byteCount,
                                    std::uint8_t* buffer) {
    return ReadFlash(&ITrainingDataCreator::FlashRead, address, byteCount, buffer);
}

std::int32_t CTalvenComm::FlashRead2(std::uint32_t address, std::uint32_t byteCount,
                                     std::uint8_t* buffer) {
    return ReadFlash(&ITrainingDataCreator::FlashRead2, address, byteCount, buffer);
}

std::int32_t CTalvenComm::WriteFlash(FlashWriteOperation operation, std::uint32_t address,
                                     std::uint32_t byteCount, const std::uint8_t* buffer) {
    if (!creator_) {
        return Forward(DeviceErrorCode::GeneralFailure);
    }
    ByteVector bytes;
    if (!CopyBuffer(byteCount, buffer, bytes)) {
        return Forward(DeviceErrorCode::GeneralFailure);
    }
    return Forward(((*creator_).*operation)(address, bytes));
}

std::int32_t CTalvenComm::FlashWrite(std::uint32_t address, std::uint32_t byteCount,
                                     const std::uint8_t* buffer) {
    return WriteFlash(&ITrainingDataCreator::FlashWrite, address, byteCount, buffer);
}

std::int32_t CTalvenComm::FlashWrite2(std::uint32_t address, std::uint32_t byteCount,
                                      const std::uint8_t* buffer) {
    return WriteFlash(&ITrainingDataCreator::FlashWrite2, address, byteCount, buffer);
}

std::int32_t CTalvenComm::FlashSectorErase(std::uint32_t firstSector, std::uint32_t count) {
    if (!creator_) {
        return Forward(DeviceErrorCode::GeneralFailure);
    }
    return Forward(creator_->FlashSectorErase(firstSector, count));
}

std::int32_t CTalvenComm::ExecuteCommand(std::uint32_t, std::uint32_t, std::uint32_t,
                                         const std::uint8_t*) {
    return 0;
}

void CTalvenComm::SetTranscript(common::Transcript* transcript) {
    transcript_ = transcript;
    retryTranscript_.transcript = transcript;
}

void CTalvenComm::RetryTranscript::OnRetry(std::uint32_t attempt, std::uint32_t retryCount,
                                           const ArmillonDeviceError& previous,
                                           std::chrono::milliseconds pause) {
    ++retries;
    if (transcript != nullptr) {
        transcript->Line("retry " + std::to_string(attempt) + " of " + std::to_string(retryCount) +
                         " after " + ArmillonDevice::DescribeDeviceErrorWithCode(previous) +
                         ": pause " + std::to_string(pause.count()) + " ms");
    }
}

void CTalvenComm::RetryTranscript::OnReconnect(const ArmillonDeviceError& result) {
    if (transcript != nullptr) {
        transcript->Line(result.IsSuccess()
                             ? std::string("retry: reconnected")
                             : "retry: reconnection failed: " +
                                   ArmillonDevice::DescribeDeviceErrorWithCode(result));
    }
}

void CTalvenComm::RetryTranscript::OnSameDeviceCheck(const ArmillonDeviceError& result) {
    if (transcript != nullptr) {
        transcript->Line(result.IsSuccess()
                             ? std::string("retry: the same watch answered")
                             : "retry: same-watch check failed: " +
                                   ArmillonDevice::DescribeDeviceErrorWithCode(result));
    }
}
