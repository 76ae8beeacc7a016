#include "CORNATrainingDataCreator.h"

#include <optional>
#include <utility>

#include "CommandExchange.h"
#include "DeviceClockRecord.h"
#include "ICMD_DataSet.h"
#include "ICMD_FlashWrite.h"

namespace ArmillonDevice {
namespace {

constexpr std::uint32_t kUploadedFlag = 0;

// The one size check of the requests that carry data: the data's length as the request
// states it, or nothing when the request's 32-bit length field could not carry the data
// behind a header of `headerSize` bytes.
std::optional<std::uint32_t> RequestDataLength(const ByteVector& data, std::size_t headerSize) {
    if (!CommandExchange::FitsRequestLength(data.size(), headerSize)) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(data.size());
}

}  // namespace

CORNATrainingDataCreator::CORNATrainingDataCreator(
    std::unique_ptr<ORNA_Communication> communication)
    : communication_(std::move(communication)) {}

CORNATrainingDataCreator::~CORNATrainingDataCreator() {
    impl_.reset();  // it borrows the protocol object
    communication_.reset();
}

ORNA_Communication* CORNATrainingDataCreator::Connected() const {
    return impl_ ? impl_->GetProtocol() : nullptr;
}

ArmillonDeviceError CORNATrainingDataCreator::Open() {
    impl_.reset();
    impl_ = std::make_unique<CORNATrainingDataCreatorImpl>();
    if (!communication_) {
        return DeviceErrorCode::GeneralFailure;
    }
    const auto result = communication_->Open();
    if (result.IsSuccess()) {
        impl_->SetProtocol(communication_.get());
    }
    return result;
}

ArmillonDeviceError CORNATrainingDataCreator::Close() {
    if (!impl_) {
        return DeviceErrorCode::Success;
    }
    ArmillonDeviceError result;
    ORNA_Communication* protocol = impl_->GetProtocol();
    if (protocol != nullptr && protocol->IsOpen()) {
        result = protocol->Close();
    }
    if (result.IsSuccess()) {
        impl_.reset();
    }
    return result;
}

ArmillonDeviceError CORNATrainingDataCreator::Reconnect() {
    ORNA_Communication* protocol = Connected();
    if (protocol == nullptr) {
        return DeviceErrorCode::GeneralFailure;
    }
    return protocol->Reopen();
}

ArmillonDeviceError CORNATrainingDataCreator::GetDeviceInformation(
    std::unique_ptr<SDeviceInformation>& information) {
    if (Connected() == nullptr) {
        return DeviceErrorCode::GeneralFailure;
    }
    return impl_->ReadDeviceInformation(information);
}

ArmillonDeviceError CORNATrainingDataCreator::GetTrainingDataCount(std::int32_t& count,
                                                                   std::uint32_t selector) {
    if (Connected() == nullptr) {
        return DeviceErrorCode::GeneralFailure;
    }
    return impl_->QueueTrainingRecords(count, selector);
}

ArmillonDeviceError CORNATrainingDataCreator::GetTrainingData(
    std::unique_ptr<SORNATrainingData>& record, IReadProgressListener* listener) {
    if (!impl_) {
        return DeviceErrorCode::GeneralFailure;
    }
    return impl_->DownloadNextRecord(record, listener);
}

ArmillonDeviceError CORNATrainingDataCreator::SetUploadFlag(const STrainingData* record) {
    ORNA_Communication* protocol = Connected();
    if (protocol == nullptr || record == nullptr) {
        return DeviceErrorCode::GeneralFailure;
    }
    return protocol->DataUploadFlagSet(CORNATrainingDataCreatorImpl::kTrainingDataId,
                                       record->number, kUploadedFlag);
}

ArmillonDeviceError CORNATrainingDataCreator::SetData(std::uint16_t dataId,
                                                      const ByteVector& data) {
    ORNA_Communication* protocol = Connected();
    if (protocol == nullptr) {
        return DeviceErrorCode::GeneralFailure;
    }
    const auto length = RequestDataLength(data, ICMD_DataSet::kRequestHeaderSize);
    if (!length) {
        return DeviceErrorCode::InvalidData;
    }
    return protocol->DataSet(dataId, 0, 0, *length, data.data());
}

ArmillonDeviceError CORNATrainingDataCreator::SetData1600(const ByteVector& data) {
    return SetData(0x1600, data);
}

ArmillonDeviceError CORNATrainingDataCreator::SetData1601(const ByteVector& data) {
    return SetData(0x1601, data);
}

ArmillonDeviceError CORNATrainingDataCreator::SetData1604(const ByteVector& data) {
    return SetData(0x1604, data);
}

ArmillonDeviceError CORNATrainingDataCreator::SetData1611(const ByteVector& data) {
    return SetData(0x1611, data);
}

ArmillonDeviceError CORNATrainingDataCreator::SetData1614(const ByteVector& data) {
    return SetData(0x1614, data);
}

ArmillonDeviceError CORNATrainingDataCreator::SetData1620(const ByteVector& data) {
    return SetData(0x1620, data);
}

ArmillonDeviceError CORNATrainingDataCreator::ReadClockRecord(ORNA_Communication& protocol,
                                                              ByteVector& record) {
    std::uint32_t size = 0;
    if (auto result =
            protocol.DataSizeGet(DeviceClockRecord::kDataId, DeviceClockRecord::kDataNumber, size);
        result.IsError()) {
        return result;
    }
    if (size == 0) {
        return DeviceErrorCode::InvalidData;
    }
    ByteVector bytes;
    if (auto result = protocol.DataGet(DeviceClockRecord::kDataId, DeviceClockRecord::kDataNumber,
                                       0, size, bytes, nullptr);
        result.IsError()) {
        return result;
    }
    if (bytes.size() != size || bytes.size() < DeviceClockRecord::kMinimumSize) {
        return DeviceErrorCode::InvalidData;
    }
    record = std::move(bytes);
    return DeviceErrorCode::Success;
}

ArmillonDeviceError CORNATrainingDataCreator::GetTime(STimeData& time) {
    ORNA_Communication* protocol = Connected();
    if (protocol == nullptr) {
        return DeviceErrorCode::GeneralFailure;
    }
    ByteVector record;
    if (auto result = ReadClockRecord(*protocol, record); result.IsError()) {
        return result;
    }
    STimeData read = time;
    DeviceClockRecord::Load(record, read);
    time = read;
    return DeviceErrorCode::Success;
}

ArmillonDeviceError CORNATrainingDataCreator::SetTime(const STimeData& time) {
    ORNA_Communication* protocol = Connected();
    if (protocol == nullptr) {
        return DeviceErrorCode::GeneralFailure;
    }
    ByteVector record;
    if (auto result = ReadClockRecord(*protocol, record); result.IsError()) {
        return result;
    }
    DeviceClockRecord::Store(time, record);
    return protocol->DataSet(DeviceClockRecord::kDataId, DeviceClockRecord::kDataNumber, 0,
                             static_cast<std::uint32_t>(record.size()), record.data());
}

ArmillonDeviceError CORNATrainingDataCreator::SendCommand30() {
    ORNA_Communication* protocol = Connected();
    return protocol != nullptr ? protocol->SendCommand30()
                               : ArmillonDeviceError(DeviceErrorCode::GeneralFailure);
}

ArmillonDeviceError CORNATrainingDataCreator::SendCommand31() {
    ORNA_Communication* protocol = Connected();
    return protocol != nullptr ? protocol->SendCommand31()
                               : ArmillonDeviceError(DeviceErrorCode::GeneralFailure);
}

ArmillonDeviceError CORNATrainingDataCreator::SendCommand32() {
    ORNA_Communication* protocol = Connected();
    return protocol != nullptr ? protocol->SendCommand32()
                               : ArmillonDeviceError(DeviceErrorCode::GeneralFailure);
}

// Every flash operation takes the same road: the protocol object of the open connection,
// GeneralFailure without one, the data's length checked once before anything is sent.

ArmillonDeviceError CORNATrainingDataCreator::FlashReadWith(FlashReadCall call,
                                                            std::uint32_t address,
                                                            std::uint32_t length,
                                                            ByteVector& output) {
    ORNA_Communication* protocol = Connected();
    if (protocol == nullptr) {
        return DeviceErrorCode::GeneralFailure;
    }
    return (protocol->*call)(address, length, output);
}

ArmillonDeviceError CORNATrainingDataCreator::FlashWriteWith(FlashWriteCall call,
                                                             std::uint32_t address,
                                                             const ByteVector& data) {
    ORNA_Communication* protocol = Connected();
    if (protocol == nullptr) {
        return DeviceErrorCode::GeneralFailure;
    }
    const auto length = RequestDataLength(data, ICMD_FlashWrite::kRequestHeaderSize);
    if (!length) {
        return DeviceErrorCode::InvalidData;
    }
    return (protocol->*call)(address, *length, data.data());
}

ArmillonDeviceError CORNATrainingDataCreator::FlashRead(std::uint32_t address, std::uint32_t length,
                                                        ByteVector& output) {
    return FlashReadWith(&ORNA_Communication::FlashRead, address, length, output);
}

ArmillonDeviceError CORNATrainingDataCreator::FlashRead2(std::uint32_t address,
                                                         std::uint32_t length, ByteVector& output) {
    return FlashReadWith(&ORNA_Communication::FlashRead2, address, length, output);
}

ArmillonDeviceError CORNATrainingDataCreator::FlashWrite(std::uint32_t address,
                                                         const ByteVector& data) {
    return FlashWriteWith(&ORNA_Communication::FlashWrite, address, data);
}

ArmillonDeviceError CORNATrainingDataCreator::FlashWrite2(std::uint32_t address,
                                                          const ByteVector& data) {
    return FlashWriteWith(&ORNA_Communication::FlashWrite2, address, data);
}

ArmillonDeviceError CORNATrainingDataCreator::FlashSectorErase(std::uint32_t firstSector,
                                                               std::uint32_t count) {
    ORNA_Communication* protocol = Connected();
    if (protocol == nullptr) {
        return DeviceErrorCode::GeneralFailure;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        // Sector numbers travel as 16 bits; one that wraps to 0 is refused by the protocol.
        const auto sector = static_cast<std::uint16_t>(firstSector + i);
        if (auto result = protocol->FlashSectorErase(sector); result.IsError()) {
            return result;
        }
    }
    return DeviceErrorCode::Success;
}

}  // namespace ArmillonDevice
