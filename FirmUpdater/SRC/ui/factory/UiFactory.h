#pragma once
// Chooses and creates the user interface at run time.
//
// FIRMUPDATER_UI=terminal or FIRMUPDATER_UI=gui chooses; without it (or with another
// value) the desktop interface is used when a display is reachable (DISPLAY or
// WAYLAND_DISPLAY set; on Windows: unless the program runs in a console window), the
// terminal otherwise. The desktop interface falls back to the terminal when it cannot
// start, or when the program was built without one. Each platform's assembly reads the
// environment and says which desktop interface it has.

#include <functional>
#include <istream>
#include <memory>
#include <ostream>
#include <string>

#include "UiBackend.h"

namespace ui {

enum class UiKind { Terminal, Desktop };

struct UiEnvironment {
    std::string uiVariable;  // FIRMUPDATER_UI
    bool displayReachable = false;
    bool outputIsTerminal = false;
    bool inputIsTerminal = true;
};

// Starts the desktop interface; null, with the reason in `whyNot`, when it cannot.
using DesktopUiFactory = std::function<std::unique_ptr<UiBackend>(std::string& whyNot)>;

// What the environment asks for.
UiKind ChooseUiKind(const UiEnvironment& environment);

// The user interface to run on: the desktop one when asked for, given and able to start,
// else the terminal. The terminal reads answers from `in` and prints to `out`.
std::unique_ptr<UiBackend> CreateUi(const UiEnvironment& environment, std::istream& in,
                                    std::ostream& out, const DesktopUiFactory& desktop);

}  // namespace ui
