#include "Linux_UpdaterPlatform.h"

#include "Linux_DesktopUi.h"
#include "Linux_HidrawDirectory.h"
#include "Linux_LockFileMutex.h"
#include "Linux_UiEnvironment.h"
#include "NoWindowTitleSearch.h"
#include "PauseLimit.h"
#ifdef FU_HAVE_X11_SEARCH
#include "Linux_X11WindowTitleSearch.h"
#endif

namespace {

std::vector<IWindowTitleSearch*> Searches(IWindowTitleSearch& registry,
                                          IWindowTitleSearch* display) {
    std::vector<IWindowTitleSearch*> searches{&registry};
    if (display != nullptr) {
        searches.push_back(display);
    }
    return searches;
}

// The desktop's windows are searched whenever a display is reachable, in either interface;
// none are without libX11 at build time.
std::unique_ptr<IWindowTitleSearch> DisplayWindows() {
#ifdef FU_HAVE_X11_SEARCH
    // Finds nothing by itself when DISPLAY is not set or cannot be opened.
    return std::make_unique<Linux_X11WindowTitleSearch>();
#else
    return std::make_unique<NoWindowTitleSearch>();
#endif
}

}  // namespace

Linux_UpdaterPlatform::Linux_UpdaterPlatform(std::string hidrawDirectory,
                                             std::unique_ptr<IWindowTitleSearch> displayWindows)
    : imageFilesInstalled_(InstallImageFileReader, &imageFiles_),
      localZoneInstalled_(InstallLocalZone, &localZone_),
      servicesInstalled_(platform::Install, services_.Services()),
      pauseInstalled_(common::SetPauseHook, PauseLimitOfProcess()),
      displayWindows_(std::move(displayWindows)),
      windows_(Searches(registry_, displayWindows_.get())),
      hid_(std::move(hidrawDirectory)) {}

Linux_UpdaterPlatform::~Linux_UpdaterPlatform() = default;

UpdaterPlatform Linux_UpdaterPlatform::Wiring() {
    return {&hid_, &windows_, [](const std::wstring& name) -> std::unique_ptr<INamedMutex> {
                return std::make_unique<Linux_LockFileMutex>(name);
            }};
}

std::unique_ptr<ui::UiBackend> Linux_UpdaterPlatform::CreateUi(std::istream& in,
                                                               std::ostream& out) {
    return ui::CreateUi(Linux_UiEnvironment::OfProcess(), in, out, Linux_DesktopUi());
}

std::unique_ptr<PlatformAssembly> CreatePlatformAssembly() {
    return std::make_unique<Linux_UpdaterPlatform>(Linux_HidrawDirectory::OfProcess(),
                                                   DisplayWindows());
}
