#include "ProgDlg.h"

#include "CMessageDisplay.h"
#include "PlatformServices.h"
#include "ResourceIds.h"
#include "ResourceLookup.h"
#include "TextConversion.h"
#include "UiLanguage.h"

namespace {

// Every progress dialog of the process moves the bar on from where the last one left it.
std::int32_t gTicks = 0;

}  // namespace

ProgDlg::ProgDlg(ui::UiBackend& ui, CTalvenComm* facade, COrnaFirmware* firmware)
    : Dialog(ui), facade_(facade), firmware_(firmware) {}

ProgDlg::~ProgDlg() {
    worker_.reset();
    interruptGuard_.reset();
}

std::unique_ptr<CUpdateWorker> ProgDlg::CreateWorker() {
    return std::make_unique<CUpdateWorker>(Ui(), this, facade_, firmware_);
}

bool ProgDlg::OnInitDialog() {
    interruptGuard_ =
        platform::InterruptGuards().HoldOff(common::WideToUtf8(UninterruptibleNote()));
    timer_ = SetTimer(kTimerId, kTimerPeriod);
    worker_ = CreateWorker();
    if (!worker_->Start(this)) {
        // Without its thread the update never finishes, and the user cannot close this
        // dialog: say that the update failed and end it.
        CMessageDisplay(*this).Show(res::IDS_UPDATE_FAILED, ui::MB_ICONEXCLAMATION);
        Finish(-1);
    }
    return true;
}

void ProgDlg::OnTimer(unsigned /*timerId*/) {
    ShowProgress();
    if (!worker_) {
        Finish(-1);
        return;
    }
    if (worker_->finished.load(std::memory_order_acquire) == 0) {
        return;
    }
    Finish(worker_->succeeded.load(std::memory_order_acquire) != 0 ? ui::IDOK : -1);
}

void ProgDlg::ShowProgress() {
    const auto tick = gTicks++;
    // The bar moves on its own only until the first byte has gone out, or the update has
    // stopped before that; from then on it shows the bytes sent of all there are to send.
    if (worker_) {
        const auto& progress = worker_->progress;
        const auto sent = progress.Sent();
        if (sent > 0 || progress.Stopped()) {
            SetProgressAmount(res::IDC_PROGRESS, sent, progress.Total());
            return;
        }
    }
    SetProgressPos(res::IDC_PROGRESS, tick);
}

void ProgDlg::OnOK() {
    // Enter would land here as well; only a completed update ends the dialog with OK.
    if (worker_ && worker_->finished.load(std::memory_order_acquire) != 0 &&
        worker_->succeeded.load(std::memory_order_acquire) != 0) {
        Finish(ui::IDOK);
    }
}

void ProgDlg::Finish(int result) {
    KillTimer(timer_);
    EndDialog(result);
}
