#include "UiFactory.h"

#include <iostream>

#include "TerminalUi.h"

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
                                    std::ostream& out, const DesktopUiFactory& desktop) {
    if (ChooseUiKind(environment) == UiKind::Desktop && desktop) {
        std::string whyNot;
        if (auto created = desktop(whyNot)) {
            return created;
        }
        std::cerr << "firmupdater: " << whyNot << "; using the terminal\n";
    }
    return std::make_unique<TerminalUi>(in, out, environment.outputIsTerminal,
                                        !environment.inputIsTerminal);
}

}  // namespace ui
