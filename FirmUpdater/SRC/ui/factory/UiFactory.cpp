#include "UiFactory.h"

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
