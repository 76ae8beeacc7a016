#include "Linux_UpdaterPlatform.h"

#include "IHidPlatform.h"
#include "Linux_HidPlatform.h"
#include "Linux_LockFileMutex.h"
#include "WindowTitleSearchFactory.h"

namespace {

std::vector<IWindowTitleSearch*> Searches(IWindowTitleSearch& registry,
                                          IWindowTitleSearch* display) {
    std::vector<IWindowTitleSearch*> searches{&registry};
    if (display != nullptr) {
        searches.push_back(display);
    }
    return searches;
}

}  // namespace

// The hidraw nodes of /dev, or of FIRMUPDATER_HIDRAW_DIR when set.
Linux_UpdaterPlatform::Linux_UpdaterPlatform(std::unique_ptr<IWindowTitleSearch> displayWindows)
    : displayWindows_(std::move(displayWindows)),
      windows_(Searches(registry_, displayWindows_.get())),
      hid_(std::make_unique<ArmillonDevice::Linux_HidPlatform>()) {
    InstallImageFileReader(&imageFiles_);
    InstallLocalZone(&localZone_);
    platform::Install(services_.Services());
}

Linux_UpdaterPlatform::~Linux_UpdaterPlatform() {
    platform::Install({});
    InstallLocalZone(nullptr);
    InstallImageFileReader(nullptr);
}

UpdaterPlatform Linux_UpdaterPlatform::Wiring() {
    return {hid_.get(), &windows_, [](const std::wstring& name) -> std::unique_ptr<INamedMutex> {
                return std::make_unique<Linux_LockFileMutex>(name);
            }};
}

// The desktop's windows are searched whenever a display is reachable, in either interface.
std::unique_ptr<PlatformAssembly> CreatePlatformAssembly() {
    return std::make_unique<Linux_UpdaterPlatform>(ui::CreateWindowTitleSearch());
}
