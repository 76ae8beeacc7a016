// Finding the one watch the image is meant for and opening it.
#include <algorithm>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "ArmillonException.h"
#include "ArmillonExceptionCodes.h"
#include "CORNATrainingDataCreator.h"
#include "CRetryTrainingDataCreator.h"
#include "CTalvenComm.h"
#include "DeviceList.h"
#include "ORNA_Communication.h"
#include "ORNA_Device.h"
#include "TextConversion.h"
#include "Transcript.h"

using ArmillonDevice::DeviceIdentifier;
using ArmillonDevice::DeviceIdentifierList;
using ArmillonDevice::ITrainingDataCreator;

namespace {

constexpr std::size_t kProductCodeLength = 4;

// The model code is the end of the hardware text.
// The watch's model code: the last four characters of its hardware text.
std::wstring_view ModelCodeOf(std::wstring_view hardwareText) {
    return hardwareText.size() < kProductCodeLength
               ? hardwareText
               : hardwareText.substr(hardwareText.size() - kProductCodeLength);
}

bool EndsWithProductCode(std::wstring_view hardwareText, std::wstring_view productCode) {
    return ModelCodeOf(hardwareText) == productCode;
}

std::string HexId(std::uint16_t id) {
    return common::FormatHex(id, 4);
}

// The device's path, or "device" when the platform has none to give.
std::string Named(const DeviceIdentifier& identity) {
    auto name = identity.Describe();
    return name.empty() ? std::string("device") : name;
}

}  // namespace

std::unique_ptr<ITrainingDataCreator> CTalvenComm::BuildChain(const DeviceIdentifier& identity) {
    auto readerWriter = platform_.CreateReaderWriter();
    if (readerWriter) {
        readerWriter->SetWriteListener(&writeForwarder_);
    }
    auto device =
        std::make_unique<ArmillonDevice::ORNA_Device>(identity.Clone(), std::move(readerWriter));
    auto communication = std::make_unique<ArmillonDevice::ORNA_Communication>(std::move(device));
    auto operations =
        std::make_unique<ArmillonDevice::CORNATrainingDataCreator>(std::move(communication));
    auto retry = std::make_unique<ArmillonDevice::CRetryTrainingDataCreator>(
        std::move(operations), kRetryInterval, kRetryCount);
    retry->SetObserver(&retryTranscript_);
    return retry;
}

bool CTalvenComm::OpenDeviceList(std::uint16_t vendorId, std::uint16_t productId) {
    if (deviceList_) {
        return false;
    }
    EnumerationObserver observer;
    if (transcript_ != nullptr && transcript_->Enabled()) {
        observer = [&](int attempt, std::size_t found) {
            transcript_->Line("enumeration " + std::to_string(attempt) + " of " +
                              std::to_string(kDeviceListAttempts) + " (vendor " + HexId(vendorId) +
                              ", product " + HexId(productId) + "): " + std::to_string(found) +
                              " device(s)");
        };
    }
    deviceList_ = CreateDeviceListWithRetry(platform_, vendorId, productId, observer);
    return deviceList_ != nullptr;
}

bool CTalvenComm::OpenedTheProbedWatch(const wchar_t* productCode) {
    std::unique_ptr<ArmillonDevice::SDeviceInformation> information;
    return creator_->GetDeviceInformation(information).IsSuccess() && information &&
           productCode != nullptr && EndsWithProductCode(information->hardwareText, productCode) &&
           information->hardwareText == matchedHardwareText_;
}

void CTalvenComm::ProbeDevice(const DeviceIdentifier& identity, const wchar_t* productCode,
                              DeviceIdentifierList& matches) {
    const bool tell = transcript_ != nullptr && transcript_->Enabled();
    const std::string name = tell ? "probe " + Named(identity) + ": " : std::string();
    creator_ = BuildChain(identity);  // the previous chain goes, sending nothing
    if (auto opened = creator_->Open(); opened.IsError()) {
        if (tell) {
            transcript_->Line(
                name + "cannot be opened: " + ArmillonDevice::DescribeDeviceErrorWithCode(opened));
        }
        return;
    }
    std::unique_ptr<ArmillonDevice::SDeviceInformation> information;
    const bool read = creator_->GetDeviceInformation(information).IsSuccess() && information;
    const bool match = read && productCode != nullptr &&
                       EndsWithProductCode(information->hardwareText, productCode);
    if (match) {
        matches.push_back(identity.Clone());
        matchedHardwareText_ = information->hardwareText;
    } else if (read) {
        const std::wstring model(ModelCodeOf(information->hardwareText));
        if (!model.empty() &&
            std::ranges::find(otherModelCodes_, model) == otherModelCodes_.end()) {
            otherModelCodes_.push_back(model);
        }
    }
    if (tell) {
        transcript_->Line(
            name +
            (read ? "hardware text \"" + common::WideToUtf8(information->hardwareText) + "\", "
                  : std::string("no identity, ")) +
            (match ? "matches" : "does not match") + " the model code \"" +
            (productCode != nullptr ? common::WideToUtf8(productCode) : "") + "\"");
    }
    creator_->Close();
}

bool CTalvenComm::Connect(std::uint16_t vendorId, std::uint16_t productId,
                          const wchar_t* productCode) {
    try {
        deviceList_.reset();
        matchedHardwareText_.clear();
        otherModelCodes_.clear();
        DeviceIdentifierList matches;
        if (!OpenDeviceList(vendorId, productId) || deviceList_->GetDeviceCount() == 0) {
            deviceList_.reset();
            throw DeviceException(exception_code::kNotConnected);
        }
        for (const auto& identity : deviceList_->GetIdentities()) {
            ProbeDevice(*identity, productCode, matches);
        }
        deviceList_.reset();
        if (matches.empty()) {
            throw DeviceException(exception_code::kNotConnected);
        }
        if (matches.size() > 1) {
            throw DeviceException(exception_code::kSeveralConnected);
        }
        creator_ = BuildChain(*matches.front());
        restarted_ = false;
        if (auto opened = creator_->Open(); opened.IsError()) {
            if (transcript_ != nullptr) {
                transcript_->Line("connection: " + Named(*matches.front()) + " cannot be opened: " +
                                  ArmillonDevice::DescribeDeviceErrorWithCode(opened));
            }
            throw DeviceException(exception_code::kDeviceOperationFailed);
        }
        // The open reads the watch's identity afresh and every later same-watch check compares
        // with it: it must be the watch that was probed, not one swapped in meanwhile.
        if (!OpenedTheProbedWatch(productCode)) {
            if (transcript_ != nullptr) {
                transcript_->Line("connection: " + Named(*matches.front()) +
                                  " answered with another hardware text than the probed watch");
            }
            creator_->Close();
            creator_.reset();
            throw DeviceException(exception_code::kDeviceOperationFailed);
        }
        if (transcript_ != nullptr) {
            transcript_->Line("connection: " + Named(*matches.front()) + " open");
        }
        return true;
    } catch (const std::bad_alloc&) {
        deviceList_.reset();
        throw DeviceException(exception_code::kDeviceOperationFailed);
    }
}
