#pragma once
// A training record of the ORNA device together with the texts that name the device that
// produced it (byte strings copied whole from the information records).

#include <cstdint>
#include <string>
#include <vector>

#include "STrainingData.h"

struct SORNATrainingData : STrainingData {
    SORNATrainingData() = default;
    SORNATrainingData(const SORNATrainingData&) = default;
    SORNATrainingData& operator=(const SORNATrainingData&) = default;
    ~SORNATrainingData() override;

    std::string productText2;
    std::string productText3;
    std::string hardwareText;
    std::string versionText;
    std::vector<std::uint8_t> bytes;  // the record's meta data followed by its data
};
