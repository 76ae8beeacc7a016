#pragma once
// The desktop's message box: the information or exclamation icon beside the text, the
// buttons in the box's language (exactly these labels, never the toolkit's stock ones),
// kept above other windows. Keys as on the system the tool came from: Enter presses the
// focused button, Esc and the close box answer Cancel, or OK in a box with only OK, and do
// nothing in a Yes/No box.

#include <wx/dialog.h>

#include "MessageBoxButtons.h"
#include "MessageBoxRequest.h"

namespace ui {

class WxMessageBox : public wxDialog {
  public:
    WxMessageBox(wxWindow* owner, const MessageBoxRequest& request);

    // Shows the box modally; the result of the button pressed (IDOK, IDRETRY, ...).
    int Run();

  private:
    // What Esc and the close box answer; 0: nothing.
    int DismissResult() const;

    MessageBoxButtons buttons_;
};

}  // namespace ui
