#include "WatchConfig.h"

#include <algorithm>
#include <stdexcept>

namespace watchsim {

std::string ModelCode(const WatchConfig& config) {
    std::string text = config.hardwareText.substr(0, 16);
    text = text.substr(0, text.find('\0'));
    return text.size() <= 4 ? text : text.substr(text.size() - 4);
}

std::uint32_t VersionOffsetForModel(std::string_view model) {
    // Models with a 512 KiB firmware block carry the version 6 bytes before its end; all
    // others have a 256 KiB block.
    static constexpr std::string_view kLargeBlockModels[] = {"612E", "712E", "912E", "122E",
                                                             "222E", "322E", "422E"};
    const bool large = std::find(std::begin(kLargeBlockModels), std::end(kLargeBlockModels),
                                 model) != std::end(kLargeBlockModels);
    return large ? 0x7FFFA : 0x3FFFA;
}

void ValidateConfig(const WatchConfig& config) {
    if (config.reportLength < 3 || config.reportLength > 513) {
        throw std::invalid_argument("report length must be 3 to 513 bytes");
    }
    if (config.sectorSize == 0 || config.flashSize == 0 || config.flashSize % config.sectorSize) {
        throw std::invalid_argument("flash size must be a non-zero multiple of the sector size");
    }
    if (config.flashSize > 0xFFFFFFFFu || config.flash2Size > 0xFFFFFFFFu) {
        throw std::invalid_argument("flash areas are addressed with 32 bits");
    }
    if (config.firmwareVersion.size() != 5) {
        throw std::invalid_argument("the firmware version text has 5 characters");
    }
    if (config.hardwareText.size() > 16) {
        throw std::invalid_argument("the hardware text has at most 16 characters");
    }
    if (config.rebootDelay.count() < 0 || config.reportLatency.count() < 0) {
        throw std::invalid_argument("delays cannot be negative");
    }
}

}  // namespace watchsim
