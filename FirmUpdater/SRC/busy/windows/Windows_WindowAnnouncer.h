#pragma once
// Makes the terminal interface's dialogs and boxes findable by FindWindowW in other
// processes: each announcement is a hidden top-level window with the title, which the
// window search of another copy of the tool, or of a companion program, finds.
//
// A top-level window must answer messages: a program that broadcasts with SendMessage (a
// setting change, DDE when the shell opens a document) waits for every one of them. The
// threads that ask for announcements wait at a prompt or run the update and never pump, so
// the windows live on a thread of their own that runs a message loop for as long as any
// announcement lives.

#include <memory>
#include <mutex>
#include <string_view>

#include "WindowAnnouncer.h"

class Windows_WindowAnnouncer : public ui::WindowAnnouncer {
  public:
    // Any thread may announce, and an announcement may end on any thread.
    std::unique_ptr<ui::WindowAnnouncement> Announce(std::wstring_view title) override;

  private:
    class WindowThread;
    class Announcement;

    std::mutex mutex_;
    // Owned by the announcements: it ends with the last one.
    std::weak_ptr<WindowThread> thread_;
};
