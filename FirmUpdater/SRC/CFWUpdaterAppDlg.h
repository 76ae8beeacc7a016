#pragma once
// The confirmation dialog: an updatable watch has been found; it shows the watch's firmware
// version and the image's, warns, and asks Yes or No. Yes runs the update in the progress
// dialog over it and ends this dialog with the update's outcome.
//
// Results: 1 the update completed; 2 the user declined; -1 the update failed (its message
// has been shown); 0 the progress dialog's template was not found.

#include "Dialog.h"

class COrnaFirmware;
class CTalvenComm;

class CFWUpdaterAppDlg : public ui::Dialog {
  public:
    // The facade is connected; it and the image are borrowed and must outlive the dialog.
    CFWUpdaterAppDlg(ui::UiBackend& ui, CTalvenComm* facade, COrnaFirmware* firmware);

    bool OnInitDialog() override;
    // Yes: the update.
    void OnOK() override;
    // No, Esc and the close command.
    void OnCancel() override;

  private:
    // Runs the progress dialog over this one; its result, or 0 without its template.
    int RunProgressDialog();

    CTalvenComm* facade_;
    COrnaFirmware* firmware_;
};
