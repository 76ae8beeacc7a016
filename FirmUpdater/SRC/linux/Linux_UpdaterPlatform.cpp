#include "Linux_UpdaterPlatform.h"

#include "IHidPlatform.h"
#include "Linux_LockFileMutex.h"

Linux_UpdaterPlatform::Linux_UpdaterPlatform() : windows_({&registry_}) {}

Linux_UpdaterPlatform::~Linux_UpdaterPlatform() = default;

UpdaterPlatform Linux_UpdaterPlatform::Wiring() {
    return {hid_.get(), &windows_, [](const std::wstring& name) -> std::unique_ptr<INamedMutex> {
                return std::make_unique<Linux_LockFileMutex>(name);
            }};
}
