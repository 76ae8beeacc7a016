#include "PauseLimit.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

common::PauseFunction PauseLimitOfProcess() {
    const char* value = std::getenv("FIRMUPDATER_TEST_MAX_PAUSE_MS");
    if (value == nullptr || *value == '\0') {
        return {};
    }
    const std::chrono::milliseconds limit(static_cast<long long>(std::strtoul(value, nullptr, 10)));
    return [limit](std::chrono::milliseconds duration) {
        std::this_thread::sleep_for(std::min(duration, limit));
    };
}
