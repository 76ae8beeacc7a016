#pragma once
// The Linux program, put together: the watch through the kernel's hidraw nodes, image files
// and the local zone through the C library, the locale, thread priorities and signals of the
// application, the uploader lock as a lock file, the window titles of the busy check (the
// desktop's, and the terminal copies of this tool through the title registry), and the user
// interface (wxWidgets when the build has it, else the terminal).

#include <memory>
#include <string>

#include "AnyWindowTitleSearch.h"
#include "Linux_HidPlatform.h"
#include "Linux_ImageFileReader.h"
#include "Linux_LocalZone.h"
#include "Linux_PlatformServices.h"
#include "Linux_WindowTitleRegistry.h"
#include "PlatformAssembly.h"
#include "ScopedInstall.h"

class Linux_UpdaterPlatform : public PlatformAssembly {
  public:
    // The watch's nodes are looked for in `hidrawDirectory`. `displayWindows` searches the
    // windows of the desktop (X11) when given; the terminal copies of the tool are found
    // through the registry either way.
    explicit Linux_UpdaterPlatform(std::string hidrawDirectory,
                                   std::unique_ptr<IWindowTitleSearch> displayWindows = nullptr);
    ~Linux_UpdaterPlatform() override;
    Linux_UpdaterPlatform(const Linux_UpdaterPlatform&) = delete;
    Linux_UpdaterPlatform& operator=(const Linux_UpdaterPlatform&) = delete;

    UpdaterPlatform Wiring() override;
    ui::WindowAnnouncer* Announcer() override { return &registry_; }
    std::unique_ptr<ui::UiBackend> CreateUi(std::istream& in, std::ostream& out) override;

  private:
    Linux_ImageFileReader imageFiles_;
    Linux_LocalZone localZone_;
    Linux_PlatformServices services_;
    common::ScopedInstall imageFilesInstalled_;
    common::ScopedInstall localZoneInstalled_;
    common::ScopedInstall servicesInstalled_;
    common::ScopedInstall pauseInstalled_;
    Linux_WindowTitleRegistry registry_;
    std::unique_ptr<IWindowTitleSearch> displayWindows_;
    AnyWindowTitleSearch windows_;
    ArmillonDevice::Linux_HidPlatform hid_;
};
