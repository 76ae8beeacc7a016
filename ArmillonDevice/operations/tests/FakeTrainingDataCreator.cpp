#include "FakeTrainingDataCreator.h"

#include <algorithm>
#include <sstream>

namespace ArmillonDevice::testing {
namespace {

std::string Describe(const ByteVector& data) {
    std::ostringstream out;
    out << data.size() << " bytes @" << static_cast<const void*>(&data);
    return out.str();
}

std::string Numbers(std::initializer_list<std::uint64_t> values) {
    std::ostringstream out;
    out << std::hex;
    const char* separator = "";
    for (auto v : values) {
        out << separator << "0x" << v;
        separator = ",";
    }
    return out.str();
}

}  // namespace

FakeTrainingDataCreator::FakeTrainingDataCreator() {
    identity.firmwareVersion = L"01.20";
    identity.hardwareText = L"ORNA-HWREV1-612E";
    identity.productText1 = L"ORNA Running Watch";
    identity.productText2 = L"0A51";
    identity.productText3 = L"EU01";
}

FakeTrainingDataCreator::~FakeTrainingDataCreator() = default;

void FakeTrainingDataCreator::Script(const std::string& operation,
                                     std::vector<std::int32_t> codes) {
    auto& queue = script_[operation];
    queue.insert(queue.end(), codes.begin(), codes.end());
}

std::vector<std::string> FakeTrainingDataCreator::CallsOf(const std::string& operation) const {
    std::vector<std::string> found;
    for (const auto& call : calls) {
        if (call.rfind(operation + "(", 0) == 0) {
            found.push_back(call);
        }
    }
    return found;
}

int FakeTrainingDataCreator::CountOf(const std::string& operation) const {
    return static_cast<int>(CallsOf(operation).size());
}

ArmillonDeviceError FakeTrainingDataCreator::Next(const std::string& operation,
                                                  const std::string& arguments) {
    calls.push_back(operation + "(" + arguments + ")");
    if (journal != nullptr) {
        journal->push_back(calls.back());
    }
    auto& queue = script_[operation];
    if (queue.empty()) {
        return DeviceErrorCode::Success;
    }
    const std::int32_t code = queue.front();
    queue.pop_front();
    return code;
}

ArmillonDeviceError FakeTrainingDataCreator::Open() {
    return Next("Open");
}
ArmillonDeviceError FakeTrainingDataCreator::Close() {
    return Next("Close");
}
ArmillonDeviceError FakeTrainingDataCreator::Reconnect() {
    return Next("Reconnect");
}

ArmillonDeviceError FakeTrainingDataCreator::GetDeviceInformation(
    std::unique_ptr<SDeviceInformation>& information) {
    const auto result = Next("GetDeviceInformation");
    if (result.IsSuccess()) {
        auto fresh = std::make_unique<SDeviceInformation>(identity);
        if (!hardwareTexts.empty()) {
            fresh->hardwareText = hardwareTexts.front();
            if (hardwareTexts.size() > 1) {
                hardwareTexts.pop_front();
            }
        }
        information = std::move(fresh);
    }
    return result;
}

ArmillonDeviceError FakeTrainingDataCreator::GetTrainingDataCount(std::int32_t& count,
                                                                  std::uint32_t selector) {
    const auto result =
        Next("GetTrainingDataCount", Numbers({reinterpret_cast<std::uintptr_t>(&count), selector}));
    if (result.IsSuccess()) {
        count = trainingCount;
    }
    return result;
}

ArmillonDeviceError FakeTrainingDataCreator::GetTrainingData(
    std::unique_ptr<SORNATrainingData>& record, IReadProgressListener* listener) {
    const auto result =
        Next("GetTrainingData", Numbers({reinterpret_cast<std::uintptr_t>(&record),
                                         reinterpret_cast<std::uintptr_t>(listener)}));
    if (result.IsSuccess()) {
        record = std::make_unique<SORNATrainingData>();
    }
    return result;
}

ArmillonDeviceError FakeTrainingDataCreator::SetUploadFlag(const STrainingData* record) {
    return Next("SetUploadFlag", Numbers({reinterpret_cast<std::uintptr_t>(record)}));
}

ArmillonDeviceError FakeTrainingDataCreator::SetData1600(const ByteVector& data) {
    return Next("SetData1600", Describe(data));
}
ArmillonDeviceError FakeTrainingDataCreator::SetData1601(const ByteVector& data) {
    return Next("SetData1601", Describe(data));
}
ArmillonDeviceError FakeTrainingDataCreator::SetData1604(const ByteVector& data) {
    return Next("SetData1604", Describe(data));
}
ArmillonDeviceError FakeTrainingDataCreator::SetData1611(const ByteVector& data) {
    return Next("SetData1611", Describe(data));
}
ArmillonDeviceError FakeTrainingDataCreator::SetData1614(const ByteVector& data) {
    return Next("SetData1614", Describe(data));
}
ArmillonDeviceError FakeTrainingDataCreator::SetData1620(const ByteVector& data) {
    return Next("SetData1620", Describe(data));
}

ArmillonDeviceError FakeTrainingDataCreator::GetTime(STimeData& time) {
    const auto result = Next("GetTime", Numbers({reinterpret_cast<std::uintptr_t>(&time)}));
    if (result.IsSuccess()) {
        time.time = deviceTime;
    }
    return result;
}

ArmillonDeviceError FakeTrainingDataCreator::SetTime(const STimeData& time) {
    const auto result = Next("SetTime", Numbers({reinterpret_cast<std::uintptr_t>(&time)}));
    if (result.IsSuccess()) {
        deviceTime = time.time;
    }
    return result;
}

ArmillonDeviceError FakeTrainingDataCreator::SendCommand30() {
    return Next("SendCommand30");
}
ArmillonDeviceError FakeTrainingDataCreator::SendCommand31() {
    return Next("SendCommand31");
}
ArmillonDeviceError FakeTrainingDataCreator::SendCommand32() {
    return Next("SendCommand32");
}

ArmillonDeviceError FakeTrainingDataCreator::FlashRead(std::uint32_t address, std::uint32_t length,
                                                       ByteVector& output) {
    const auto result = Next("FlashRead", Numbers({address, length}) + " " + Describe(output));
    if (result.IsSuccess()) {
        for (std::uint32_t i = 0; i < length; ++i) {
            output.push_back(flashBytes[i % flashBytes.size()]);
        }
    }
    return result;
}

ArmillonDeviceError FakeTrainingDataCreator::FlashWrite(std::uint32_t address,
                                                        const ByteVector& data) {
    return Next("FlashWrite", Numbers({address}) + " " + Describe(data));
}

ArmillonDeviceError FakeTrainingDataCreator::FlashSectorErase(std::uint32_t firstSector,
                                                              std::uint32_t count) {
    return Next("FlashSectorErase", Numbers({firstSector, count}));
}

ArmillonDeviceError FakeTrainingDataCreator::FlashRead2(std::uint32_t address, std::uint32_t length,
                                                        ByteVector& output) {
    const auto result = Next("FlashRead2", Numbers({address, length}) + " " + Describe(output));
    if (result.IsSuccess()) {
        for (std::uint32_t i = 0; i < length; ++i) {
            output.push_back(flashBytes[i % flashBytes.size()]);
        }
    }
    return result;
}

ArmillonDeviceError FakeTrainingDataCreator::FlashWrite2(std::uint32_t address,
                                                         const ByteVector& data) {
    return Next("FlashWrite2", Numbers({address}) + " " + Describe(data));
}

}  // namespace ArmillonDevice::testing
