#pragma once
// What the program takes from Linux besides its user interface: the watch through the
// kernel's hidraw nodes, image files and the local zone through the C library, the locale,
// thread priorities and signals of the application, the uploader lock as a lock file, and
// the window titles of the busy check (the desktop's, and the terminal copies of this tool
// through the title registry).

#include <memory>

#include "AnyWindowTitleSearch.h"
#include "Linux_ImageFileReader.h"
#include "Linux_LocalZone.h"
#include "Linux_PlatformServices.h"
#include "Linux_WindowTitleRegistry.h"
#include "PlatformAssembly.h"

namespace ArmillonDevice {
class IHidPlatform;
}

class Linux_UpdaterPlatform : public PlatformAssembly {
  public:
    // `displayWindows` searches the windows of the desktop (X11) when given; the terminal
    // copies of the tool are found through the registry either way.
    explicit Linux_UpdaterPlatform(std::unique_ptr<IWindowTitleSearch> displayWindows = nullptr);
    ~Linux_UpdaterPlatform() override;
    Linux_UpdaterPlatform(const Linux_UpdaterPlatform&) = delete;
    Linux_UpdaterPlatform& operator=(const Linux_UpdaterPlatform&) = delete;

    UpdaterPlatform Wiring() override;
    ui::WindowAnnouncer* Announcer() override { return &registry_; }

  private:
    Linux_ImageFileReader imageFiles_;
    Linux_LocalZone localZone_;
    Linux_PlatformServices services_;
    Linux_WindowTitleRegistry registry_;
    std::unique_ptr<IWindowTitleSearch> displayWindows_;
    AnyWindowTitleSearch windows_;
    std::unique_ptr<ArmillonDevice::IHidPlatform> hid_;
};
