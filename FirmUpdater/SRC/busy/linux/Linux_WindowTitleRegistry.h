#pragma once
// Window titles of the copies of this tool that run in a terminal, where no window search
// of a display can find them. Each shown title is a small file in a directory of the user's
// own, locked (flock) while the window shows; a search reads the titles whose files are
// locked, that is, whose process is alive, and clears away those left by ended processes.

#include <memory>
#include <string>
#include <string_view>

#include "IWindowTitleSearch.h"
#include "WindowAnnouncer.h"

class Linux_WindowTitleRegistry : public ui::WindowAnnouncer, public IWindowTitleSearch {
  public:
    explicit Linux_WindowTitleRegistry(std::string directory = DefaultDirectory());

    // Null when the title cannot be registered (no usable directory).
    std::unique_ptr<ui::WindowAnnouncement> Announce(std::wstring_view title) override;
    bool HasWindowTitled(const std::wstring& title) override;

    const std::string& Directory() const { return directory_; }

    // $XDG_RUNTIME_DIR/firmupdater-windows, else /tmp/firmupdater-windows-<user ID>.
    static std::string DefaultDirectory();

  private:
    // Creates the directory when missing; false unless it is a directory of this user's
    // that nobody else can write to.
    bool PrepareDirectory() const;

    std::string directory_;
};
