// The dialog templates of every language: the same controls as English, and a layout in
// which every text fits. Text extents are estimated from typical glyph widths of the
// dialog fonts in dialog units (a line is 8 units high); the estimate is rough but catches
// a translation that runs out of its control or controls that overlap.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ResourceIds.h"
#include "ResourceLookup.h"
#include "Resources.h"

namespace {

using namespace res;

constexpr double kLineHeight = 8.0;

bool IsWide(wchar_t c) {
    return c >= 0x2E80;
}  // CJK, kana and full-width forms

double GlyphWidth(wchar_t c) {
    if (IsWide(c)) {
        return 8.0;
    }
    if (c == L' ') {
        return 2.0;
    }
    if (std::wstring_view(L"iljtfrI.,:;!'|()[]/-").find(c) != std::wstring_view::npos) {
        return 2.5;
    }
    if (std::wstring_view(L"mwMWЖШЩЮмшщюж").find(c) != std::wstring_view::npos) {
        return 6.0;
    }
    const bool upper =
        (c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE) || (c >= 0x0400 && c <= 0x042F);
    return upper ? 4.8 : 3.8;
}

// Lines a left-aligned static text takes when wrapped into `width`: words break at spaces,
// and wide characters may break anywhere.
int WrappedLines(std::wstring_view text, double width) {
    int lines = 0;
    std::size_t start = 0;
    while (true) {
        const auto end = text.find(L'\n', start);
        const auto paragraph =
            text.substr(start, end == std::wstring_view::npos ? end : end - start);
        // Split into units that cannot be broken: a run of narrow non-space characters, or a
        // single wide character; remember the spaces before each.
        std::vector<std::pair<double, double>> units;  // (space before, width)
        double space = 0;
        double run = 0;
        for (wchar_t c : paragraph) {
            if (c == L' ' || IsWide(c)) {
                if (run > 0) {
                    units.emplace_back(space, run);
                    space = 0;
                    run = 0;
                }
                if (c == L' ') {
                    space += GlyphWidth(c);
                } else {
                    units.emplace_back(space, GlyphWidth(c));
                    space = 0;
                }
            } else {
                run += GlyphWidth(c);
            }
        }
        if (run > 0) {
            units.emplace_back(space, run);
        }
        int paragraphLines = 1;
        double used = 0;
        for (auto [before, w] : units) {
            if (used > 0 && used + before + w > width) {
                ++paragraphLines;
                used = 0;
            }
            used += (used > 0 ? before : 0) + w;
            while (used > width) {  // a unit wider than the line
                ++paragraphLines;
                used -= width;
            }
        }
        lines += paragraphLines;
        if (end == std::wstring_view::npos) {
            return lines;
        }
        start = end + 1;
    }
}

// The text a control shows once the dialog is filled: the version lines and the warning of
// the confirmation dialog come from the string table.
std::wstring ShownText(const DialogTemplate& dialog, const DialogItem& item) {
    const auto fill = [&](std::uint16_t id) {
        auto text = LoadString(id, dialog.language, dialog.language);
        text.replace(text.find(L"%5s"), 3, L"01.20");
        return text;
    };
    if (dialog.id == IDD_CONFIRM) {
        switch (item.id) {
            case IDC_CURRENT_VERSION:
                return fill(IDS_CURRENT_VERSION);
            case IDC_NEW_VERSION:
                return fill(IDS_NEW_VERSION);
            case IDC_WARNING:
                return LoadString(IDS_UPDATE_WARNING, dialog.language, dialog.language);
            default:
                break;
        }
    }
    return std::wstring(item.text);
}

TEST(DialogTemplate, EveryLanguageHasTheEnglishControls) {
    for (const auto* resources : AllLanguages()) {
        ASSERT_EQ(resources->dialogs.size(), kEnglish.dialogs.size());
        for (std::size_t d = 0; d < kEnglish.dialogs.size(); ++d) {
            const auto& english = kEnglish.dialogs[d];
            const auto& dialog = resources->dialogs[d];
            SCOPED_TRACE(testing::Message()
                         << "language " << resources->language << ", dialog " << dialog.id);
            EXPECT_EQ(dialog.id, english.id);
            EXPECT_EQ(dialog.language, resources->language);
            EXPECT_EQ(dialog.style, english.style);
            EXPECT_EQ(dialog.caption, LoadString(IDS_APP_CAPTION, dialog.language, 0));
            EXPECT_EQ(dialog.fontName,
                      resources->language == LANG_JAPANESE ? L"MS UI Gothic" : L"MS Shell Dlg");
            ASSERT_EQ(dialog.items.size(), english.items.size());
            for (std::size_t i = 0; i < english.items.size(); ++i) {
                EXPECT_EQ(dialog.items[i].id, english.items[i].id);
                EXPECT_EQ(dialog.items[i].controlClass, english.items[i].controlClass);
                EXPECT_EQ(dialog.items[i].style, english.items[i].style);
                EXPECT_EQ(dialog.items[i].x, english.items[i].x) << "only sizes and rows vary";
            }
        }
    }
}

TEST(DialogTemplate, EveryTextFitsItsControlAndNoControlsOverlap) {
    for (const auto* resources : AllLanguages()) {
        for (const auto& dialog : resources->dialogs) {
            SCOPED_TRACE(testing::Message()
                         << "language " << resources->language << ", dialog " << dialog.id);
            for (std::size_t i = 0; i < dialog.items.size(); ++i) {
                const auto& item = dialog.items[i];
                EXPECT_GE(item.x, 0);
                EXPECT_GE(item.y, 0);
                EXPECT_LE(item.x + item.cx, dialog.cx) << "item " << i;
                EXPECT_LE(item.y + item.cy, dialog.cy) << "item " << i;
                for (std::size_t j = i + 1; j < dialog.items.size(); ++j) {
                    const auto& other = dialog.items[j];
                    const bool apart = item.x + item.cx <= other.x ||
                                       other.x + other.cx <= item.x ||
                                       item.y + item.cy <= other.y || other.y + other.cy <= item.y;
                    EXPECT_TRUE(apart) << "items " << i << " and " << j << " overlap";
                }
                const auto text = ShownText(dialog, item);
                if (item.controlClass == ControlClass::Static) {
                    const int lines = WrappedLines(text, item.cx);
                    EXPECT_LE(lines * kLineHeight, item.cy + 1)
                        << "item " << i << " needs " << lines << " lines";
                } else if (item.controlClass == ControlClass::Button) {
                    EXPECT_EQ(WrappedLines(text, item.cx - 8), 1) << "item " << i;
                }
            }
        }
    }
}

}  // namespace
