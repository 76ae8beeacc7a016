#pragma once
// The application object. Its InitInstance is the whole program: options, interface
// language, firmware image, then the update flow; ExitInstance frees what the run held and
// returns the exit code (0 only after a completed update or when the watch needs or allows
// none, 1 otherwise).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Application.h"

class COrnaFirmware;

class CFWUpdaterAppApp : public ui::Application {
  public:
    CFWUpdaterAppApp(ui::UiBackend& ui, std::vector<std::wstring> arguments, std::ostream& console);
    ~CFWUpdaterAppApp() override;

    // Always returns false: there is nothing to run after it.
    bool InitInstance() override;
    int ExitInstance() override;

    // Reads the command line into the fields below.
    void ReadOptions();

    // Everything after the image is loaded: busy check, connection, version decision,
    // confirmation and the update, with every message on the way. Sets exitCode to 0 on
    // the outcomes that allow it; never lets an exception escape.
    virtual void RunUpdateFlow();

    std::uint8_t forceUpdate = 0;  // /f: skip the version decision
    std::int32_t clockMode = 0;    // /t: 1 (always set the clock), /t-: -1 (never)
    std::unique_ptr<COrnaFirmware> firmware;
    std::wstring imageVersion;     // /s:, replaces the image's version text
    std::wstring imagePath;        // empty: the built-in image
    std::uint16_t languageId = 0;  // /l:, 0: from the user's locale
    std::int32_t exitCode = 1;
    bool helpRequested = false;     // --help
    bool versionRequested = false;  // --version
};
