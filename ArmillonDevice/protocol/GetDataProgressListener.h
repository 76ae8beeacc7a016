#pragma once
// Turns the transport's per-report notifications of a DataGet reply into counts for the
// caller's listener: the reply body bytes received so far and the body length the reply
// announced (the body counts the envelope and the echoed parameters too).

#include <cstdint>
#include <vector>

#include "IReadProgressListener.h"

namespace ArmillonDevice {

class GetDataProgressListener : public IReadProgressListener {
  public:
    // `target` is borrowed and may be null.
    explicit GetDataProgressListener(IReadProgressListener* target) : target_(target) {}

    void OnRead(std::uintptr_t value, std::uint32_t length) override;

  private:
    IReadProgressListener* target_;
    std::vector<std::uint8_t> header_;  // the reply block's first 5 bytes
    std::uint32_t received_ = 0;
};

}  // namespace ArmillonDevice
