#pragma once
// One training (measurement) record downloaded from the device.

#include <cstdint>

struct STrainingData {
    STrainingData() = default;
    STrainingData(const STrainingData&) = default;
    STrainingData& operator=(const STrainingData&) = default;
    virtual ~STrainingData();

    std::int32_t kind = 0;     // 1 for records of the ORNA device
    std::uint16_t number = 0;  // the device's record number, used to mark it uploaded
};
