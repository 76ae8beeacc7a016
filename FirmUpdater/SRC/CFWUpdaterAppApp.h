#pragma once
// The application object. Its InitInstance is the whole program: options, interface
// language, firmware image, then the update flow; ExitInstance frees what the run held and
// returns the exit code (0 only after a completed update or when the watch needs or allows
// none, 1 otherwise).

#include <cstdint>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "Application.h"
#include "CUploaderBusyCheck.h"
#include "Transcript.h"
#include "UpdaterPlatform.h"

class COrnaFirmware;
class CTalvenComm;
class VersionUpDecision;

namespace res {
struct DialogTemplate;
}

class CFWUpdaterAppApp : public ui::Application {
  public:
    // Without a platform: no watch is found, no other program is seen.
    CFWUpdaterAppApp(ui::UiBackend& ui, std::vector<std::wstring> arguments, std::ostream& console);
    CFWUpdaterAppApp(ui::UiBackend& ui, std::vector<std::wstring> arguments, std::ostream& console,
                     const UpdaterPlatform& platform);
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

    // One connection attempt with its prompts: 0 when the facade is connected, -1 when the
    // user asked for another attempt. Throws ArmillonException 0 when the run is to end
    // quietly (busy, or Cancel at a prompt), a DeviceException for a watch that cannot be
    // opened, and lets anything else through.
    std::int32_t ConnectDevice(CTalvenComm& facade, COrnaFirmware& image, int attempt);

    // True when another program or another copy of this tool is at work on the watch.
    bool IsUploaderBusy() { return busyCheck_.IsUploaderBusy(); }
    bool HoldsUploaderMutex() const { return busyCheck_.HoldsUploaderMutex(); }

    std::uint8_t forceUpdate = 0;  // /f: skip the version decision
    std::int32_t clockMode = 0;    // /t: 1 (always set the clock), /t-: -1 (never)
    std::unique_ptr<COrnaFirmware> firmware;
    std::wstring imageVersion;     // /s:, replaces the image's version text
    std::wstring imagePath;        // empty: the built-in image
    std::uint16_t languageId = 0;  // /l:, 0: from the user's locale
    std::int32_t exitCode = 1;
    bool helpRequested = false;     // --help, -h (and /? where / begins only options)
    bool chooseImage = false;       // --choose: no image given, ask for one in a chooser
    bool versionRequested = false;  // --version
    bool verbose = false;           // --verbose, -v: the transcript on the error stream
    std::wstring logPath;           // --log=FILE: the transcript appended to the file

    // The diagnostic transcript; silent unless --verbose or --log= asked for it.
    common::Transcript transcript;
    // Where --verbose writes (standard error unless a test says otherwise).
    std::ostream* errorStream = &std::cerr;

  protected:
    // The decision whether the watch needs the image.
    virtual std::unique_ptr<VersionUpDecision> CreateDecision();
    // The confirmation dialog's template in the interface language; null when there is
    // none in any language.
    virtual const res::DialogTemplate* FindConfirmationTemplate() const;

  private:
    // Attaches the sinks the options asked for to the transcript.
    void StartTranscript();
    // With --choose and no image path, asks for the image in the interface's file chooser.
    // False when the user cancelled it: the run ends quietly.
    bool ChooseImage();
    void TellImage();
    void TellWatch(CTalvenComm& facade, const std::wstring& version,
                   const std::wstring& productText2, const std::wstring& productText3);
    // Runs the confirmation dialog, which runs the update; its result.
    int ConfirmAndUpdate(CTalvenComm& facade);

    ArmillonDevice::IHidPlatform& hid_;
    SlashArguments slashArguments_;
    CUploaderBusyCheck busyCheck_;
};
