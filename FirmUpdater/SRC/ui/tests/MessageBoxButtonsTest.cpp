#include "MessageBoxButtons.h"

#include <gtest/gtest.h>

#include "MessageBoxRequest.h"
#include "ResourceIds.h"

namespace {

using namespace ui;

TEST(MessageBoxButtons, StylesGiveTheirButtonsDefaultAndEndOfInputAnswer) {
    const struct {
        std::uint32_t style;
        std::vector<int> buttons;
        int enter;
        int endOfInput;
    } cases[] = {
        {MB_ICONINFORMATION, {IDOK}, IDOK, IDOK},
        {MB_ICONEXCLAMATION | MB_TOPMOST, {IDOK}, IDOK, IDOK},
        {MB_ICONEXCLAMATION | MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, IDRETRY, IDCANCEL},
        {MB_RETRYCANCEL | MB_DEFBUTTON2, {IDRETRY, IDCANCEL}, IDCANCEL, IDCANCEL},
        {MB_YESNO, {IDYES, IDNO}, IDYES, IDNO},
        {MB_YESNO | MB_DEFBUTTON2, {IDYES, IDNO}, IDNO, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, {IDYES, IDNO, IDCANCEL}, IDCANCEL, IDCANCEL},
        {MB_OKCANCEL, {IDOK, IDCANCEL}, IDOK, IDCANCEL},
        {MB_OK | MB_DEFBUTTON3, {IDOK}, IDOK, IDOK},  // no third button: the first
    };
    for (const auto& c : cases) {
        const auto set = ButtonsFor(c.style, res::kEnglish.buttons);
        std::vector<int> results;
        for (const auto& b : set.buttons) {
            results.push_back(b.result);
        }
        EXPECT_EQ(results, c.buttons) << std::hex << c.style;
        EXPECT_EQ(set.defaultResult, c.enter) << std::hex << c.style;
        EXPECT_EQ(set.endOfInputResult, c.endOfInput) << std::hex << c.style;
    }
}

TEST(MessageBoxButtons, LabelsComeInTheBoxLanguageWithTheSameKeys) {
    const auto german = ButtonsFor(MB_RETRYCANCEL, ButtonLabelsFor(res::LANG_GERMAN));
    ASSERT_EQ(german.buttons.size(), 2u);
    EXPECT_EQ(german.buttons[0].label, L"Wiederholen");
    EXPECT_EQ(german.buttons[0].key, 'r');
    EXPECT_EQ(german.buttons[1].label, L"Abbrechen");
    EXPECT_EQ(german.buttons[1].key, 'c');

    EXPECT_EQ(ButtonLabelsFor(0x0C04).cancel, L"取消");
    EXPECT_EQ(ButtonLabelsFor(0x0419).ok, L"ОК");
    EXPECT_EQ(ButtonLabelsFor(0x0411).retry, L"再試行");
}

}  // namespace
