#include <gtest/gtest.h>

#include "ResourceIds.h"
#include "ResourceLookup.h"

namespace {

using namespace res;

TEST(ResourceLookup, MatchesExactLanguageThenPrimaryLanguageWithChineseByRegion) {
    const struct {
        std::uint16_t requested;
        std::uint16_t found;  // 0: none
    } cases[] = {
        {0x0007, 7},    {0x0407, 7},    {0x0C07, 7},    {0x0807, 7},    {0x040C, 12},
        {0x080C, 12},   {0x0C0C, 12},   {0x0409, 1033}, {0x0809, 1033}, {0x0009, 1033},
        {0x0411, 1041}, {0x0419, 1049}, {0x0404, 1028}, {0x0C04, 1028}, {0x1404, 1028},
        {0x0804, 2052}, {0x1004, 2052}, {0x0004, 2052}, {0x041D, 0},    {0x007F, 0},
        {0x0000, 0},    {0x0400, 0},    {0x0C00, 0},    {0xFFFF, 0},
    };
    for (const auto& c : cases) {
        const auto* match = MatchLanguage(c.requested);
        EXPECT_EQ(match ? match->language : 0, c.found) << std::hex << c.requested;
    }
}

TEST(ResourceLookup, StringsComeInBlocksOfSixteen) {
    const auto block13 = FindStringBlock(kEnglish, StringBlockNumber(200));
    ASSERT_TRUE(block13);
    EXPECT_EQ(StringBlockNumber(200), 13u);
    EXPECT_EQ((*block13)[8], L"KORVELIN firmware update tool");
    EXPECT_TRUE((*block13)[4].empty());  // 196 does not exist
    EXPECT_FALSE(FindStringBlock(kEnglish, 12));

    // Russian has block 15 (224 to 239) but not 226 in it.
    const auto russian15 = FindStringBlock(kRussian, StringBlockNumber(226));
    ASSERT_TRUE(russian15);
    EXPECT_TRUE((*russian15)[StringBlockIndex(226)].empty());
    EXPECT_FALSE((*russian15)[StringBlockIndex(225)].empty());
}

// A string missing in the requested language comes from the neutral lookup: the user's
// language when the program has it there, else English.
TEST(ResourceLookup, MissingStringsFallBackThroughTheNeutralLookup) {
    const struct {
        std::uint16_t id;
        std::uint16_t language;
        std::uint16_t userLanguage;
        const LanguageResources* from;  // null: no text at all
    } cases[] = {
        {IDS_OUT_OF_MEMORY, LANG_RUSSIAN, 0x0409, &kEnglish},
        {IDS_OUT_OF_MEMORY, LANG_RUSSIAN, 0x0407, &kGerman},
        {IDS_OUT_OF_MEMORY, LANG_RUSSIAN, 0x0419, &kEnglish},  // the user's Russian lacks it too
        {IDS_UPDATE_FAILED, LANG_RUSSIAN, 0x0407, &kRussian},
        {IDS_USB_TROUBLE, LANG_SIMPLIFIED_CHINESE, 0x0804, &kEnglish},
        {IDS_USB_TROUBLE, LANG_SIMPLIFIED_CHINESE, 0x0411, &kJapanese},
        {IDS_OUT_OF_MEMORY, LANG_SIMPLIFIED_CHINESE, 0x0409, &kSimplifiedChinese},
        {IDS_READ_FAILED, 0x041D, 0x040C, &kFrench},  // no Swedish resources
        {IDS_READ_FAILED, 0x041D, 0x041D, &kEnglish},
        {IDS_READ_FAILED, 0, 0x0C04, &kTraditionalChinese},
        {IDS_READ_FAILED, 0x0C07, 0x0409, &kGerman},
        {204, LANG_ENGLISH, 0x0409, nullptr},
        {300, LANG_GERMAN, 0x0407, nullptr},
    };
    for (const auto& c : cases) {
        std::wstring expected;
        if (c.from != nullptr) {
            expected = (*FindStringBlock(*c.from, StringBlockNumber(c.id)))[StringBlockIndex(c.id)];
            ASSERT_FALSE(expected.empty());
        }
        EXPECT_EQ(LoadString(c.id, c.language, c.userLanguage), expected)
            << c.id << " in " << c.language << ", user " << std::hex << c.userLanguage;
    }
}

TEST(ResourceLookup, DialogTemplatesAndLanguageResourcesFallBackTheSameWay) {
    EXPECT_EQ(FindDialogTemplate(IDD_CONFIRM, 0x0419, 0x0409)->language, LANG_RUSSIAN);
    EXPECT_EQ(FindDialogTemplate(IDD_PROGRESS, 0x041D, 0x0411)->language, LANG_JAPANESE);
    EXPECT_EQ(FindDialogTemplate(IDD_PROGRESS, 0, 0x041D)->language, LANG_ENGLISH);
    EXPECT_EQ(FindDialogTemplate(150, LANG_ENGLISH, 0x0409), nullptr);

    EXPECT_EQ(ResourcesFor(0x0804, 0x0409).language, LANG_SIMPLIFIED_CHINESE);
    EXPECT_EQ(ResourcesFor(0x041D, 0x0C0C).language, LANG_FRENCH);
    EXPECT_EQ(ResourcesFor(0, 0x007F).language, LANG_ENGLISH);
}

}  // namespace
