#include "UiFactory.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "TerminalUi.h"
#ifdef FU_HAVE_WIN32_UI
#include "Win32_Console.h"
#include "Win32_Ui.h"
#elif defined(FU_HAVE_DESKTOP_UI)
#include "WxUi.h"
#endif

namespace ui {
namespace {

[[maybe_unused]] bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

UiEnvironment UiEnvironment::OfProcess() {
    UiEnvironment environment;
    if (const char* value = std::getenv("FIRMUPDATER_UI")) {
        environment.uiVariable = value;
    }
#ifdef FU_HAVE_WIN32_UI
    // Windows always has a desktop; a program started in a console window talks there.
    environment.displayReachable = !Win32_Console::HasConsole();
#else
    environment.displayReachable = IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
#endif
    environment.outputIsTerminal = isatty(STDOUT_FILENO) == 1;
    environment.inputIsTerminal = isatty(STDIN_FILENO) == 1;
    return environment;
}

UiKind ChooseUiKind(const UiEnvironment& environment) {
    if (environment.uiVariable == "terminal") {
        return UiKind::Terminal;
    }
    if (environment.uiVariable == "gui") {
        return UiKind::Desktop;
    }
    return environment.displayReachable ? UiKind::Desktop : UiKind::Terminal;
}

std::unique_ptr<UiBackend> CreateUi(const UiEnvironment& environment, std::istream& in,
                                    std::ostream& out) {
    if (ChooseUiKind(environment) == UiKind::Desktop) {
#ifdef FU_HAVE_WIN32_UI
        return std::make_unique<Win32_Ui>();
#elif defined(FU_HAVE_DESKTOP_UI)
        std::string whyNot;
        if (auto desktop = WxUi::Create(whyNot)) {
            return desktop;
        }
        std::cerr << "firmupdater: " << whyNot << "; using the terminal\n";
#endif
    }
    return std::make_unique<TerminalUi>(in, out, environment.outputIsTerminal,
                                        !environment.inputIsTerminal);
}

}  // namespace ui
