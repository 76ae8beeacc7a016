#pragma once
// What the program takes from Linux besides its user interface: the watch through the
// kernel's hidraw nodes, the uploader lock as a lock file, and the window titles of the busy
// check (the terminal copies of this tool through the title registry).

#include <memory>

#include "AnyWindowTitleSearch.h"
#include "Linux_WindowTitleRegistry.h"
#include "UpdaterPlatform.h"

namespace ArmillonDevice {
class IHidPlatform;
}

class Linux_UpdaterPlatform {
  public:
    // `displayWindows` searches the windows of the desktop (X11) when given; the terminal
    // copies of the tool are found through the registry either way.
    explicit Linux_UpdaterPlatform(std::unique_ptr<IWindowTitleSearch> displayWindows = nullptr);
    ~Linux_UpdaterPlatform();
    Linux_UpdaterPlatform(const Linux_UpdaterPlatform&) = delete;
    Linux_UpdaterPlatform& operator=(const Linux_UpdaterPlatform&) = delete;

    // Valid as long as this object.
    UpdaterPlatform Wiring();
    // Where a terminal interface registers the dialogs and boxes it shows.
    ui::WindowAnnouncer& Announcer() { return registry_; }

  private:
    Linux_WindowTitleRegistry registry_;
    std::unique_ptr<IWindowTitleSearch> displayWindows_;
    AnyWindowTitleSearch windows_;
    std::unique_ptr<ArmillonDevice::IHidPlatform> hid_;
};
