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

// A model whose version text sits at 0x3FFFA, so a 256 KiB version block can carry it.
inline constexpr char kBenchModel[] = "512E";

// The stock watch, of the model above.
watchsim::WatchConfig BenchWatchConfig();

// Identity (no end-of-update command, so no reboot), an erase of the flash section's
// sectors (from sector 1; sector 0 cannot be erased), one flash write per `chunk` bytes of
// a `flashBytes` section at 0x1000, and a 0x1600 block
// of `blockBytes` with version "01.30".
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

// Sleeps on a fixed grid: each SleepFor ends at the next free grid point (one period after
// the previous one, or the first one after now when the caller fell behind), as a
// full-speed USB link hands out 1 ms frames.
// A plain sleep per report would add the scheduler's overshoot to every report.
class GridPacedClock final : public watchsim::Clock {
  public:
    Duration Now() const override;
    void SleepFor(Duration duration) override;

  private:
    watchsim::SteadyClock steady_;
    Duration deadline_{0};
    bool started_ = false;
};

}  // namespace updatebench
