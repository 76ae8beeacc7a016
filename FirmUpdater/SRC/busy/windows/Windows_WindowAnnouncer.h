#pragma once
// Makes the terminal interface's dialogs and boxes findable by FindWindowW in other
// processes: each announcement is a hidden top-level window with the title, which the
// window search of another copy of the tool, or of a companion program, finds.

#include <memory>
#include <string_view>

#include "WindowAnnouncer.h"

class Windows_WindowAnnouncer : public ui::WindowAnnouncer {
  public:
    // The window belongs to the calling thread; the announcement must end on that thread.
    std::unique_ptr<ui::WindowAnnouncement> Announce(std::wstring_view title) override;
};
