#pragma once
// The progress dialog: runs the update on a worker thread and ends itself once the worker
// has finished, with 1 when the update completed and -1 when it failed. On a 100 ms timer
// the bar moves to show the update is alive until the first byte is sent, then shows the
// bytes sent of all the update will send; a failed update leaves it where it stopped. The
// user cannot end it: there is no close box, and Esc, Enter and the interrupt signals are
// held off.

#include <chrono>
#include <memory>

#include "CUpdateWorker.h"
#include "Dialog.h"
#include "IInterruptGuard.h"

class COrnaFirmware;
class CTalvenComm;

class ProgDlg : public ui::Dialog {
  public:
    static constexpr unsigned kTimerId = 1;
    static constexpr std::chrono::milliseconds kTimerPeriod{100};

    // The facade and the image are borrowed and must outlive the dialog.
    ProgDlg(ui::UiBackend& ui, CTalvenComm* facade, COrnaFirmware* firmware);
    // Waits for the worker thread to end.
    ~ProgDlg() override;

    bool OnInitDialog() override;
    // Only ends the dialog for a worker that has finished with success.
    void OnOK() override;
    void OnCancel() override {}
    void OnTimer(unsigned timerId) override;

    CUpdateWorker* Worker() const { return worker_.get(); }

  protected:
    // The worker the dialog starts; tests put in one of their own.
    virtual std::unique_ptr<CUpdateWorker> CreateWorker();

  private:
    void Finish(int result);
    void ShowProgress();

    unsigned timer_ = 0;
    std::unique_ptr<CUpdateWorker> worker_;
    CTalvenComm* facade_;
    COrnaFirmware* firmware_;
    std::unique_ptr<IInterruptGuard> interruptGuard_;
};
