#include "Win32_Ui.h"

#include "Dialog.h"
#include "Win32_DialogWindow.h"
#include "Win32_FileChooser.h"
#include "Win32_MessageBox.h"
#include "Win32_Window.h"
// After the framework's headers.
#include "Win32_Api.h"

namespace ui {
namespace {

// Every class of the common controls library.
constexpr DWORD kAllCommonControlClasses = 0xFF;

}  // namespace

void Win32_Ui::Start() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = kAllCommonControlClasses;
    InitCommonControlsEx(&controls);
}

int Win32_Ui::ShowMessageBox(const MessageBoxRequest& request) {
    return Win32_MessageBox::Show(request, WindowOf(request.owner));
}

int Win32_Ui::RunModalDialog(const res::DialogTemplate& dialogTemplate, Dialog& dialog,
                             Dialog* parent) {
    return Win32_DialogWindow::Run(dialogTemplate, dialog, WindowOf(parent));
}

FileChoice Win32_Ui::ChooseFile(const FileChooserRequest& request) {
    return Win32_FileChooser::Show(request, nullptr);
}

}  // namespace ui
