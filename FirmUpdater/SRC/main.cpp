// firmupdater: writes a firmware image to the watch in its cradle.

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "CFWUpdaterAppApp.h"
#include "Pause.h"
#include "PlatformAssembly.h"
#include "TextConversion.h"
#include "UiFactory.h"

namespace {

// For tests only: FIRMUPDATER_TEST_MAX_PAUSE_MS=N shortens every deliberate pause of the
// program (retry interval, pause between enumerations, dialog timer) to at most N ms, so
// that an end-to-end test of a retried failure does not wait seconds for each retry. The
// waits for the watch itself (report time-outs) are not pauses and stay as they are.
void LimitPausesForTests() {
    const char* value = std::getenv("FIRMUPDATER_TEST_MAX_PAUSE_MS");
    if (value == nullptr || *value == '\0') {
        return;
    }
    const std::chrono::milliseconds limit(static_cast<long long>(std::strtoul(value, nullptr, 10)));
    common::SetPauseHook([limit](std::chrono::milliseconds duration) {
        std::this_thread::sleep_for(std::min(duration, limit));
    });
}

}  // namespace

int main(int argc, char** argv) {
    // The arguments, the image's texts and the watch's texts are in the locale's encoding.
    std::setlocale(LC_ALL, "");
    LimitPausesForTests();
    std::vector<std::wstring> arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.push_back(common::NarrowToWide(argv[i]));
    }
    const auto platform = CreatePlatformAssembly();
    auto ui = ui::CreateUi(ui::UiEnvironment::OfProcess(), std::cin, std::cout);
    ui->SetWindowAnnouncer(platform->Announcer());
    CFWUpdaterAppApp app(*ui, std::move(arguments), std::cout, platform->Wiring());
    return app.Run();
}
