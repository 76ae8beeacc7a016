#pragma once
// The desktop user interface, on wxWidgets (GTK). Dialogs are real windows built from the
// templates; message boxes are the toolkit's, top-most, with the buttons labelled in the
// box's language.
//
// The toolkit is started once per process and belongs to the thread that created this
// object (the GUI thread): dialogs run there. A message box asked for on another thread is
// shown on the GUI thread while that thread runs a dialog, whose timers keep ticking, and
// the asking thread waits for the answer.
//
// Our windows must be X11 windows, so that the window search of other copies finds them:
// when DISPLAY is set, GTK is asked for its X11 backend even on a Wayland desktop.

#include <memory>
#include <string>
#include <vector>

#include "UiBackend.h"

namespace ui {

class WxUi : public UiBackend {
  public:
    // Starts the toolkit on the display. Null, with the reason in `whyNot`, when no display
    // can be opened or the toolkit already runs in this process.
    static std::unique_ptr<WxUi> Create(std::string& whyNot);

    ~WxUi() override;
    WxUi(const WxUi&) = delete;
    WxUi& operator=(const WxUi&) = delete;

    int ShowMessageBox(const MessageBoxRequest& request) override;
    int RunModalDialog(const res::DialogTemplate& dialogTemplate, Dialog& dialog,
                       Dialog* parent) override;
    // The toolkit's file chooser (GTK's), for a file that exists. Its own buttons follow the
    // desktop's language; the title and the type names are the request's.
    FileChoice ChooseFile(const FileChooserRequest& request) override;

    // The chooser's type list as the toolkit takes it: "name (*.img)|*.img|...".
    static std::wstring Wildcard(const std::vector<FileFilter>& filters);

  private:
    WxUi() = default;
    int ShowMessageBoxHere(const MessageBoxRequest& request);
};

}  // namespace ui
