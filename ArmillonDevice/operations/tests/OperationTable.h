#pragma once
// The operations that take part in the retry policy (all but Open, Close, Reconnect and
// GetDeviceInformation), each as one call with caller-side storage that shows whether an
// output was touched.

#include <functional>
#include <memory>
#include <ostream>

#include "ITrainingDataCreator.h"

namespace ArmillonDevice::testing {

struct Arguments {
    std::int32_t count = -1;
    std::unique_ptr<SORNATrainingData> record;
    SORNATrainingData uploaded;
    ByteVector data{1, 2, 3};
    ByteVector output{0xEE};
    STimeData time{SSystemTime{}, STimeZoneInformation{}, 0};

    bool OutputsUntouched() const {
        return count == -1 && record == nullptr && output == ByteVector{0xEE} &&
               time.time == SSystemTime{};
    }
};

struct OperationCase {
    const char* operation;
    std::function<ArmillonDeviceError(ITrainingDataCreator&, Arguments&)> call;
};

inline void PrintTo(const OperationCase& c, std::ostream* out) {
    *out << c.operation;
}

inline const OperationCase kOrdinaryOperations[] = {
    {"GetTrainingDataCount", [](auto& c, auto& a) { return c.GetTrainingDataCount(a.count, 1); }},
    {"GetTrainingData", [](auto& c, auto& a) { return c.GetTrainingData(a.record, nullptr); }},
    {"SetUploadFlag", [](auto& c, auto& a) { return c.SetUploadFlag(&a.uploaded); }},
    {"SetData1600", [](auto& c, auto& a) { return c.SetData1600(a.data); }},
    {"SetData1601", [](auto& c, auto& a) { return c.SetData1601(a.data); }},
    {"SetData1604", [](auto& c, auto& a) { return c.SetData1604(a.data); }},
    {"SetData1611", [](auto& c, auto& a) { return c.SetData1611(a.data); }},
    {"SetData1614", [](auto& c, auto& a) { return c.SetData1614(a.data); }},
    {"SetData1620", [](auto& c, auto& a) { return c.SetData1620(a.data); }},
    {"GetTime", [](auto& c, auto& a) { return c.GetTime(a.time); }},
    {"SetTime", [](auto& c, auto& a) { return c.SetTime(a.time); }},
    {"SendCommand30", [](auto& c, auto&) { return c.SendCommand30(); }},
    {"SendCommand31", [](auto& c, auto&) { return c.SendCommand31(); }},
    {"SendCommand32", [](auto& c, auto&) { return c.SendCommand32(); }},
    {"FlashRead", [](auto& c, auto& a) { return c.FlashRead(0x1000, 4, a.output); }},
    {"FlashWrite", [](auto& c, auto& a) { return c.FlashWrite(0x2000, a.data); }},
    {"FlashSectorErase", [](auto& c, auto&) { return c.FlashSectorErase(7, 3); }},
    {"FlashRead2", [](auto& c, auto& a) { return c.FlashRead2(0x3000, 2, a.output); }},
    {"FlashWrite2", [](auto& c, auto& a) { return c.FlashWrite2(0x4000, a.data); }},
};

}  // namespace ArmillonDevice::testing
