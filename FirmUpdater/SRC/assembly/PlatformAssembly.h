#pragma once
// The program's platform: the services of the platform it was built for, created and
// installed in one place at start-up. Each platform's folder beside this file defines
// CreatePlatformAssembly.

#include <memory>

#include "UpdaterPlatform.h"
#include "WindowAnnouncer.h"

class PlatformAssembly {
  public:
    // Uninstalls what it installed.
    virtual ~PlatformAssembly() = default;

    // What the application object is given; valid as long as this object.
    virtual UpdaterPlatform Wiring() = 0;
    // Where a self-drawn user interface registers the windows it shows, so that other
    // copies of this tool can see them; null when the platform's own windows are seen.
    virtual ui::WindowAnnouncer* Announcer() = 0;
};

// Creates the platform's services and installs those the layers below take process-wide.
std::unique_ptr<PlatformAssembly> CreatePlatformAssembly();
