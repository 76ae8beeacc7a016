#include "Windows_UpdaterPlatform.h"

#include "Windows_CommandLine.h"
#include "Windows_ConsoleTwinAttach.h"
#include "Windows_NamedMutex.h"

#include <windows.h>

Windows_UpdaterPlatform::SystemDllSearch::SystemDllSearch() {
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

Windows_UpdaterPlatform::Windows_UpdaterPlatform() {
    InstallImageFileReader(&imageFiles_);
    InstallLocalZone(&localZone_);
    platform::Install(services_.Services());
}

Windows_UpdaterPlatform::~Windows_UpdaterPlatform() {
    platform::Install({});
    InstallLocalZone(nullptr);
    InstallImageFileReader(nullptr);
}

UpdaterPlatform Windows_UpdaterPlatform::Wiring() {
    return {&hid_, &windows_, &Windows_NamedMutex::Create, SlashArguments::OptionsOnly};
}

std::vector<std::wstring> Windows_UpdaterPlatform::Arguments(int, char**) {
    return Windows_CommandLine::Arguments();
}

std::unique_ptr<PlatformAssembly> CreatePlatformAssembly() {
    // Before anything asks whether the program runs in a console.
    Windows_ConsoleTwinAttach::AttachWhenStartedByTwin();
    return std::make_unique<Windows_UpdaterPlatform>();
}
