#pragma once
// The whole device chain on in-process virtual watches, for tests: retry decorator, ORNA
// operations, protocol, device, virtual transport, watch. Pauses pass in the watches'
// virtual time and are recorded, so a test sees every wait without sleeping through it.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "CORNATrainingDataCreator.h"
#include "CRetryTrainingDataCreator.h"
#include "Pause.h"
#include "WatchBus.h"

namespace ArmillonDevice::testing {

// While alive, every common::Pause is recorded, moves the bus's clock on by its length and
// returns; `also` (when set) runs after that, e.g. to plug a watch in during a pause.
class VirtualTimePauses {
  public:
    using Observer = std::function<void(std::chrono::milliseconds)>;

    explicit VirtualTimePauses(const watchsim::WatchBus& bus, Observer also = {});
    ~VirtualTimePauses();
    VirtualTimePauses(const VirtualTimePauses&) = delete;
    VirtualTimePauses& operator=(const VirtualTimePauses&) = delete;

    std::vector<std::chrono::milliseconds> Pauses() const;
    // How many pauses of exactly this length were asked for.
    std::size_t CountOf(std::chrono::milliseconds length) const;
    void Clear();
    void SetObserver(Observer also);

  private:
    mutable std::mutex mutex_;
    std::vector<std::chrono::milliseconds> pauses_;
    Observer also_;
    common::PauseFunction previous_;
};

inline constexpr std::chrono::milliseconds kRetryPause{3000};
inline constexpr std::chrono::milliseconds kReportTimeout{10000};

// The requests a watch has handled of one kind (and data identifier, when given).
std::size_t CountRequests(const watchsim::VirtualWatch& watch, watchsim::CommandKind kind,
                          std::optional<std::uint16_t> dataId = std::nullopt);

// The device operations the facade would use on one watch: the ORNA operations behind the
// retry decorator (3000 ms, two retries).
std::unique_ptr<CRetryTrainingDataCreator> MakeWatchChain(watchsim::HostPort& port);

// One stock (or configured) watch on a bus and the chain on it.
struct WatchChain {
    explicit WatchChain(watchsim::WatchConfig config = {});
    ~WatchChain();

    std::size_t Count(watchsim::CommandKind kind,
                      std::optional<std::uint16_t> dataId = std::nullopt) const {
        return CountRequests(watch, kind, dataId);
    }

    watchsim::WatchBus bus;
    watchsim::VirtualWatch& watch;
    VirtualTimePauses pauses;
    std::unique_ptr<CRetryTrainingDataCreator> creator;
    CORNATrainingDataCreator* orna;  // inside creator
};

}  // namespace ArmillonDevice::testing
