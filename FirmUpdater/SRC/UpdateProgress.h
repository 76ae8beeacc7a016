#pragma once
// How far the update has come, in bytes put on the wire. The worker weighs every step before
// it starts, then hears every report written through the facade; the progress dialog reads
// the two counts on its timer. The counts are atomics and nothing is locked: the worker is
// the only writer, and the dialog only needs a recent value, not a consistent pair.
//
// The count never goes back: reports a step sends beyond its weight (a retry resending its
// request, the reconnection before it) are not counted, and a step that went through counts
// whole even when fewer reports were heard.

#include <atomic>
#include <cstdint>

#include "IWriteProgressListener.h"

class UpdateProgress : public ArmillonDevice::IWriteProgressListener {
  public:
    // Worker side. SetTotal before the first step; BeginStep with the bytes the step will
    // send, EndStep once it went through; Stop when the update has failed.
    void SetTotal(std::uint64_t total) { total_.store(total, std::memory_order_relaxed); }
    void BeginStep(std::uint64_t bytes);
    void EndStep();
    void Stop() { stopped_.store(true, std::memory_order_release); }
    void OnWritten(std::uint32_t payloadLength) override;

    // Dialog side.
    std::uint64_t Sent() const { return sent_.load(std::memory_order_relaxed); }
    std::uint64_t Total() const { return total_.load(std::memory_order_relaxed); }
    bool Stopped() const { return stopped_.load(std::memory_order_acquire); }

  private:
    std::atomic<std::uint64_t> sent_{0};
    std::atomic<std::uint64_t> total_{0};
    std::atomic<bool> stopped_{false};
    // The worker's own bookkeeping.
    std::uint64_t stepStart_ = 0;
    std::uint64_t stepBytes_ = 0;
    std::uint64_t heardInStep_ = 0;
};
