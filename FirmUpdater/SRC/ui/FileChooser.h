#pragma once
// Asking the user for a file to open, in the desktop's own file chooser.

#include <cstdint>
#include <string>
#include <vector>

namespace ui {

// One entry of the chooser's type list: its name and the name patterns it shows
// ("*.img"); the first entry is the one selected at the start.
struct FileFilter {
    std::wstring name;
    std::vector<std::wstring> patterns;
};

struct FileChooserRequest {
    std::wstring title;
    std::vector<FileFilter> filters;
    std::uint16_t language = 0;  // the interface language, for the chooser's own texts
};

struct FileChoice {
    enum class Outcome {
        Chosen,     // `path` names the file
        Cancelled,  // the user closed the chooser without a file
        NoChooser,  // this interface has no chooser (the terminal)
    };
    Outcome outcome = Outcome::NoChooser;
    std::wstring path;
};

}  // namespace ui
