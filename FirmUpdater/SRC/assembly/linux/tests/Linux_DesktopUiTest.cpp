// On Linux the desktop interface needs an X display that answers; DISPLAY names it.
#include "Linux_DesktopUi.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "TerminalUi.h"

namespace {

using namespace ui;

TEST(UiFactory, WithoutAReachableDisplayEveryChoiceGivesTheTerminal) {
    // A display no server answers: the desktop interface cannot start.
    const char* saved = std::getenv("DISPLAY");
    const std::string restore = saved != nullptr ? saved : "";
    setenv("DISPLAY", ":59999", 1);
    std::istringstream in;
    std::ostringstream out;
    for (const char* variable : {"terminal", "gui", ""}) {
        auto created = CreateUi({variable, true, false, true}, in, out, Linux_DesktopUi());
        EXPECT_NE(dynamic_cast<TerminalUi*>(created.get()), nullptr) << variable;
    }
    if (saved != nullptr) {
        setenv("DISPLAY", restore.c_str(), 1);
    } else {
        unsetenv("DISPLAY");
    }
}

}  // namespace
