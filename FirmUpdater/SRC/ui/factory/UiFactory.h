#pragma once
// Chooses and creates the user interface at run time.
//
// FIRMUPDATER_UI=terminal or FIRMUPDATER_UI=gui chooses; without it (or with another
// value) the desktop interface is used when a display is reachable (DISPLAY or
// WAYLAND_DISPLAY set), the terminal otherwise. While there is no desktop interface in
// this build, asking for it gives the terminal.

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

    // Reads the variables of this process and whether its standard streams are terminals.
    static UiEnvironment OfProcess();
};

// What the environment asks for.
UiKind ChooseUiKind(const UiEnvironment& environment);

// The user interface to run on: the one asked for when this build has it, else the terminal.
// The terminal reads answers from `in` and prints to `out`.
std::unique_ptr<UiBackend> CreateUi(const UiEnvironment& environment, std::istream& in,
                                    std::ostream& out);

}  // namespace ui
