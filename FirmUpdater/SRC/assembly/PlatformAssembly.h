#pragma once
// The program's platform: the whole program as built for one platform, put together in one
// place at start-up: its services (those the layers below take process-wide installed for
// the object's life), the watch's HID platform, the busy check's signals and the user
// interface. Each platform's folder beside this file defines CreatePlatformAssembly.

#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "TextConversion.h"
#include "UiBackend.h"
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
    // The user interface the environment asks for; the terminal reads answers from `in` and
    // prints to `out`.
    virtual std::unique_ptr<ui::UiBackend> CreateUi(std::istream& in, std::ostream& out) = 0;
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

// Creates the platform's services and installs those the layers below take process-wide;
// reads the environment the program is started in.
std::unique_ptr<PlatformAssembly> CreatePlatformAssembly();
