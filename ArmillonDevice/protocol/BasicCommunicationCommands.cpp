// The device command operations of BasicCommunication; the connection itself is in
// BasicCommunication.cpp.
#include "BasicCommunication.h"
#include "CommandCodes.h"
#include "GetDataProgressListener.h"
#include "ICMD_DataGet.h"
#include "ICMD_DataIndexTableGet.h"
#include "ICMD_DataSet.h"
#include "ICMD_DataSizeGet.h"
#include "ICMD_DataUploadFlagSet.h"
#include "ICMD_FlashRead.h"
#include "ICMD_FlashSectorErase.h"
#include "ICMD_FlashWrite.h"
#include "ICMD_MetaDataGet.h"

namespace ArmillonDevice {
namespace {

CommandExchange MakeExchange(std::uint8_t code, IArmillonData* request, IArmillonData* decoder) {
    CommandExchange exchange;
    exchange.commandCode = code;
    exchange.request = request;
    exchange.replyDecoder = decoder;
    return exchange;
}

// A data-class reply must carry its envelope: an empty body would skip the decoder and
// read as an accepted command with nothing delivered.
ArmillonDeviceError CheckDataClassReply(ArmillonDeviceError result,
                                        const CommandExchange& exchange) {
    if (result.IsSuccess() && exchange.replyBody.empty()) {
        return DeviceErrorCode::InvalidData;
    }
    return result;
}

}  // namespace

ArmillonDeviceError BasicCommunication::SendControlCommand(std::uint8_t code) {
    if (!IsOpen()) {
        return DeviceErrorCode::NotOpen;
    }
    auto exchange = MakeExchange(code, nullptr, nullptr);
    const auto result = ExchangeWithRetry(exchange);
    if (result.IsSuccess()) {
        // The device drops the connection after these commands.
        CloseTransport();
    }
    return result;
}

ArmillonDeviceError BasicCommunication::SendCommand30() {
    return SendControlCommand(CommandCode::kCommand30);
}

ArmillonDeviceError BasicCommunication::SendCommand31() {
    return SendControlCommand(CommandCode::kCommand31);
}

ArmillonDeviceError BasicCommunication::SendCommand32() {
    return SendControlCommand(CommandCode::kCommand32);
}

ArmillonDeviceError BasicCommunication::FlashReadWith(std::uint8_t code, std::uint32_t address,
                                                      std::uint32_t length,
                                                      std::vector<std::uint8_t>& output) {
    if (!IsOpen()) {
        return DeviceErrorCode::NotOpen;
    }
    ICMD_FlashRead command(address, length);
    auto exchange = MakeExchange(code, &command, &command);
    if (auto result = ExchangeWithRetry(exchange); result.IsError()) {
        return result;
    }
    const auto& received = command.GetReceived();
    if (received.size() != length) {
        return DeviceErrorCode::InvalidData;
    }
    output.insert(output.end(), received.begin(), received.end());
    return DeviceErrorCode::Success;
}

ArmillonDeviceError BasicCommunication::FlashRead(std::uint32_t address, std::uint32_t length,
                                                  std::vector<std::uint8_t>& output) {
    return FlashReadWith(CommandCode::kFlashRead, address, length, output);
}

ArmillonDeviceError BasicCommunication::FlashRead2(std::uint32_t address, std::uint32_t length,
                                                   std::vector<std::uint8_t>& output) {
    return FlashReadWith(CommandCode::kFlashRead2, address, length, output);
}

ArmillonDeviceError BasicCommunication::FlashWriteWith(std::uint8_t code, std::uint32_t address,
                                                       std::uint32_t length,
                                                       const std::uint8_t* data) {
    if (!IsOpen()) {
        return DeviceErrorCode::NotOpen;
    }
    if (length != 0 && data == nullptr) {
        return DeviceErrorCode::InvalidData;
    }
    ICMD_FlashWrite command(address, length, data);
    auto exchange = MakeExchange(code, &command, nullptr);
    return ExchangeWithRetry(exchange);
}

ArmillonDeviceError BasicCommunication::FlashWrite(std::uint32_t address, std::uint32_t length,
                                                   const std::uint8_t* data) {
    return FlashWriteWith(CommandCode::kFlashWrite, address, length, data);
}

ArmillonDeviceError BasicCommunication::FlashWrite2(std::uint32_t address, std::uint32_t length,
                                                    const std::uint8_t* data) {
    return FlashWriteWith(CommandCode::kFlashWrite2, address, length, data);
}

ArmillonDeviceError BasicCommunication::FlashSectorErase(std::uint16_t sector) {
    if (!IsOpen()) {
        return DeviceErrorCode::NotOpen;
    }
    if (sector == 0) {
        return DeviceErrorCode::InvalidParameter;
    }
    ICMD_FlashSectorErase command(sector);
    auto exchange = MakeExchange(CommandCode::kFlashSectorErase, &command, nullptr);
    return ExchangeWithRetry(exchange);
}

ArmillonDeviceError BasicCommunication::DataGet(std::uint16_t dataId, std::uint16_t dataNumber,
                                                std::uint32_t offset, std::uint32_t size,
                                                std::vector<std::uint8_t>& output,
                                                IReadProgressListener* listener) {
    if (!IsOpen()) {
        return DeviceErrorCode::NotOpen;
    }
    ArmillonDeviceError result;
    for (std::uint32_t attempt = 0;; ++attempt) {
        std::vector<std::uint8_t> received;
        ICMD_DataGet command(dataId, dataNumber, offset, size, received);
        auto exchange = MakeExchange(CommandCode::kDataGet, &command, &command);
        GetDataProgressListener progress(listener);
        if (listener != nullptr) {
            exchange.listener = &progress;
            listener->OnRead(0, 0);
        }
        result = CheckDataClassReply(Exchange(exchange), exchange);
        if (result.IsSuccess()) {
            output.insert(output.end(), received.begin(), received.end());
            break;
        }
        if (attempt >= retryCount_) {
            break;
        }
        PauseBeforeRetry();
    }
    return result;
}

ArmillonDeviceError BasicCommunication::DataIndexTableGet(std::uint16_t dataId,
                                                          std::uint8_t selector,
                                                          std::vector<std::uint16_t>& output) {
    if (!IsOpen()) {
        return DeviceErrorCode::NotOpen;
    }
    ICMD_DataIndexTableGet command(dataId, selector, output);
    auto exchange = MakeExchange(CommandCode::kDataGet, &command, &command);
    return CheckDataClassReply(ExchangeWithRetry(exchange), exchange);
}

ArmillonDeviceError BasicCommunication::DataSizeGet(std::uint16_t dataId, std::uint16_t dataNumber,
                                                    std::uint32_t& size) {
    if (!IsOpen()) {
        return DeviceErrorCode::NotOpen;
    }
    ICMD_DataSizeGet command(dataId, dataNumber, size);
    auto exchange = MakeExchange(CommandCode::kDataGet, &command, &command);
    return CheckDataClassReply(ExchangeWithRetry(exchange), exchange);
}

ArmillonDeviceError BasicCommunication::MetaDataGet(std::uint16_t dataId, std::uint16_t dataNumber,
                                                    std::vector<std::uint8_t>& output) {
    if (!IsOpen()) {
        return DeviceErrorCode::NotOpen;
    }
    ICMD_MetaDataGet command(dataId, dataNumber, output);
    auto exchange = MakeExchange(CommandCode::kDataGet, &command, &command);
    return CheckDataClassReply(ExchangeWithRetry(exchange), exchange);
}

ArmillonDeviceError BasicCommunication::DataSet(std::uint16_t dataId, std::uint16_t dataNumber,
                                                std::uint32_t offset, std::uint32_t size,
                                                const std::uint8_t* data) {
    if (!IsOpen()) {
        return DeviceErrorCode::NotOpen;
    }
    ICMD_DataSet command(dataId, dataNumber, offset, size, data);
    auto exchange = MakeExchange(CommandCode::kDataSet, &command, &command);
    return CheckDataClassReply(ExchangeWithRetry(exchange), exchange);
}

ArmillonDeviceError BasicCommunication::DataUploadFlagSet(std::uint16_t dataId,
                                                          std::uint16_t dataNumber,
                                                          std::uint32_t flag) {
    if (!IsOpen()) {
        return DeviceErrorCode::NotOpen;
    }
    ICMD_DataUploadFlagSet command(dataId, dataNumber, flag);
    auto exchange = MakeExchange(CommandCode::kDataSet, &command, &command);
    return CheckDataClassReply(ExchangeWithRetry(exchange), exchange);
}

}  // namespace ArmillonDevice
