// Choosing the interface language, from /l: or from the user's locale, and what the
// string and template lookups then find.

#include "UiLanguage.h"

#include <gtest/gtest.h>

#include "ResourceIds.h"
#include "ResourceLookup.h"
#include "ScopedLocaleEnvironment.h"

namespace {

using namespace res;

class UiLanguage : public testing::Test {
  protected:
    void TearDown() override { uiLanguage = 0; }
};

std::wstring_view Text(const LanguageResources& resources, std::uint16_t id) {
    return (*FindStringBlock(resources, StringBlockNumber(id)))[StringBlockIndex(id)];
}

TEST_F(UiLanguage, AnExplicitLanguageIsTakenAsItIs) {
    for (std::uint16_t requested :
         {LANG_RUSSIAN, std::uint16_t{0x0C07}, std::uint16_t{1053}, std::uint16_t{0xFFFF}}) {
        SelectUiLanguage(requested, 0x0411);
        EXPECT_EQ(uiLanguage, requested);
    }
}

TEST_F(UiLanguage, TheLocaleDecidesWhenNoneIsRequested) {
    const struct {
        std::uint32_t locale;
        std::uint16_t language;
    } cases[] = {
        {0x0407, 0x0407},          {0x0C07, 0x0C07},
        {0x040C, 0x040C},          {0x0411, 0x0411},
        {0x0419, 0x0419},          {0x0404, 0x0404},
        {0x0C04, 0x0C04},          {0x0804, 0x0804},
        {0x1004, 0x1004},          {0x0409, 0x0409},
        {0x0809, 0x0809},          {0x00010407, 0x0407},  // a sort order in the high bits
        {0x041D, LANG_ENGLISH},                           // no Swedish resources
        {0x007F, LANG_ENGLISH},                           // C and POSIX
        {kCustomDefaultLocale, 0},
    };
    for (const auto& c : cases) {
        SelectUiLanguage(0, c.locale);
        EXPECT_EQ(uiLanguage, c.language) << std::hex << c.locale;
    }
}

TEST_F(UiLanguage, TheLocaleComesFromThePosixVariables) {
    const struct {
        const char* all;
        const char* lang;
        std::uint16_t language;
    } cases[] = {
        {nullptr, "ja_JP.UTF-8", 0x0411},       {"fr_CA.UTF-8", "de_DE.UTF-8", 0x0C0C},
        {nullptr, "C", LANG_ENGLISH},           {nullptr, nullptr, LANG_ENGLISH},
        {nullptr, "sv_SE.UTF-8", LANG_ENGLISH},
    };
    for (const auto& c : cases) {
        ScopedLocaleEnvironment environment(c.all, nullptr, c.lang);
        SelectUiLanguage(0);
        EXPECT_EQ(uiLanguage, c.language) << (c.lang ? c.lang : "-");
    }
}

// A string the interface language lacks comes from the user's language when the program
// has it there, else from English; an unknown interface language reads everything so.
TEST_F(UiLanguage, TextsFallBackThroughTheNeutralLookup) {
    const struct {
        std::uint16_t requested;
        const char* lang;
        std::uint16_t id;
        const LanguageResources* from;
    } cases[] = {
        {LANG_RUSSIAN, "en_US.UTF-8", IDS_OUT_OF_MEMORY, &kEnglish},
        {LANG_RUSSIAN, "ru_RU.UTF-8", IDS_OUT_OF_MEMORY, &kEnglish},
        {LANG_RUSSIAN, "de_DE.UTF-8", IDS_OUT_OF_MEMORY, &kGerman},
        {LANG_RUSSIAN, "en_US.UTF-8", IDS_UPDATE_FAILED, &kRussian},
        {0, "zh_CN.UTF-8", IDS_USB_TROUBLE, &kEnglish},
        {0, "zh_CN.UTF-8", IDS_OUT_OF_MEMORY, &kSimplifiedChinese},
        {1053, "fr_FR.UTF-8", IDS_READ_FAILED, &kFrench},
        {1053, "C", IDS_READ_FAILED, &kEnglish},
        {0x0C04, "C", IDS_APP_CAPTION, &kTraditionalChinese},
    };
    for (const auto& c : cases) {
        ScopedLocaleEnvironment environment(nullptr, nullptr, c.lang);
        SelectUiLanguage(c.requested);
        EXPECT_EQ(LoadText(c.id), Text(*c.from, c.id))
            << c.requested << " " << c.lang << " " << c.id;
    }
}

TEST_F(UiLanguage, TemplatesAndHelpFollowTheLanguage) {
    ScopedLocaleEnvironment environment(nullptr, nullptr, "ja_JP.UTF-8");
    SelectUiLanguage(0, kCustomDefaultLocale);  // every lookup is the neutral one
    EXPECT_EQ(uiLanguage, 0);
    EXPECT_EQ(LoadText(IDS_READ_FAILED), Text(kJapanese, IDS_READ_FAILED));
    EXPECT_EQ(FindUiDialogTemplate(IDD_CONFIRM)->language, LANG_JAPANESE);

    SelectUiLanguage(LANG_RUSSIAN);
    EXPECT_EQ(FindUiDialogTemplate(IDD_PROGRESS)->language, LANG_RUSSIAN);
    EXPECT_EQ(FindUiDialogTemplate(150), nullptr);
    EXPECT_EQ(UsageText(), kRussian.usage);
    EXPECT_EQ(LoadText(204), L"");
}

}  // namespace
