#include "UpdateProgress.h"

#include <algorithm>

void UpdateProgress::BeginStep(std::uint64_t bytes) {
    stepStart_ = Sent();
    stepBytes_ = bytes;
    heardInStep_ = 0;
}

void UpdateProgress::EndStep() {
    sent_.store(stepStart_ + stepBytes_, std::memory_order_relaxed);
    stepStart_ += stepBytes_;
    stepBytes_ = 0;
    heardInStep_ = 0;
}

void UpdateProgress::OnWritten(std::uint32_t payloadLength) {
    if (heardInStep_ >= stepBytes_) {
        return;  // between steps, or a step resending what it sent already
    }
    heardInStep_ += payloadLength;
    sent_.store(stepStart_ + std::min(heardInStep_, stepBytes_), std::memory_order_relaxed);
}
