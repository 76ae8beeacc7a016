#include "CFWUpdaterAppDlg.h"

#include "CMessageDisplay.h"
#include "COrnaFirmware.h"
#include "CTalvenComm.h"
#include "ProgDlg.h"
#include "ResourceIds.h"
#include "TextConversion.h"
#include "UiLanguage.h"

CFWUpdaterAppDlg::CFWUpdaterAppDlg(ui::UiBackend& ui, CTalvenComm* facade, COrnaFirmware* firmware)
    : Dialog(ui), facade_(facade), firmware_(firmware) {}

bool CFWUpdaterAppDlg::OnInitDialog() {
    const CMessageDisplay messages(*this);
    // A failed query leaves the field empty; the dialog is shown all the same. With "/d:"
    // this is the text given there.
    std::wstring current;
    if (facade_ != nullptr) {
        facade_->GetFirmwareVersion(current);
    }
    SetDlgItemText(res::IDC_CURRENT_VERSION,
                   messages.FormatText(res::IDS_CURRENT_VERSION, {current}));
    const std::wstring next =
        firmware_ != nullptr ? common::NarrowToWide(firmware_->GetVersionText()) : std::wstring();
    SetDlgItemText(res::IDC_NEW_VERSION, messages.FormatText(res::IDS_NEW_VERSION, {next}));
    SetDlgItemText(res::IDC_WARNING, messages.LoadText(res::IDS_UPDATE_WARNING));
    if (HasDlgItem(ui::IDCANCEL)) {
        // No is where Enter lands.
        GotoDlgCtrl(ui::IDCANCEL);
        return false;
    }
    return true;
}

int CFWUpdaterAppDlg::RunProgressDialog() {
    // The progress dialog goes when this returns, and with it the worker, whose thread has
    // ended by then.
    ProgDlg progress(Ui(), facade_, firmware_);
    const auto* found = FindUiDialogTemplate(res::IDD_PROGRESS);
    return found != nullptr ? progress.DoModal(*found, this) : 0;
}

void CFWUpdaterAppDlg::OnOK() {
    // One dialog at a time: the progress dialog takes this one's place, whose Yes and No
    // would otherwise look live beneath it. Every outcome of the update ends this dialog,
    // so it is not shown again.
    ShowWindow(false);
    EndDialog(RunProgressDialog());
}

void CFWUpdaterAppDlg::OnCancel() {
    EndDialog(ui::IDCANCEL);
}
