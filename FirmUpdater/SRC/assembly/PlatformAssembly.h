#pragma once
// The program's platform: the services of the platform it was built for, created and
// installed in one place at start-up. Each platform's folder beside this file defines
// CreatePlatformAssembly.

#include <memory>
#include <string>
#include <vector>

#include "TextConversion.h"
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
    // The program's arguments, its name first: main's arguments in the locale's encoding,
    // unless the platform keeps them as wide text of its own.
    virtual std::vector<std::wstring> Arguments(int argc, char** argv) {
        std::vector<std::wstring> arguments;
        for (int i = 0; i < argc; ++i) {
            arguments.push_back(common::NarrowToWide(argv[i]));
        }
        return arguments;
    }
};

// Creates the platform's services and installs those the layers below take process-wide.
std::unique_ptr<PlatformAssembly> CreatePlatformAssembly();
