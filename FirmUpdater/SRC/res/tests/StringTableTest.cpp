// The seven string tables against the English one: which strings each language has, and
// that every translation keeps the placeholders and line breaks the code relies on.

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ResourceIds.h"
#include "Resources.h"

namespace {

using namespace res;

// The original table, and ours after it (232 to 235), which every language has.
const std::set<std::uint16_t> kAllIds = {200, 201, 202, 203, 205, 206, 210, 212, 213,
                                         214, 215, 216, 220, 222, 223, 224, 225, 226,
                                         227, 228, 229, 230, 231, 232, 233, 234, 235};

std::map<std::uint16_t, std::wstring_view> Table(const LanguageResources& resources) {
    std::map<std::uint16_t, std::wstring_view> table;
    for (const auto& entry : resources.strings) {
        EXPECT_TRUE(table.emplace(entry.id, entry.text).second)
            << "string " << entry.id << " twice in language " << resources.language;
    }
    return table;
}

// The printf conversions of a text, in order ("%s", "%5s"); "%%" is not one.
std::vector<std::wstring> Placeholders(std::wstring_view text) {
    std::vector<std::wstring> found;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%') {
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == L'%') {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < text.size() && !std::iswalpha(text[end])) {
            ++end;
        }
        found.emplace_back(text.substr(i, end - i + 1));
        i = end;
    }
    return found;
}

TEST(StringTable, EveryLanguageHasAllStringsButItsDocumentedGaps) {
    const std::map<std::uint16_t, std::set<std::uint16_t>> gaps = {
        {LANG_RUSSIAN, {226, 227, 228, 229}},
        {LANG_SIMPLIFIED_CHINESE, {226, 229}},
    };
    ASSERT_EQ(AllLanguages().size(), 7u);
    for (const auto* resources : AllLanguages()) {
        std::set<std::uint16_t> expected = kAllIds;
        if (auto gap = gaps.find(resources->language); gap != gaps.end()) {
            for (auto id : gap->second) {
                expected.erase(id);
            }
        }
        std::set<std::uint16_t> present;
        for (const auto& [id, text] : Table(*resources)) {
            EXPECT_FALSE(text.empty()) << resources->language << ": " << id;
            present.insert(id);
        }
        EXPECT_EQ(present, expected) << "language " << resources->language;
    }
}

TEST(StringTable, TranslationsKeepPlaceholdersAndLineBreaks) {
    const auto english = Table(kEnglish);
    for (const auto* resources : AllLanguages()) {
        for (const auto& [id, text] : Table(*resources)) {
            const auto original = english.at(id);
            EXPECT_EQ(Placeholders(text), Placeholders(original))
                << "language " << resources->language << ", string " << id;
            EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'),
                      std::count(original.begin(), original.end(), L'\n'))
                << "language " << resources->language << ", string " << id;
        }
    }
}

TEST(StringTable, MutexNameIsIdenticalInEveryLanguage) {
    const auto name = Table(kEnglish).at(IDS_UPLOADER_MUTEX);
    EXPECT_EQ(name, L"KAVEL Uploader Tool_7C2E91B4-3D58-4A0F-B6E1-95D0A43F28C7 IS UPLOADING NOW");
    for (const auto* resources : AllLanguages()) {
        EXPECT_EQ(Table(*resources).at(IDS_UPLOADER_MUTEX), name) << resources->language;
    }
}

// Where English names the product, Japanese says ArmillonGPS and the others KORVELIN.
TEST(StringTable, ProductNameFollowsTheLanguage) {
    auto check = [](const LanguageResources& resources, std::wstring_view original,
                    std::wstring_view text, const std::string& what) {
        if (original.find(L"KORVELIN") == std::wstring_view::npos) {
            return;
        }
        const bool japanese = resources.language == LANG_JAPANESE;
        EXPECT_NE(text.find(japanese ? L"ArmillonGPS" : L"KORVELIN"), std::wstring_view::npos)
            << resources.language << ": " << what;
        EXPECT_EQ(text.find(japanese ? L"KORVELIN" : L"ArmillonGPS"), std::wstring_view::npos)
            << resources.language << ": " << what;
    };
    const auto english = Table(kEnglish);
    for (const auto* resources : AllLanguages()) {
        for (const auto& [id, text] : Table(*resources)) {
            check(*resources, english.at(id), text, "string " + std::to_string(id));
        }
        check(*resources, L"KORVELIN", resources->usage, "usage");
        for (std::size_t d = 0; d < resources->dialogs.size(); ++d) {
            const auto& dialog = resources->dialogs[d];
            check(*resources, L"KORVELIN", dialog.caption, "caption");
            for (std::size_t i = 0; i < dialog.items.size(); ++i) {
                check(*resources, kEnglish.dialogs[d].items[i].text, dialog.items[i].text,
                      "dialog " + std::to_string(dialog.id) + " item " + std::to_string(i));
            }
        }
    }
}

TEST(StringTable, ButtonLabelsHelpAndNotesExistInEveryLanguage) {
    for (const auto* resources : AllLanguages()) {
        const auto& b = resources->buttons;
        for (auto label : {b.ok, b.retry, b.cancel, b.yes, b.no, resources->uninterruptibleNote}) {
            EXPECT_FALSE(label.empty()) << resources->language;
        }
        // Every option the command line takes, the help's own forms and the menu's included.
        for (const wchar_t* option :
             {L"/f ", L"/s:", L"/d:", L"/l:", L"/t ", L"/t-", L"--choose", L"-v,", L"--verbose",
              L"--log=FILE", L"-h,", L"--help", L"/?", L"--version"}) {
            EXPECT_NE(resources->usage.find(option), std::wstring_view::npos)
                << resources->language << " lacks " << option;
        }
    }
}

}  // namespace
