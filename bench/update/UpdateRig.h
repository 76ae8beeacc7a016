#pragma once
// A whole update driven the way the application drives it: the facade connects to a virtual
// watch through the virtual HID platform, and the update worker's procedure walks the
// image's command list through the real framing. Shared by the speed and memory benchmarks.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "Clock.h"
#include "VirtualWatch.h"

namespace updatebench {

// Identity (no end-of-update command, so no reboot), an erase of the flash section's
// sectors, one flash write per `chunk` bytes of a `flashBytes` section, and a 0x1600 block
// of `blockBytes` (no version text: the block need not reach the model's version offset).
std::vector<std::uint8_t> MakeImage(std::size_t flashBytes, std::size_t chunk,
                                    std::size_t blockBytes);

// Report counts seen by the watch during one update.
struct Traffic {
    std::size_t toWatch = 0;
    std::size_t fromWatch = 0;
    std::size_t Total() const { return toWatch + fromWatch; }
};

// Runs one update of `image` (already loaded bytes) against `watch`; true when the worker
// reports success. Counts the reports both ways into `traffic` when given.
bool RunUpdate(watchsim::VirtualWatch& watch, const std::vector<std::uint8_t>& image,
               Traffic* traffic = nullptr);

// Sleeps on a fixed grid: each SleepFor ends one period after the previous deadline (or
// after now, when the caller fell behind), as a full-speed USB link hands out 1 ms frames.
// A plain sleep per report would add the scheduler's overshoot to every report.
class GridPacedClock final : public watchsim::Clock {
  public:
    Duration Now() const override;
    void SleepFor(Duration duration) override;

  private:
    watchsim::SteadyClock steady_;
    Duration deadline_{0};
};

}  // namespace updatebench
