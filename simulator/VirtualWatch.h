#pragma once
// One virtual watch in its cradle, seen by the host at the level of whole HID reports.
//
//   watchsim::VirtualWatch watch;                     // stock watch, own manual clock
//   watch.AddFaults("set#3:error=0x0005");            // scenario faults
//   watch.Unplug(); watch.Plug();                     // cable out and in again
//   clock->Advance(std::chrono::seconds(1));          // let a reboot finish
//
// Every member is safe to call from any thread. The listener and the trace sink are called
// without (listener) or with (trace) the watch's lock held; the trace sink must not call
// back into the watch.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Clock.h"
#include "CommandKind.h"
#include "FaultPlan.h"
#include "HostPort.h"
#include "ReportFraming.h"
#include "RequestHandler.h"
#include "WatchConfig.h"
#include "WatchMemory.h"

namespace watchsim {

enum class TraceDirection { ToWatch, ToHost };

struct RequestRecord {
    std::uint8_t code = 0;
    RequestClass what;
};

class VirtualWatch final : public HostPort {
  public:
    using Listener = std::function<void()>;
    using TraceSink = std::function<void(TraceDirection, std::span<const std::uint8_t>)>;

    // Without a clock the watch gets a manual clock of its own. Throws std::invalid_argument
    // for a configuration that cannot describe a watch.
    explicit VirtualWatch(WatchConfig config = {}, std::shared_ptr<Clock> clock = nullptr);
    ~VirtualWatch() override;
    VirtualWatch(const VirtualWatch&) = delete;
    VirtualWatch& operator=(const VirtualWatch&) = delete;

    // HostPort
    std::uint16_t VendorId() const override { return config_.vendorId; }
    std::uint16_t ProductId() const override { return config_.productId; }
    bool Present() const override;
    std::size_t InputReportLength() const override { return config_.reportLength + 1; }
    std::size_t OutputReportLength() const override { return config_.reportLength + 1; }
    bool Open() override;
    void Close() override;
    bool IsOpen() const override;
    bool WriteReport(std::span<const std::uint8_t> report) override;
    ReadOutcome ReadReport(std::vector<std::uint8_t>& report) override;

    // Scenario control.
    void Unplug();  // off the bus: open handles die, enumeration no longer lists it
    void Plug();    // back on the bus (a pending reboot completes at once)
    void SetHeldByOtherProgram(bool held);  // while held, Open fails
    void AddFaults(std::string_view plan);  // throws FaultPlanError
    void AddFault(FaultRule rule);
    void ClearFaults();
    void SetReportLatency(Clock::Duration latency);
    // Finishes a reboot whose time has come and tells the listener; every other call does
    // the same on its way, this is for presentations that must notice without being asked.
    void Tick();

    Clock& GetClock() const { return *clock_; }
    std::shared_ptr<Clock> SharedClock() const { return clock_; }
    const WatchConfig& Config() const { return config_; }

    // What the watch holds now.
    std::string FirmwareVersion() const;
    std::vector<std::uint8_t> Flash(std::uint32_t address, std::size_t length) const;
    std::optional<std::vector<std::uint8_t>> SettingsBlock(std::uint16_t dataId) const;
    std::vector<std::uint8_t> ClockRecord() const;
    std::optional<std::uint8_t> UploadFlag(std::uint16_t recordNumber) const;
    bool RebootPending() const;
    std::optional<Clock::Duration> BackOnBusAt() const;  // clock time a reboot or drop ends
    std::size_t RebootCount() const;
    std::size_t QueuedReports() const;  // input reports waiting for the host
    // Changes every time the watch leaves the bus; a handle opened before is dead.
    std::uint64_t Generation() const;
    std::vector<RequestRecord> Requests() const;  // every request handled, in order
    void ClearRequests();
    std::string StateError() const;  // last failure to keep the state files, empty if none

    void SetListener(Listener listener);
    void SetTrace(TraceSink sink);
    // Writes the state files now (when a state directory is configured).
    void SaveState();

  private:
    struct QueuedReport {
        std::vector<std::uint8_t> bytes;
        bool leaveAfter = false;   // the watch drops off the bus once this one is read
        bool rebootAfter = false;  // ... and comes back with the new firmware
    };

    // Everything below mutex_ that changes while the watch runs; mutable because even the
    // const observers let a due reboot finish first.
    struct Runtime {
        Runtime(const WatchConfig& config, const Clock& clock);

        WatchMemory memory;
        RequestAssembler assembler;
        std::deque<QueuedReport> input;
        std::vector<FaultRule> faults;
        std::vector<std::uint32_t> faultCounts;
        std::vector<RequestRecord> requests;
        std::string sessionHardwareText;
        std::optional<Clock::Duration> backAt;
        bool rebootOnReturn = false;
        bool plugged = true;
        bool open = false;
        bool heldByOther = false;
        std::uint64_t generation = 0;
        std::size_t reboots = 0;
        Clock::Duration latency{0};
        std::string stateError;
        bool notify = false;  // the listener is owed a call once the lock is released
    };

    // All *Locked members expect mutex_ held.
    void SettleLocked() const;
    bool OpenLocked();
    bool PresentLocked() const;
    void LeaveBusLocked(bool reboot) const;
    void HandleRequestLocked(std::vector<std::uint8_t>& request);
    void QueueReplyLocked(std::vector<std::uint8_t> block, const FaultRule* fault, bool reboot);
    const FaultRule* FireFaultLocked(CommandKind kind, std::optional<std::uint16_t> dataId);
    void SaveStateLocked(bool everything) const;
    // Releases the lock, then calls the listener if it is owed a call.
    void Finish(std::unique_lock<std::mutex>& lock) const;

    const WatchConfig config_;
    const std::shared_ptr<Clock> clock_;
    mutable std::mutex mutex_;
    mutable Runtime state_;
    RequestHandler handler_;
    Listener listener_;
    TraceSink trace_;
};

}  // namespace watchsim
