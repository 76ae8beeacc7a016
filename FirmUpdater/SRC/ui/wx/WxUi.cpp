#include "WxUi.h"

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/init.h>
#include <wx/log.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>

#include "Dialog.h"
#include "WxDialogWindow.h"
#include "WxMessageBox.h"

// After everything else: Xlib's macros (None, Status, ...) would break other headers.
#include <X11/Xlib.h>

namespace ui {
namespace {

std::atomic<bool> toolkitStarted{false};

class WxApplication : public wxApp {
  public:
    bool OnInit() override {
        // The program has no main window; dialogs come and go while it runs.
        SetExitOnFrameDelete(false);
        return true;
    }
};

// A failed check inside the toolkit is a fault of ours; report it on the terminal rather
// than in a box of the toolkit's own.
void ReportAssert(const wxString& file, int line, const wxString& /*func*/, const wxString& cond,
                  const wxString& message) {
    std::fprintf(stderr, "firmupdater: toolkit check failed at %s:%d: %s %s\n",
                 static_cast<const char*>(file.utf8_str()), line,
                 static_cast<const char*>(cond.utf8_str()),
                 static_cast<const char*>(message.utf8_str()));
}

wxWindow* OwnerFrame(const Dialog* owner) {
    if (owner == nullptr) {
        return nullptr;
    }
    auto* window = dynamic_cast<WxDialogWindow*>(owner->Window());
    return window != nullptr ? &window->Frame() : nullptr;
}

}  // namespace

std::unique_ptr<WxUi> WxUi::Create(std::string& whyNot) {
    if (toolkitStarted.exchange(true)) {
        whyNot = "the desktop interface already runs in this process";
        return nullptr;
    }
    const char* display = std::getenv("DISPLAY");
    // Checked first: the toolkit does not clean up after a failed start. Kept open until the
    // toolkit has its own connection: a server whose last client goes may reset meanwhile.
    std::unique_ptr<Display, int (*)(Display*)> probe(nullptr, XCloseDisplay);
    if (display != nullptr && *display != '\0') {
        probe.reset(XOpenDisplay(display));
        if (!probe) {
            whyNot = std::string("cannot open the display ") + display;
            toolkitStarted = false;
            return nullptr;
        }
        setenv("GDK_BACKEND", "x11", 1);
    }
    // The toolkit's messages go to the terminal, also those of a failed start.
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxApp::SetInstance(new WxApplication);
    // The toolkit sees only the program's name: the command line is the application's.
    static char name[] = "firmupdater";
    char* argv[] = {name, nullptr};
    int argc = 1;
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        whyNot = "cannot open the display";
        toolkitStarted = false;
        return nullptr;
    }
    wxSetAssertHandler(ReportAssert);
    return std::unique_ptr<WxUi>(new WxUi);
}

WxUi::~WxUi() {
    wxEntryCleanup();
    toolkitStarted = false;
}

int WxUi::ShowMessageBox(const MessageBoxRequest& request) {
    if (wxIsMainThread()) {
        return ShowMessageBoxHere(request);
    }
    // Shown by the GUI thread from its event loop, the one of the dialog that runs there.
    std::promise<int> answer;
    auto result = answer.get_future();
    wxTheApp->CallAfter([this, &request, &answer] {
        try {
            answer.set_value(ShowMessageBoxHere(request));
        } catch (...) {
            answer.set_exception(std::current_exception());
        }
    });
    return result.get();
}

int WxUi::ShowMessageBoxHere(const MessageBoxRequest& request) {
    WxMessageBox box(OwnerFrame(request.owner), request);
    return box.Run();
}

std::wstring WxUi::Wildcard(const std::vector<FileFilter>& filters) {
    std::wstring wildcard;
    for (const auto& filter : filters) {
        std::wstring patterns;
        for (const auto& pattern : filter.patterns) {
            patterns += patterns.empty() ? pattern : L";" + pattern;
        }
        wildcard += wildcard.empty() ? L"" : L"|";
        wildcard += filter.name + L" (" + patterns + L")|" + patterns;
    }
    return wildcard;
}

FileChoice WxUi::ChooseFile(const FileChooserRequest& request) {
    wxFileDialog chooser(nullptr, wxString(request.title), wxEmptyString, wxEmptyString,
                         wxString(Wildcard(request.filters)), wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (chooser.ShowModal() != wxID_OK) {
        return {FileChoice::Outcome::Cancelled, {}};
    }
    return {FileChoice::Outcome::Chosen, chooser.GetPath().ToStdWstring()};
}

int WxUi::RunModalDialog(const res::DialogTemplate& dialogTemplate, Dialog& dialog,
                         Dialog* parent) {
    if (!wxIsMainThread()) {
        return -1;
    }
    WxDialogWindow window(dialogTemplate, dialog, parent != nullptr ? OwnerFrame(parent) : nullptr);
    struct Attached {
        Dialog& dialog;
        ~Attached() { dialog.Attach(nullptr); }
    } attached{dialog};
    dialog.Attach(&window);
    return window.RunModal();
}

}  // namespace ui
