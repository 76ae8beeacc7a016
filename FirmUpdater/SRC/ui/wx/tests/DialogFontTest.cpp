#include "DialogFont.h"

#include <gtest/gtest.h>

namespace {

TEST(DialogFont, CjkTemplatesGetACjkFamilyByScriptEveryOtherTheSansSerif) {
    const struct {
        std::uint16_t language;
        const char* family;
    } cases[] = {
        {1041, "Noto Sans CJK JP"},
        {0x0011, "Noto Sans CJK JP"},
        {1028, "Noto Sans CJK TC"},
        {0x0C04, "Noto Sans CJK TC"},
        {2052, "Noto Sans CJK SC"},
        {0x1004, "Noto Sans CJK SC"},
        {1033, "Sans"},
        {7, "Sans"},
        {1049, "Sans"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ui::DialogFontFamily(c.language), c.family) << c.language;
    }
}

}  // namespace
