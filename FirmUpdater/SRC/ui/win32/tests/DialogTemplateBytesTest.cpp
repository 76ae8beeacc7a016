#include "DialogTemplateBytes.h"

#include <gtest/gtest.h>

#include <string>

#include "ByteOrder.h"
#include "ResourceIds.h"
#include "ResourceLookup.h"

namespace {

using ui::DialogTemplateBytes;

// Reads an extended dialog template back, the way the dialog manager walks it.
struct Parsed {
    struct Item {
        std::uint32_t style;
        int x, y, cx, cy;
        std::uint32_t id;
        std::uint16_t classAtom = 0;
        std::u16string className;
        std::u16string text;
        std::size_t offset;
    };
    std::uint32_t exStyle, style;
    int cx, cy;
    std::u16string caption;
    std::uint16_t pointSize = 0, weight = 0;
    std::u16string font;
    std::vector<Item> items;
};

class Reader {
  public:
    explicit Reader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    std::uint16_t U16() {
        EXPECT_LE(pos_ + 2, bytes_.size());
        const auto v = common::LoadLE16(bytes_.data() + pos_);
        pos_ += 2;
        return v;
    }
    std::uint32_t U32() {
        EXPECT_LE(pos_ + 4, bytes_.size());
        const auto v = common::LoadLE32(bytes_.data() + pos_);
        pos_ += 4;
        return v;
    }
    int Short() { return static_cast<std::int16_t>(U16()); }
    std::u16string Text() {
        std::u16string text;
        while (pos_ + 2 <= bytes_.size()) {
            const auto unit = U16();
            if (unit == 0) {
                return text;
            }
            text += static_cast<char16_t>(unit);
        }
        ADD_FAILURE() << "text runs past the end";
        return text;
    }
    void Align() { pos_ = (pos_ + 3) & ~std::size_t{3}; }
    std::size_t Position() const { return pos_; }
    std::size_t Size() const { return bytes_.size(); }

  private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t pos_ = 0;
};

Parsed Parse(const std::vector<std::uint8_t>& bytes) {
    Reader r(bytes);
    Parsed p{};
    EXPECT_EQ(r.U16(), 1);
    EXPECT_EQ(r.U16(), 0xFFFF);
    EXPECT_EQ(r.U32(), 0u);
    p.exStyle = r.U32();
    p.style = r.U32();
    const int count = r.U16();
    EXPECT_EQ(r.Short(), 0);
    EXPECT_EQ(r.Short(), 0);
    p.cx = r.Short();
    p.cy = r.Short();
    EXPECT_EQ(r.U16(), 0);  // menu
    EXPECT_EQ(r.U16(), 0);  // class
    p.caption = r.Text();
    if ((p.style & ui::kDsSetFont) != 0) {
        p.pointSize = r.U16();
        p.weight = r.U16();
        EXPECT_EQ(r.U16(), 0x0100);  // not italic, default character set
        p.font = r.Text();
    }
    for (int i = 0; i < count; ++i) {
        r.Align();
        Parsed::Item item{};
        item.offset = r.Position();
        EXPECT_EQ(r.U32(), 0u);
        EXPECT_EQ(r.U32(), 0u);
        item.style = r.U32();
        item.x = r.Short();
        item.y = r.Short();
        item.cx = r.Short();
        item.cy = r.Short();
        item.id = r.U32();
        const auto first = r.U16();
        if (first == 0xFFFF) {
            item.classAtom = r.U16();
        } else {
            item.className = static_cast<char16_t>(first) + r.Text();
        }
        item.text = r.Text();
        EXPECT_EQ(r.U16(), 0);  // creation data
        p.items.push_back(item);
    }
    EXPECT_EQ(r.Position(), r.Size());
    return p;
}

std::u16string U16(std::wstring_view text) {
    const auto units = ui::Utf16z(text);
    return {units.begin(), units.end() - 1};
}

TEST(DialogTemplateBytesTest, EveryTemplateOfEveryLanguageReadsBackWhole) {
    for (const auto* resources : res::AllLanguages()) {
        for (const auto& dialog : resources->dialogs) {
            const auto name = std::to_string(dialog.id) + "/" + std::to_string(dialog.language);
            const Parsed p = Parse(DialogTemplateBytes(dialog, 0x8));
            EXPECT_EQ(p.exStyle, 0x8u) << name;
            EXPECT_EQ(p.style, dialog.style) << name;
            EXPECT_EQ(p.cx, dialog.cx) << name;
            EXPECT_EQ(p.cy, dialog.cy) << name;
            EXPECT_EQ(p.caption, U16(dialog.caption)) << name;
            EXPECT_EQ(p.pointSize, dialog.pointSize) << name;
            EXPECT_EQ(p.weight, dialog.fontWeight) << name;
            EXPECT_EQ(p.font, U16(dialog.fontName)) << name;
            ASSERT_EQ(p.items.size(), dialog.items.size()) << name;
            for (std::size_t i = 0; i < p.items.size(); ++i) {
                const auto& want = dialog.items[i];
                const auto& got = p.items[i];
                EXPECT_EQ(got.offset % 4, 0u) << name << " item " << i;
                EXPECT_EQ(got.style, want.style) << name << " item " << i;
                EXPECT_EQ(std::tie(got.x, got.y, got.cx, got.cy),
                          std::tie(want.x, want.y, want.cx, want.cy))
                    << name << " item " << i;
                EXPECT_EQ(static_cast<int>(got.id), want.id) << name << " item " << i;
                EXPECT_EQ(got.text, U16(want.text)) << name << " item " << i;
                switch (want.controlClass) {
                    case res::ControlClass::Button:
                        EXPECT_EQ(got.classAtom, ui::kButtonClassAtom);
                        break;
                    case res::ControlClass::Static:
                        EXPECT_EQ(got.classAtom, ui::kStaticClassAtom);
                        break;
                    case res::ControlClass::ProgressBar:
                        EXPECT_EQ(got.className, U16(ui::kProgressBarClass));
                        break;
                }
            }
        }
    }
}

TEST(DialogTemplateBytesTest, FrameWithoutFontOrControlsHasTheExactLayout) {
    const res::DialogTemplate frame{0, 0, L"Ab", 10, 20, 0x80C80080, L"", 0, 0, {}};
    const std::vector<std::uint8_t> expected = {
        1,    0, 0xFF, 0xFF, 0, 0, 0,  0,         // version, signature, help ID
        0x08, 0, 0,    0,                         // extended style
        0x80, 0, 0xC8, 0x80,                      // style
        0,    0, 0,    0,    0, 0, 10, 0, 20, 0,  // no items, x, y, cx, cy
        0,    0, 0,    0,                         // menu, class
        'A',  0, 'b',  0,    0, 0};               // caption
    EXPECT_EQ(DialogTemplateBytes(frame, 0x8), expected);
}

TEST(DialogTemplateBytesTest, TextsBeyondTheBasicPlaneBecomeSurrogatePairs) {
    EXPECT_EQ(ui::Utf16z(L"a\U0001F600"), (std::vector<std::uint16_t>{u'a', 0xD83D, 0xDE00, 0}));
    EXPECT_EQ(ui::Utf16z(L""), (std::vector<std::uint16_t>{0}));
}

}  // namespace
