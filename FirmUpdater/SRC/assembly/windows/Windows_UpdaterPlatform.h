#pragma once
// The Windows program, put together: the watch through the HID class driver, image files and
// the local zone through Win32, the thread locale, thread priorities and console interrupt
// keys of the application, the uploader lock as a named mutex, the window titles of the busy
// check through FindWindowW, hidden windows carrying the terminal interface's titles, and the
// user interface (the dialog manager, or the terminal in a console).

#include <memory>

#include "PlatformAssembly.h"
#include "ScopedInstall.h"
#include "Windows_HidPlatform.h"
#include "Windows_ImageFileReader.h"
#include "Windows_LocalZone.h"
#include "Windows_PlatformServices.h"
#include "Windows_WindowAnnouncer.h"
#include "Windows_WindowTitleSearch.h"

class Windows_UpdaterPlatform : public PlatformAssembly {
  public:
    Windows_UpdaterPlatform();
    ~Windows_UpdaterPlatform() override;
    Windows_UpdaterPlatform(const Windows_UpdaterPlatform&) = delete;
    Windows_UpdaterPlatform& operator=(const Windows_UpdaterPlatform&) = delete;

    UpdaterPlatform Wiring() override;
    // The terminal interface has no windows of its own; hidden ones carry its titles.
    ui::WindowAnnouncer* Announcer() override { return &announcer_; }
    // The wide command line: any character of a path reaches the loader.
    std::vector<std::wstring> Arguments(int argc, char** argv) override;
    std::unique_ptr<ui::UiBackend> CreateUi(std::istream& in, std::ostream& out) override;

  private:
    // First of all, before any part loads a library: DLLs that are loaded later come from the
    // system folder alone, never from the program's folder or the current one, where a
    // stand-in (a downloads folder, a USB stick) would run inside the tool.
    struct SystemDllSearch {
        SystemDllSearch();
    } dllSearch_;
    Windows_ImageFileReader imageFiles_;
    Windows_LocalZone localZone_;
    Windows_PlatformServices services_;
    common::ScopedInstall imageFilesInstalled_;
    common::ScopedInstall localZoneInstalled_;
    common::ScopedInstall servicesInstalled_;
    common::ScopedInstall pauseInstalled_;
    Windows_WindowAnnouncer announcer_;
    Windows_WindowTitleSearch windows_;
    ArmillonDevice::Windows_HidPlatform hid_;
};
