#include "CORNATrainingDataCreatorImpl.h"

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace ArmillonDevice {

CORNATrainingDataCreatorImpl::CORNATrainingDataCreatorImpl() = default;

CORNATrainingDataCreatorImpl::~CORNATrainingDataCreatorImpl() = default;

template <typename Record>
ArmillonDeviceError CORNATrainingDataCreatorImpl::BringIn(std::unique_ptr<Record>& slot) {
    if (slot) {
        return DeviceErrorCode::Success;
    }
    if (protocol_ == nullptr) {
        return DeviceErrorCode::GeneralFailure;
    }
    auto record = std::make_unique<Record>(*protocol_);
    if (auto result = record->Update(); result.IsError()) {
        return result;
    }
    slot = std::move(record);
    return DeviceErrorCode::Success;
}

ArmillonDeviceError CORNATrainingDataCreatorImpl::BringInAll() {
    if (auto result = BringIn(firmwareInformation_); result.IsError()) {
        return result;
    }
    if (auto result = BringIn(productInformation_); result.IsError()) {
        return result;
    }
    return BringIn(hardwareInformation_);
}

ArmillonDeviceError CORNATrainingDataCreatorImpl::ReadDeviceInformation(
    std::unique_ptr<SDeviceInformation>& information) {
    firmwareInformation_.reset();
    productInformation_.reset();
    hardwareInformation_.reset();
    if (auto result = BringInAll(); result.IsError()) {
        return result;
    }
    auto fresh = std::make_unique<SDeviceInformation>();
    fresh->firmwareVersion = DeviceTextToWide(firmwareInformation_->GetVersion());
    fresh->hardwareText = DeviceTextToWide(hardwareInformation_->GetHardwareText());
    fresh->productText1 = DeviceTextToWide(productInformation_->GetProductText1());
    fresh->productText2 = DeviceTextToWide(productInformation_->GetProductText2());
    fresh->productText3 = DeviceTextToWide(productInformation_->GetProductText3());
    information = std::move(fresh);
    return DeviceErrorCode::Success;
}

ArmillonDeviceError CORNATrainingDataCreatorImpl::CheckFirmwareGeneration() {
    if (auto result = BringIn(firmwareInformation_); result.IsError()) {
        return result;
    }
    // Read as the C library reads a number: leading blanks and a sign accepted, stops at
    // the first non-digit, 0 without digits.
    const std::string head = firmwareInformation_->GetVersion().substr(0, 2);
    const long generation = std::strtol(head.c_str(), nullptr, 10);
    if (static_cast<unsigned long>(generation) > 1) {
        return DeviceErrorCode::UnsupportedFirmware;
    }
    return DeviceErrorCode::Success;
}

ArmillonDeviceError CORNATrainingDataCreatorImpl::QueueTrainingRecords(std::int32_t& count,
                                                                       std::uint32_t selector) {
    if (auto result = CheckFirmwareGeneration(); result.IsError()) {
        return result;
    }
    std::vector<std::uint16_t> numbers;
    if (auto result = protocol_->DataIndexTableGet(kTrainingDataId,
                                                   static_cast<std::uint8_t>(selector), numbers);
        result.IsError()) {
        return result;
    }
    pendingRecords_.assign(numbers.begin(), numbers.end());
    count = static_cast<std::int32_t>(pendingRecords_.size());
    return DeviceErrorCode::Success;
}

ArmillonDeviceError CORNATrainingDataCreatorImpl::DownloadNextRecord(
    std::unique_ptr<SORNATrainingData>& record, IReadProgressListener* listener) {
    if (listener != nullptr) {
        listener->OnRead(0, 100);
    }
    if (pendingRecords_.empty()) {
        return DeviceErrorCode::NoRecord;
    }
    if (auto result = BringInAll(); result.IsError()) {
        return result;
    }
    const std::uint16_t number = pendingRecords_.front();
    ByteVector metadata;
    if (auto result = protocol_->MetaDataGet(kTrainingDataId, number, metadata); result.IsError()) {
        return result;
    }
    std::uint32_t size = 0;
    if (auto result = protocol_->DataSizeGet(kTrainingDataId, number, size); result.IsError()) {
        return result;
    }
    if (size == 0) {
        return DeviceErrorCode::InvalidData;
    }
    ByteVector data;
    if (auto result = protocol_->DataGet(kTrainingDataId, number, 0, size, data, listener);
        result.IsError()) {
        return result;
    }
    if (data.size() != size) {
        return DeviceErrorCode::InvalidData;
    }

    auto fresh = std::make_unique<SORNATrainingData>();
    fresh->kind = 1;
    fresh->number = number;
    fresh->productText2 = productInformation_->GetProductText2();
    fresh->productText3 = productInformation_->GetProductText3();
    fresh->hardwareText = hardwareInformation_->GetHardwareText();
    fresh->versionText = firmwareInformation_->GetVersion();
    fresh->bytes = std::move(metadata);
    fresh->bytes.insert(fresh->bytes.end(), data.begin(), data.end());
    record = std::move(fresh);
    pendingRecords_.pop_front();
    return DeviceErrorCode::Success;
}

}  // namespace ArmillonDevice
