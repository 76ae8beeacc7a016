#include "VirtualWatch.h"

#include <algorithm>

#include "DeviceErrorCodes.h"
#include "WatchStateFiles.h"

namespace watchsim {
namespace {

std::shared_ptr<Clock> OrOwnClock(std::shared_ptr<Clock> clock) {
    return clock ? std::move(clock) : std::make_shared<ManualClock>();
}

const WatchConfig& Validated(const WatchConfig& config) {
    ValidateConfig(config);
    return config;
}

std::size_t MaxRequestPayload(const WatchConfig& config) {
    // The largest request is a flash write or data set of a whole flash area plus its header.
    return std::max(config.flashSize, config.flash2Size) + 64;
}

}  // namespace

VirtualWatch::Runtime::Runtime(const WatchConfig& config, const Clock& clock)
    : memory(config, clock),
      assembler(MaxRequestPayload(config)),
      sessionHardwareText(config.hardwareText),
      plugged(config.plugged),
      latency(config.reportLatency) {}

VirtualWatch::VirtualWatch(WatchConfig config, std::shared_ptr<Clock> clock)
    : config_(Validated(config)),
      clock_(OrOwnClock(std::move(clock))),
      state_(config_, *clock_),
      handler_(config_, state_.memory) {
    for (auto& rule : config_.faults) {
        AddFault(rule);
    }
    if (!config_.stateDirectory.empty()) {
        std::lock_guard lock(mutex_);
        try {
            LoadWatchState(config_.stateDirectory, state_.memory);
        } catch (const std::exception& error) {
            state_.stateError = error.what();
        }
        SaveStateLocked(true);
    }
}

VirtualWatch::~VirtualWatch() {
    std::lock_guard lock(mutex_);
    SaveStateLocked(false);
}

bool VirtualWatch::Present() const {
    std::unique_lock lock(mutex_);
    SettleLocked();
    const bool present = PresentLocked();
    Finish(lock);
    return present;
}

bool VirtualWatch::Open() {
    std::unique_lock lock(mutex_);
    SettleLocked();
    const bool opened = OpenLocked();
    Finish(lock);
    return opened;
}

bool VirtualWatch::OpenLocked() {
    if (!PresentLocked()) {
        return false;
    }
    if (state_.open) {
        return true;
    }
    std::string hardwareText = config_.hardwareText;
    if (const FaultRule* fault = FireFaultLocked(CommandKind::Open, std::nullopt)) {
        if (fault->type == FaultType::Busy) {
            return false;
        }
        hardwareText = fault->text;
    }
    if (state_.heldByOther) {
        return false;
    }
    state_.open = true;
    state_.sessionHardwareText = hardwareText;
    state_.input.clear();
    state_.assembler.Reset();
    return true;
}

void VirtualWatch::Close() {
    std::unique_lock lock(mutex_);
    if (!state_.open) {
        return;
    }
    state_.open = false;
    // A reply that ends with the watch leaving the bus was sent whether or not the host read
    // it: the watch goes on to reboot.
    const auto leaving = std::find_if(state_.input.begin(), state_.input.end(),
                                      [](const QueuedReport& queued) { return queued.leaveAfter; });
    if (leaving != state_.input.end()) {
        LeaveBusLocked(leaving->rebootAfter);
    }
    state_.input.clear();
    state_.assembler.Reset();
    Finish(lock);
}

bool VirtualWatch::IsOpen() const {
    std::unique_lock lock(mutex_);
    SettleLocked();
    const bool open = state_.open && PresentLocked();
    Finish(lock);
    return open;
}

bool VirtualWatch::WriteReport(std::span<const std::uint8_t> report) {
    std::unique_lock lock(mutex_);
    SettleLocked();
    if (!state_.open || !PresentLocked() || report.empty() ||
        report.size() > OutputReportLength() || report[0] != 0x00) {
        Finish(lock);
        return false;
    }
    std::vector<std::uint8_t> padded(report.begin(), report.end());
    padded.resize(OutputReportLength(), 0x00);
    if (trace_) {
        trace_(TraceDirection::ToWatch, padded);
    }
    switch (state_.assembler.Feed(padded)) {
        case RequestAssembler::Outcome::Complete:
            HandleRequestLocked(state_.assembler.Block());
            break;
        case RequestAssembler::Outcome::TooLarge:
            QueueReplyLocked(RequestHandler::ErrorReply(kErrorBadRequest), nullptr, false);
            break;
        case RequestAssembler::Outcome::Pending:
            break;
    }
    const auto latency = state_.latency;
    Finish(lock);
    clock_->SleepFor(latency);
    return true;
}

ReadOutcome VirtualWatch::ReadReport(std::vector<std::uint8_t>& report) {
    std::unique_lock lock(mutex_);
    SettleLocked();
    if (!state_.open || !PresentLocked()) {
        Finish(lock);
        return ReadOutcome::Gone;
    }
    if (state_.input.empty()) {
        Finish(lock);
        return ReadOutcome::Silent;
    }
    QueuedReport queued = std::move(state_.input.front());
    state_.input.pop_front();
    report = std::move(queued.bytes);
    if (queued.leaveAfter) {
        LeaveBusLocked(queued.rebootAfter);
    }
    const auto latency = state_.latency;
    Finish(lock);
    clock_->SleepFor(latency);
    return ReadOutcome::Report;
}

void VirtualWatch::Unplug() {
    std::unique_lock lock(mutex_);
    SettleLocked();
    if (state_.plugged) {
        if (!state_.backAt) {
            LeaveBusLocked(false);
        }
        state_.plugged = false;
        state_.notify = true;
    }
    Finish(lock);
}

void VirtualWatch::Plug() {
    std::unique_lock lock(mutex_);
    if (state_.backAt) {
        state_.backAt = clock_->Now();
    }
    state_.plugged = true;
    state_.notify = true;
    SettleLocked();
    Finish(lock);
}

void VirtualWatch::SetHeldByOtherProgram(bool held) {
    std::lock_guard lock(mutex_);
    state_.heldByOther = held;
}

void VirtualWatch::AddFaults(std::string_view plan) {
    const FaultPlan parsed = ParseFaultPlan(plan);
    for (const auto& rule : parsed.rules) {
        AddFault(rule);
    }
    if (parsed.latency) {
        SetReportLatency(*parsed.latency);
    }
}

void VirtualWatch::AddFault(FaultRule rule) {
    std::lock_guard lock(mutex_);
    state_.faults.push_back(std::move(rule));
    state_.faultCounts.push_back(0);
}

void VirtualWatch::ClearFaults() {
    std::lock_guard lock(mutex_);
    state_.faults.clear();
    state_.faultCounts.clear();
}

void VirtualWatch::SetReportLatency(Clock::Duration latency) {
    std::lock_guard lock(mutex_);
    state_.latency = std::max(latency, Clock::Duration::zero());
}

void VirtualWatch::Tick() {
    std::unique_lock lock(mutex_);
    SettleLocked();
    Finish(lock);
}

std::string VirtualWatch::FirmwareVersion() const {
    std::lock_guard lock(mutex_);
    SettleLocked();
    return state_.memory.firmwareVersion;
}

std::vector<std::uint8_t> VirtualWatch::Flash(std::uint32_t address, std::size_t length) const {
    std::lock_guard lock(mutex_);
    const auto& flash = state_.memory.flash;
    const std::size_t start = std::min<std::size_t>(address, flash.size());
    const std::size_t count = std::min(length, flash.size() - start);
    return {flash.begin() + static_cast<std::ptrdiff_t>(start),
            flash.begin() + static_cast<std::ptrdiff_t>(start + count)};
}

std::optional<std::vector<std::uint8_t>> VirtualWatch::SettingsBlock(std::uint16_t dataId) const {
    std::lock_guard lock(mutex_);
    const auto found = state_.memory.settingsBlocks.find(dataId);
    if (found == state_.memory.settingsBlocks.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::vector<std::uint8_t> VirtualWatch::ClockRecord() const {
    std::lock_guard lock(mutex_);
    return state_.memory.ClockRecord();
}

std::optional<std::uint8_t> VirtualWatch::UploadFlag(std::uint16_t recordNumber) const {
    std::lock_guard lock(mutex_);
    for (const auto& record : state_.memory.trainingRecords) {
        if (record.number == recordNumber) {
            return record.uploadFlag;
        }
    }
    return std::nullopt;
}

bool VirtualWatch::RebootPending() const {
    std::lock_guard lock(mutex_);
    SettleLocked();
    return state_.backAt.has_value() && state_.rebootOnReturn;
}

std::optional<Clock::Duration> VirtualWatch::BackOnBusAt() const {
    std::lock_guard lock(mutex_);
    SettleLocked();
    return state_.backAt;
}

std::size_t VirtualWatch::RebootCount() const {
    std::lock_guard lock(mutex_);
    SettleLocked();
    return state_.reboots;
}

std::size_t VirtualWatch::QueuedReports() const {
    std::lock_guard lock(mutex_);
    return state_.input.size();
}

std::uint64_t VirtualWatch::Generation() const {
    std::lock_guard lock(mutex_);
    return state_.generation;
}

std::vector<RequestRecord> VirtualWatch::Requests() const {
    std::lock_guard lock(mutex_);
    return state_.requests;
}

void VirtualWatch::ClearRequests() {
    std::lock_guard lock(mutex_);
    state_.requests.clear();
}

std::string VirtualWatch::StateError() const {
    std::lock_guard lock(mutex_);
    return state_.stateError;
}

void VirtualWatch::SetListener(Listener listener) {
    std::lock_guard lock(mutex_);
    listener_ = std::move(listener);
}

void VirtualWatch::SetTrace(TraceSink sink) {
    std::lock_guard lock(mutex_);
    trace_ = std::move(sink);
}

void VirtualWatch::SaveState() {
    std::lock_guard lock(mutex_);
    SaveStateLocked(false);
}

void VirtualWatch::SettleLocked() const {
    if (!state_.backAt || !state_.plugged || clock_->Now() < *state_.backAt) {
        return;
    }
    state_.backAt.reset();
    if (state_.rebootOnReturn) {
        state_.rebootOnReturn = false;
        ++state_.reboots;
        const auto version =
            state_.memory.VersionFromLastBlock(VersionOffsetForModel(ModelCode(config_)));
        if (version && *version != state_.memory.firmwareVersion) {
            state_.memory.firmwareVersion = *version;
            state_.memory.versionDirty = true;
            SaveStateLocked(false);
        }
    }
    state_.notify = true;
}

bool VirtualWatch::PresentLocked() const {
    return state_.plugged && !state_.backAt;
}

void VirtualWatch::LeaveBusLocked(bool reboot) const {
    state_.open = false;
    state_.input.clear();
    state_.assembler.Reset();
    ++state_.generation;
    state_.backAt = clock_->Now() + config_.rebootDelay;
    state_.rebootOnReturn = state_.rebootOnReturn || reboot;
    state_.notify = true;
    SaveStateLocked(false);
}

void VirtualWatch::HandleRequestLocked(std::vector<std::uint8_t>& request) {
    const std::uint8_t code = request[0];
    const RequestClass what = ClassifyRequest(code, std::span(request).subspan(kRequestHeaderSize));
    state_.requests.push_back({code, what});

    const FaultRule* fault = FireFaultLocked(what.kind, what.dataId);
    if (fault && fault->type == FaultType::Silent) {
        return;
    }
    if (fault && fault->type == FaultType::Reboot) {
        handler_.HandleInterrupted(request);
        LeaveBusLocked(false);  // a reset does not install the firmware: the bare commands do
        return;
    }
    if (fault && fault->type == FaultType::Unplug) {
        LeaveBusLocked(false);
        state_.plugged = false;  // for the rest of this watch's life
        return;
    }
    if (fault && fault->type == FaultType::ErrorReply) {
        QueueReplyLocked(RequestHandler::ErrorReply(static_cast<std::uint16_t>(fault->value)),
                         nullptr, false);
        return;
    }
    Reply reply = handler_.Handle(request, what, state_.sessionHardwareText,
                                  fault && fault->type == FaultType::ShortRecord);
    if (fault && fault->type == FaultType::ReplyCode) {
        reply.block[0] = static_cast<std::uint8_t>(fault->value);
    }
    if (fault && fault->type == FaultType::Status && reply.block.size() > kRequestHeaderSize) {
        reply.block[kRequestHeaderSize] = static_cast<std::uint8_t>(fault->value);
    }
    if (what.kind == CommandKind::Disconnect) {
        SaveStateLocked(false);  // a session ends: keep what it wrote
    }
    QueueReplyLocked(std::move(reply.block), fault, reply.reboot);
}

void VirtualWatch::QueueReplyLocked(std::vector<std::uint8_t> block, const FaultRule* fault,
                                    bool reboot) {
    auto reports = FrameReply(block, InputReportLength());
    if (fault && fault->type == FaultType::ZeroLength) {
        reports.front()[1] &= static_cast<std::uint8_t>(~0x01u);
        reports.front()[2] = 0;
    }
    if (fault && fault->type == FaultType::NoStartFlag) {
        reports.front()[1] &= static_cast<std::uint8_t>(~kStartFlag);
    }
    std::size_t leaveAfter = reboot ? reports.size() : 0;
    bool rebootAfter = reboot;
    if (fault && fault->type == FaultType::DropAfter) {
        if (fault->value == 0) {
            LeaveBusLocked(reboot);
            return;
        }
        leaveAfter = std::min<std::size_t>(fault->value, reports.size());
        reports.resize(leaveAfter);
    }
    for (std::size_t i = 0; i < reports.size(); ++i) {
        if (trace_) {
            trace_(TraceDirection::ToHost, reports[i]);
        }
        QueuedReport queued{std::move(reports[i])};
        if (i + 1 == leaveAfter) {
            queued.leaveAfter = true;
            queued.rebootAfter = rebootAfter;
        }
        state_.input.push_back(std::move(queued));
    }
    state_.notify = true;
}

const FaultRule* VirtualWatch::FireFaultLocked(CommandKind kind,
                                               std::optional<std::uint16_t> dataId) {
    const FaultRule* fired = nullptr;
    for (std::size_t i = 0; i < state_.faults.size(); ++i) {
        const FaultRule& rule = state_.faults[i];
        if (!rule.Matches(kind, dataId)) {
            continue;
        }
        const std::uint32_t count = ++state_.faultCounts[i];
        if (!fired && rule.FiresOn(count)) {
            fired = &rule;
        }
    }
    return fired;
}

void VirtualWatch::SaveStateLocked(bool everything) const {
    if (config_.stateDirectory.empty()) {
        return;
    }
    try {
        SaveWatchState(config_.stateDirectory, state_.memory, everything);
    } catch (const std::exception& error) {
        state_.stateError = error.what();
    }
}

void VirtualWatch::Finish(std::unique_lock<std::mutex>& lock) const {
    const bool notify = state_.notify;
    state_.notify = false;
    Listener listener = notify ? listener_ : Listener{};
    lock.unlock();
    if (listener) {
        listener();
    }
}

}  // namespace watchsim
