// Choosing the interface language, from /l: or from the user's locale, and what the
// string and template lookups then find.

#include "UiLanguage.h"

#include <gtest/gtest.h>

#include "ResourceIds.h"
#include "ResourceLookup.h"
#include "ScopedThreadLocale.h"

namespace {

using namespace res;

// The user's locales of the cases.
constexpr std::uint32_t kEnglishUs = 0x0409;
constexpr std::uint32_t kRussianRussia = 0x0419;
constexpr std::uint32_t kGermanGermany = 0x0407;
constexpr std::uint32_t kChinesePrc = 0x0804;
constexpr std::uint32_t kFrenchFrance = 0x040C;

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

// A string the interface language lacks comes from the user's language when the program
// has it there, else from English; an unknown interface language reads everything so.
TEST_F(UiLanguage, TextsFallBackThroughTheNeutralLookup) {
    const struct {
        std::uint16_t requested;
        std::uint32_t locale;
        std::uint16_t id;
        const LanguageResources* from;
    } cases[] = {
        {LANG_RUSSIAN, kEnglishUs, IDS_OUT_OF_MEMORY, &kEnglish},
        {LANG_RUSSIAN, kRussianRussia, IDS_OUT_OF_MEMORY, &kEnglish},
        {LANG_RUSSIAN, kGermanGermany, IDS_OUT_OF_MEMORY, &kGerman},
        {LANG_RUSSIAN, kEnglishUs, IDS_UPDATE_FAILED, &kRussian},
        {0, kChinesePrc, IDS_USB_TROUBLE, &kEnglish},
        {0, kChinesePrc, IDS_OUT_OF_MEMORY, &kSimplifiedChinese},
        {1053, kFrenchFrance, IDS_READ_FAILED, &kFrench},
        {1053, IThreadLocale::kInvariant, IDS_READ_FAILED, &kEnglish},
        {0x0C04, IThreadLocale::kInvariant, IDS_APP_CAPTION, &kTraditionalChinese},
    };
    for (const auto& c : cases) {
        ScopedThreadLocale locale(c.locale);
        SelectUiLanguage(c.requested);
        EXPECT_EQ(LoadText(c.id), Text(*c.from, c.id))
            << c.requested << " " << std::hex << c.locale << std::dec << " " << c.id;
    }
}

TEST_F(UiLanguage, TemplatesAndHelpFollowTheLanguage) {
    ScopedThreadLocale locale(0x0411);          // Japanese
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
