#include "BasicCommunication.h"

#include "ByteOrder.h"
#include "CommandCodes.h"
#include "ICMD_ErrorData.h"
#include "ICMD_Version.h"
#include "Pause.h"

namespace ArmillonDevice {

BasicCommunication::BasicCommunication(std::unique_ptr<IDevice> device)
    : device_(std::move(device)) {}

BasicCommunication::~BasicCommunication() = default;

bool BasicCommunication::IsOpen() const {
    return device_ && device_->IsOpen();
}

void BasicCommunication::CloseTransport() {
    if (device_) {
        device_->Close();
    }
}

void BasicCommunication::PauseBeforeRetry() const {
    common::Pause(std::chrono::milliseconds(retryInterval_));
}

ArmillonDeviceError BasicCommunication::SendRequest(CommandExchange& exchange) {
    if (!device_) {
        return DeviceErrorCode::GeneralFailure;
    }
    std::vector<std::uint8_t> block(CommandExchange::kBlockHeaderSize, 0);
    std::uint32_t length = 0;
    if (exchange.request != nullptr) {
        const auto payload = exchange.request->Encode();
        // Never send a length field that wrapped round.
        if (!CommandExchange::FitsRequestLength(payload.size(), 0)) {
            return DeviceErrorCode::InvalidData;
        }
        length = static_cast<std::uint32_t>(payload.size());
        block.insert(block.end(), payload.begin(), payload.end());
    }
    block[0] = exchange.commandCode;
    common::StoreLE32(block.data() + 1, length);
    return device_->Write(block);
}

ArmillonDeviceError BasicCommunication::ReceiveReply(CommandExchange& exchange) {
    if (!device_) {
        return DeviceErrorCode::GeneralFailure;
    }
    std::uint8_t header[CommandExchange::kBlockHeaderSize];
    if (auto result = device_->Read(header, exchange.listener); result.IsError()) {
        return result;
    }
    exchange.replyCode = header[0];
    exchange.replyLength = common::LoadLE32(header + 1);
    // The length is the device's word: refuse an absurd one before allocating for it.
    if (exchange.replyLength > CommandExchange::kMaxReplyLength) {
        return DeviceErrorCode::InvalidData;
    }
    exchange.replyBody.assign(exchange.replyLength, 0);
    if (exchange.replyLength != 0) {
        if (auto result = device_->Read(exchange.replyBody, exchange.listener); result.IsError()) {
            return result;
        }
    }
    if (exchange.replyCode == CommandCode::kErrorReply) {
        ICMD_ErrorData error;
        // An error reply without a code is still a failure, never a success.
        if (error.Decode(exchange.replyBody) != static_cast<std::int64_t>(ICMD_ErrorData::kSize)) {
            return DeviceErrorCode::InvalidData;
        }
        return static_cast<std::int32_t>(error.GetErrorCode());
    }
    if (exchange.replyCode != exchange.commandCode) {
        return DeviceErrorCode::UnexpectedReply;
    }
    if (!exchange.replyBody.empty() && exchange.replyDecoder != nullptr &&
        exchange.replyDecoder->Decode(exchange.replyBody) == -1) {
        return DeviceErrorCode::InvalidData;
    }
    return DeviceErrorCode::Success;
}

ArmillonDeviceError BasicCommunication::Exchange(CommandExchange& exchange) {
    if (auto result = SendRequest(exchange); result.IsError()) {
        return result;
    }
    return ReceiveReply(exchange);
}

ArmillonDeviceError BasicCommunication::ExchangeWithRetry(CommandExchange& exchange) {
    auto result = Exchange(exchange);
    for (std::uint32_t attempt = 0; attempt < retryCount_ && result.IsError(); ++attempt) {
        CloseTransport();
        PauseBeforeRetry();
        result = Open();
        if (result.IsError()) {
            break;
        }
        result = Exchange(exchange);
    }
    return result;
}

ArmillonDeviceError BasicCommunication::Connect() {
    if (!device_) {
        return DeviceErrorCode::GeneralFailure;
    }
    if (auto result = device_->Open(); result.IsError()) {
        return result;
    }
    ICMD_Version version;
    CommandExchange exchange;
    exchange.commandCode = CommandCode::kVersion;
    exchange.replyDecoder = &version;
    // A reply without the four version words is no handshake, an empty one included (the
    // decoder only sees bodies that are there).
    if (Exchange(exchange).IsError() || exchange.replyBody.size() < ICMD_Version::kSize) {
        return DeviceErrorCode::TransferFailed;
    }
    versionWords_ = version.GetWords();
    return DeviceErrorCode::Success;
}

ArmillonDeviceError BasicCommunication::Open() {
    if (IsOpen()) {
        return DeviceErrorCode::Success;
    }
    auto result = Connect();
    for (std::uint32_t attempt = 0; attempt < retryCount_ && result.IsError(); ++attempt) {
        CloseTransport();
        PauseBeforeRetry();
        result = Connect();
    }
    if (result.IsError()) {
        CloseTransport();
    }
    return result;
}

ArmillonDeviceError BasicCommunication::Reopen() {
    CloseTransport();
    return Open();
}

ArmillonDeviceError BasicCommunication::Close() {
    CommandExchange exchange;
    exchange.commandCode = CommandCode::kDisconnect;
    const auto result = ExchangeWithRetry(exchange);
    CloseTransport();
    return result;
}

}  // namespace ArmillonDevice
