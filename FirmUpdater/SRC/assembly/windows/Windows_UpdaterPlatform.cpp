#include "Windows_UpdaterPlatform.h"

#include "PauseLimit.h"
#include "Win32_Ui.h"
#include "Windows_CommandLine.h"
#include "Windows_ConsoleTwinAttach.h"
#include "Windows_NamedMutex.h"
#include "Windows_UiEnvironment.h"

#include <windows.h>

Windows_UpdaterPlatform::SystemDllSearch::SystemDllSearch() {
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

Windows_UpdaterPlatform::Windows_UpdaterPlatform()
    : imageFilesInstalled_(InstallImageFileReader, &imageFiles_),
      localZoneInstalled_(InstallLocalZone, &localZone_),
      servicesInstalled_(platform::Install, services_.Services()),
      pauseInstalled_(common::SetPauseHook, PauseLimitOfProcess()) {}

Windows_UpdaterPlatform::~Windows_UpdaterPlatform() = default;

UpdaterPlatform Windows_UpdaterPlatform::Wiring() {
    return {&hid_, &windows_, &Windows_NamedMutex::Create, SlashArguments::OptionsOnly};
}

std::vector<std::wstring> Windows_UpdaterPlatform::Arguments(int, char**) {
    return Windows_CommandLine::Arguments();
}

// The dialog manager always starts; the terminal runs in a console window.
std::unique_ptr<ui::UiBackend> Windows_UpdaterPlatform::CreateUi(std::istream& in,
                                                                 std::ostream& out) {
    return ui::CreateUi(Windows_UiEnvironment::OfProcess(), in, out,
                        [](std::string&) -> std::unique_ptr<ui::UiBackend> {
                            return std::make_unique<ui::Win32_Ui>();
                        });
}

std::unique_ptr<PlatformAssembly> CreatePlatformAssembly() {
    // Before anything asks whether the program runs in a console.
    Windows_ConsoleTwinAttach::AttachWhenStartedByTwin();
    return std::make_unique<Windows_UpdaterPlatform>();
}
