// The choice of the user interface from the variable and the display.
#include "UiFactory.h"

#include <gtest/gtest.h>

namespace {

using namespace ui;

TEST(UiFactory, TheVariableChoosesElseADisplayMeansTheDesktop) {
    const struct {
        const char* variable;
        bool display;
        UiKind kind;
    } cases[] = {
        {"terminal", true, UiKind::Terminal}, {"terminal", false, UiKind::Terminal},
        {"gui", false, UiKind::Desktop},      {"gui", true, UiKind::Desktop},
        {"", true, UiKind::Desktop},          {"", false, UiKind::Terminal},
        {"GUI", false, UiKind::Terminal},     {"other", true, UiKind::Desktop},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseUiKind({c.variable, c.display, false, true}), c.kind)
            << c.variable << " " << c.display;
    }
}

}  // namespace
