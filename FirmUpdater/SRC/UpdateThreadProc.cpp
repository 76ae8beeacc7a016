// The update on the worker thread: the image's command list through the facade.
#include <new>
#include <optional>

#include "ArmillonException.h"
#include "CMessageDisplay.h"
#include "COrnaFirmware.h"
#include "CTalvenComm.h"
#include "CUpdateWorker.h"
#include "ImageLayout.h"
#include "MessageBoxRequest.h"
#include "ResourceIds.h"

namespace {

constexpr std::int32_t kDeviceOperationFailed = 271;
constexpr std::int32_t kOtherDeviceFound = 275;
constexpr std::int32_t kCommunicationError = 276;

using Command = CFirmwareData::_COMMAND;

void Check(std::int32_t result) {
    if (result != 0) {
        throw DeviceException(kDeviceOperationFailed);
    }
}

// A bare command makes the watch leave the connection; it is closed on this side as well
// and never opened again.
void SendBareCommand(CTalvenComm& facade, std::int32_t (CTalvenComm::*command)()) {
    Check((facade.*command)());
    facade.Close();
}

void Execute(CTalvenComm& facade, const Command& command) {
    using namespace firmware;
    const auto length = command.value2;
    switch (command.type) {
        case SECTION_DEVICE_IDENTITY:
        case SECTION_201603:
        case SECTION_201613:
            return;
        case SECTION_VERSION_BLOCK_1600:
            return Check(facade.SetData1600(0, length, command.data));
        case SECTION_VERSION_BLOCK_1601:
            return Check(facade.SetData1601(0, length, command.data));
        case SECTION_DATA_1604:
            return Check(facade.SetData1604(0, length, command.data));
        case SECTION_DATA_1611:
            return Check(facade.SetData1611(0, length, command.data));
        case SECTION_DATA_1614:
            return Check(facade.SetData1614(0, length, command.data));
        case SECTION_DATA_1620:
            return Check(facade.SetData1620(0, length, command.data));
        case SECTION_COMMAND_30:
            return SendBareCommand(facade, &CTalvenComm::SendCommand30);
        case SECTION_COMMAND_31:
            return SendBareCommand(facade, &CTalvenComm::SendCommand31);
        case SECTION_COMMAND_32:
            return SendBareCommand(facade, &CTalvenComm::SendCommand32);
        case SECTION_FLASH_WRITE:
        case SECTION_FLASH_WRITE_44:  // the first flash area's write command all the same
            return Check(facade.FlashWrite(command.value1, length, command.data));
        case SECTION_SECTOR_ERASE:
            return Check(facade.FlashSectorErase(command.value1, command.value2));
        default:
            return Check(
                facade.ExecuteCommand(command.type, command.value1, command.value2, command.data));
    }
}

// The end-of-update flags of the identity section; an identity too short to hold them asks
// for nothing.
std::uint8_t EndOfUpdateFlags(const std::optional<Command>& identity) {
    if (!identity || identity->data == nullptr ||
        identity->value2 <= firmware::kIdentityFlagsOffset) {
        return 0;
    }
    return identity->data[firmware::kIdentityFlagsOffset];
}

void RunCommands(CTalvenComm& facade, const COrnaFirmware& image) {
    std::optional<Command> identity;
    for (const auto& command : image.commands) {
        if (command.type == firmware::SECTION_DEVICE_IDENTITY) {
            identity = command;  // the last one counts
        }
    }
    for (const auto& command : image.commands) {
        Execute(facade, command);
    }
    const auto flags = EndOfUpdateFlags(identity);
    if ((flags & firmware::kFlagCommand31) != 0) {
        SendBareCommand(facade, &CTalvenComm::SendCommand31);
    }
    if ((flags & firmware::kFlagCommand30) != 0) {
        SendBareCommand(facade, &CTalvenComm::SendCommand30);
    }
    if ((flags & firmware::kFlagCommand32) != 0) {
        SendBareCommand(facade, &CTalvenComm::SendCommand32);
    }
    facade.Close();
}

std::uint16_t MessageFor(const DeviceException& e) {
    switch (e.code) {
        case kOtherDeviceFound:
            return res::IDS_OTHER_DEVICE;
        case kCommunicationError:
            return res::IDS_COMMUNICATION_ERROR;
        default:
            return res::IDS_UPDATE_FAILED;
    }
}

// Sets `finished` when the procedure ends, whichever way it ends.
struct FinishedOnExit {
    CUpdateWorker& worker;
    ~FinishedOnExit() { worker.finished.store(1, std::memory_order_release); }
};

}  // namespace

std::int32_t UpdateThreadProc(CUpdateWorker* worker) {
    FinishedOnExit finish{*worker};
    std::optional<std::uint16_t> failure;
    try {
        if (worker->facade == nullptr || worker->firmware == nullptr) {
            throw DeviceException(kDeviceOperationFailed);
        }
        RunCommands(*worker->facade, *worker->firmware);
        worker->succeeded.store(1, std::memory_order_release);
        return 0;
    } catch (const std::bad_alloc&) {
        failure = res::IDS_OUT_OF_MEMORY;
    } catch (const DeviceException& e) {
        failure = MessageFor(e);
    } catch (...) {
        failure = res::IDS_UPDATE_FAILED;
    }
    try {
        const auto messages = worker->owner != nullptr ? CMessageDisplay(*worker->owner)
                                                       : CMessageDisplay(worker->ui);
        messages.Show(*failure, ui::MB_ICONEXCLAMATION);
    } catch (...) {
        // Not even the message could be shown; the dialog still learns of the failure.
    }
    return -1;
}
