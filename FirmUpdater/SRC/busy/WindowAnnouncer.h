#pragma once
// Makes the windows of a user interface findable by title for other programs where the
// platform's own window search cannot see them: the terminal has no windows, yet another
// copy of the tool must see that this one shows a dialog or a message box.

#include <memory>
#include <string_view>

namespace ui {

// The window stays findable while this lives.
class WindowAnnouncement {
  public:
    virtual ~WindowAnnouncement() = default;
};

class WindowAnnouncer {
  public:
    virtual ~WindowAnnouncer() = default;
    // Null when the window cannot be announced; the interface goes on without.
    virtual std::unique_ptr<WindowAnnouncement> Announce(std::wstring_view title) = 0;
};

}  // namespace ui
