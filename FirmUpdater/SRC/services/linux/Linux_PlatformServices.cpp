#include "Linux_PlatformServices.h"

#include "Linux_InterruptGuard.h"
#include "Linux_ThreadLocale.h"
#include "Linux_ThreadPriority.h"

std::uint32_t Linux_PlatformServices::Current() {
    return Linux_ThreadLocale::Current();
}

void Linux_PlatformServices::LowerCallingThreadOneStep() {
    Linux_ThreadPriority::LowerCallingThreadOneStep();
}

std::unique_ptr<IInterruptGuard> Linux_PlatformServices::HoldOff(std::string_view note) {
    return std::make_unique<Linux_InterruptGuard>(note);
}
