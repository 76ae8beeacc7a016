#include "Win32_FileChooser.h"

#include <vector>

// After the framework's headers.
#include "Win32_Api.h"
// windows.h first
#include <objbase.h>
#include <shobjidl.h>

namespace ui {
namespace {

// Releases the interface it holds.
template <typename Interface>
class ComRef {
  public:
    ComRef() = default;
    ~ComRef() {
        if (p_ != nullptr) {
            p_->Release();
        }
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    Interface** Out() { return &p_; }
    Interface* operator->() const { return p_; }

  private:
    Interface* p_ = nullptr;
};

// COM on this thread while the chooser shows; balanced even when it was started already.
class ComApartment {
  public:
    ComApartment()
        : started_(SUCCEEDED(
              CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (started_) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool started_;
};

}  // namespace

std::wstring Win32_FileChooser::Patterns(const FileFilter& filter) {
    std::wstring patterns;
    for (const auto& pattern : filter.patterns) {
        patterns += patterns.empty() ? L"" : L";";
        patterns += pattern == L"*" ? L"*.*" : pattern;
    }
    return patterns;
}

FileChoice Win32_FileChooser::Show(const FileChooserRequest& request, HWND owner) {
    const ComApartment apartment;
    ComRef<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IFileOpenDialog, reinterpret_cast<void**>(dialog.Out())))) {
        return {FileChoice::Outcome::NoChooser, {}};
    }
    dialog->SetTitle(request.title.c_str());
    std::vector<std::wstring> patterns;
    for (const auto& filter : request.filters) {
        patterns.push_back(Patterns(filter));
    }
    std::vector<COMDLG_FILTERSPEC> types;
    for (std::size_t i = 0; i < request.filters.size(); ++i) {
        types.push_back({request.filters[i].name.c_str(), patterns[i].c_str()});
    }
    if (!types.empty()) {
        dialog->SetFileTypes(static_cast<UINT>(types.size()), types.data());
        dialog->SetFileTypeIndex(1);  // one-based
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_FILEMUSTEXIST | FOS_PATHMUSTEXIST | FOS_FORCEFILESYSTEM);

    const HRESULT shown = dialog->Show(owner);
    if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) {
        return {FileChoice::Outcome::Cancelled, {}};
    }
    ComRef<IShellItem> item;
    PWSTR path = nullptr;
    if (FAILED(shown) || FAILED(dialog->GetResult(item.Out())) ||
        FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
        // Shown but without a file the program can open: as good as cancelled.
        return {FileChoice::Outcome::Cancelled, {}};
    }
    FileChoice choice{FileChoice::Outcome::Chosen, path};
    CoTaskMemFree(path);
    return choice;
}

}  // namespace ui
