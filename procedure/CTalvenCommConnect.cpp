// Finding the one watch the image is meant for and opening it.
#include <new>
#include <string_view>
#include <utility>

#include "ArmillonException.h"
#include "CORNATrainingDataCreator.h"
#include "CRetryTrainingDataCreator.h"
#include "CTalvenComm.h"
#include "DeviceList.h"
#include "ORNA_Communication.h"
#include "ORNA_Device.h"

using ArmillonDevice::DeviceIdentifier;
using ArmillonDevice::DeviceIdentifierList;
using ArmillonDevice::ITrainingDataCreator;

namespace {

constexpr std::int32_t kOpenFailed = 271;
constexpr std::int32_t kNotConnected = 272;
constexpr std::int32_t kSeveralConnected = 273;

constexpr std::size_t kProductCodeLength = 4;

// The model code is the end of the hardware text.
bool EndsWithProductCode(std::wstring_view hardwareText, std::wstring_view productCode) {
    const auto tail = hardwareText.size() < kProductCodeLength
                          ? hardwareText
                          : hardwareText.substr(hardwareText.size() - kProductCodeLength);
    return tail == productCode;
}

}  // namespace

std::unique_ptr<ITrainingDataCreator> CTalvenComm::BuildChain(const DeviceIdentifier& identity) {
    auto device = std::make_unique<ArmillonDevice::ORNA_Device>(identity.Clone(),
                                                                platform_.CreateReaderWriter());
    auto communication = std::make_unique<ArmillonDevice::ORNA_Communication>(std::move(device));
    auto operations =
        std::make_unique<ArmillonDevice::CORNATrainingDataCreator>(std::move(communication));
    return std::make_unique<ArmillonDevice::CRetryTrainingDataCreator>(std::move(operations),
                                                                       kRetryInterval, kRetryCount);
}

bool CTalvenComm::OpenDeviceList(std::uint16_t vendorId, std::uint16_t productId) {
    if (deviceList_) {
        return false;
    }
    deviceList_ = CreateDeviceListWithRetry(platform_, vendorId, productId);
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
    creator_ = BuildChain(identity);  // the previous chain goes, sending nothing
    if (creator_->Open().IsError()) {
        return;
    }
    std::unique_ptr<ArmillonDevice::SDeviceInformation> information;
    if (creator_->GetDeviceInformation(information).IsSuccess() && information &&
        productCode != nullptr && EndsWithProductCode(information->hardwareText, productCode)) {
        matches.push_back(identity.Clone());
        matchedHardwareText_ = information->hardwareText;
    }
    creator_->Close();
}

bool CTalvenComm::Connect(std::uint16_t vendorId, std::uint16_t productId,
                          const wchar_t* productCode) {
    try {
        deviceList_.reset();
        matchedHardwareText_.clear();
        DeviceIdentifierList matches;
        if (!OpenDeviceList(vendorId, productId) || deviceList_->GetDeviceCount() == 0) {
            deviceList_.reset();
            throw DeviceException(kNotConnected);
        }
        for (const auto& identity : deviceList_->GetIdentities()) {
            ProbeDevice(*identity, productCode, matches);
        }
        deviceList_.reset();
        if (matches.empty()) {
            throw DeviceException(kNotConnected);
        }
        if (matches.size() > 1) {
            throw DeviceException(kSeveralConnected);
        }
        creator_ = BuildChain(*matches.front());
        restarted_ = false;
        if (creator_->Open().IsError()) {
            throw DeviceException(kOpenFailed);
        }
        // The open reads the watch's identity afresh and every later same-watch check compares
        // with it: it must be the watch that was probed, not one swapped in meanwhile.
        if (!OpenedTheProbedWatch(productCode)) {
            creator_->Close();
            creator_.reset();
            throw DeviceException(kOpenFailed);
        }
        return true;
    } catch (const std::bad_alloc&) {
        deviceList_.reset();
        throw DeviceException(kOpenFailed);
    }
}
