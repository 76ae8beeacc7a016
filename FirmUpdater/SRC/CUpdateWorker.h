#pragma once
// The update on a thread of its own. The thread runs UpdateThreadProc, which walks the
// image's command list through the facade; the progress dialog learns the outcome only from
// the two flags, polled on its timer. Both are written with release and read with acquire
// order, `succeeded` before `finished`: a reader that sees `finished` set sees the final
// `succeeded`.

#include <atomic>
#include <cstdint>

#include "CThreadManager.h"
#include "UpdateProgress.h"

class COrnaFirmware;
class CTalvenComm;

namespace ui {
class UiBackend;
}

class CUpdateWorker : public CThreadManager {
  public:
    // `dialog` is the progress dialog that owns the worker's message box; null for none.
    // The facade and the image are borrowed and must outlive the worker.
    CUpdateWorker(ui::UiBackend& ui, const ui::Dialog* dialog, CTalvenComm* facade,
                  COrnaFirmware* firmware);
    // Returns only after the thread has ended.
    ~CUpdateWorker() override;

    // Starts the thread one priority step below normal. The thread does not run before it
    // is stored here. True at once when it runs already.
    bool Start(ui::Dialog* window) override;
    bool IsRunning() override;
    void WaitForThreadEnd();

    std::atomic<std::int32_t> finished{0};
    std::atomic<std::int32_t> succeeded{0};
    // Bytes sent of the bytes to send; stopped once the update has failed.
    UpdateProgress progress;
    CTalvenComm* const facade;
    COrnaFirmware* const firmware;
    const ui::Dialog* const owner;
    ui::UiBackend& ui;

  private:
    std::atomic<bool> threadEnded_{false};
};

// The update itself, on the worker's thread: every entry of the command list in order, the
// end-of-update commands the identity section asks for, then Close. Sets `succeeded` when
// all of it went through, shows the failure's message over the owner otherwise, and sets
// `finished` in either case as its last step. Returns 0 on success, -1 on failure.
std::int32_t UpdateThreadProc(CUpdateWorker* worker);
