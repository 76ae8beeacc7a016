#pragma once
// The common item dialog (IFileOpenDialog) as the interface's file chooser: the request's
// title and types, the first type selected, a file that exists. Its own buttons follow the
// language Windows is shown in.

#include "FileChooser.h"
#include "Win32_Handle.h"

namespace ui {

class Win32_FileChooser {
  public:
    // Modal over `owner` (may be null) on the calling thread. NoChooser when the dialog
    // cannot be created.
    static FileChoice Show(const FileChooserRequest& request, HWND owner);

    // A type's patterns as the dialog takes them: "*.img;*.bin", with "*" as "*.*".
    static std::wstring Patterns(const FileFilter& filter);
};

}  // namespace ui
