#pragma once
// The connection to one device: one command at a time as a request block and its reply
// block, the version handshake on open and the disconnect command on close, and one
// operation per device command.
//
// Nothing here retries unless the retry count is raised from its default of 0; retrying is
// the business of the layer above. Every pause goes through common::Pause.

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "ArmillonDeviceError.h"
#include "CommandExchange.h"
#include "IDevice.h"
#include "IReadProgressListener.h"

namespace ArmillonDevice {

class BasicCommunication {
  public:
    static constexpr std::uint32_t kDefaultRetryInterval = 3000;  // milliseconds

    explicit BasicCommunication(std::unique_ptr<IDevice> device);
    BasicCommunication(const BasicCommunication&) = delete;
    BasicCommunication& operator=(const BasicCommunication&) = delete;
    virtual ~BasicCommunication();

    // Opens the transport and performs the handshake; success at once when already open.
    // A failed handshake gives TransferFailed and leaves the transport closed.
    ArmillonDeviceError Open();
    // Closes the transport and opens again.
    ArmillonDeviceError Reopen();
    // Sends the disconnect command, then closes the transport whatever the reply.
    ArmillonDeviceError Close();
    bool IsOpen() const;

    ArmillonDeviceError Exchange(CommandExchange& exchange);
    ArmillonDeviceError ExchangeWithRetry(CommandExchange& exchange);
    ArmillonDeviceError SendRequest(CommandExchange& exchange);
    ArmillonDeviceError ReceiveReply(CommandExchange& exchange);

    // Device commands. Each returns NotOpen while the transport is closed, before any
    // argument check; outputs are changed only on success.

    // Control commands; after a successful one the device drops the connection, so the
    // transport is closed.
    ArmillonDeviceError SendCommand30();
    ArmillonDeviceError SendCommand31();
    ArmillonDeviceError SendCommand32();

    // Appends exactly `length` bytes of flash (InvalidData for any other reply length).
    ArmillonDeviceError FlashRead(std::uint32_t address, std::uint32_t length,
                                  std::vector<std::uint8_t>& output);
    ArmillonDeviceError FlashRead2(std::uint32_t address, std::uint32_t length,
                                   std::vector<std::uint8_t>& output);
    // `data` holds `length` bytes; null with a non-zero length gives InvalidData.
    ArmillonDeviceError FlashWrite(std::uint32_t address, std::uint32_t length,
                                   const std::uint8_t* data);
    ArmillonDeviceError FlashWrite2(std::uint32_t address, std::uint32_t length,
                                    const std::uint8_t* data);
    // Sector 0 gives InvalidParameter.
    ArmillonDeviceError FlashSectorErase(std::uint16_t sector);

    // Data-class commands. A reply whose status byte is not 0, whose echo differs or which
    // is too short (an empty body included) gives InvalidData.
    ArmillonDeviceError DataGet(std::uint16_t dataId, std::uint16_t dataNumber,
                                std::uint32_t offset, std::uint32_t size,
                                std::vector<std::uint8_t>& output, IReadProgressListener* listener);
    ArmillonDeviceError DataIndexTableGet(std::uint16_t dataId, std::uint8_t selector,
                                          std::vector<std::uint16_t>& output);
    ArmillonDeviceError DataSizeGet(std::uint16_t dataId, std::uint16_t dataNumber,
                                    std::uint32_t& size);
    ArmillonDeviceError MetaDataGet(std::uint16_t dataId, std::uint16_t dataNumber,
                                    std::vector<std::uint8_t>& output);
    // `data` holds `size` bytes; null sends `size` zero bytes.
    ArmillonDeviceError DataSet(std::uint16_t dataId, std::uint16_t dataNumber,
                                std::uint32_t offset, std::uint32_t size, const std::uint8_t* data);
    ArmillonDeviceError DataUploadFlagSet(std::uint16_t dataId, std::uint16_t dataNumber,
                                          std::uint32_t flag);

    // The four words of the last successful handshake, in reply order.
    const std::array<std::uint16_t, 4>& GetVersionWords() const { return versionWords_; }

    std::uint32_t GetRetryCount() const { return retryCount_; }
    void SetRetryCount(std::uint32_t count) { retryCount_ = count; }
    std::uint32_t GetRetryInterval() const { return retryInterval_; }
    void SetRetryInterval(std::uint32_t milliseconds) { retryInterval_ = milliseconds; }

    IDevice* GetDevice() const { return device_.get(); }

  private:
    ArmillonDeviceError Connect();
    void CloseTransport();
    void PauseBeforeRetry() const;
    ArmillonDeviceError SendControlCommand(std::uint8_t code);
    ArmillonDeviceError FlashReadWith(std::uint8_t code, std::uint32_t address,
                                      std::uint32_t length, std::vector<std::uint8_t>& output);
    ArmillonDeviceError FlashWriteWith(std::uint8_t code, std::uint32_t address,
                                       std::uint32_t length, const std::uint8_t* data);

    std::array<std::uint16_t, 4> versionWords_{};
    std::uint32_t retryCount_ = 0;
    std::uint32_t retryInterval_ = kDefaultRetryInterval;
    std::unique_ptr<IDevice> device_;
};

}  // namespace ArmillonDevice
