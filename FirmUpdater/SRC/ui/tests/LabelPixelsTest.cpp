#include "LabelPixels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// A 40 by 20 picture of one colour with the given pixels of another.
struct Picture {
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(40 * 20, 0xF0F0F0);
    Picture& Ink(int x, int y) {
        pixels[static_cast<std::size_t>(y * 40 + x)] = 0x101010;
        return *this;
    }
    bool ShowsLabel(int left, int top, int right, int bottom) const {
        return uitest::ShowsLabel(40, 20, left, top, right, bottom,
                                  [this](int x, int y) { return pixels[y * 40 + x]; });
    }
};

TEST(LabelPixelsTest, AFaceShowsALabelOnlyWithEnoughInkInsideItsBorder) {
    const auto text = [] {
        Picture p;
        for (int x = 10; x < 16; ++x) {
            p.Ink(x, 10);
        }
        return p;
    };
    const struct {
        const char* what;
        Picture picture;
        int left, top, right, bottom;
        bool shows;
    } cases[] = {
        {"plain face", Picture{}, 0, 0, 40, 20, false},
        {"a label", text(), 0, 0, 40, 20, true},
        {"a border and focus frame only", Picture{}.Ink(0, 0).Ink(1, 5).Ink(3, 7).Ink(39, 19), 0, 0,
         40, 20, false},
        {"too few pixels for a label", Picture{}.Ink(10, 10).Ink(11, 10).Ink(12, 10), 0, 0, 40, 20,
         false},
        {"the button elsewhere", text(), 20, 0, 40, 20, false},
        {"a button reaching past the picture", text(), -10, -10, 60, 30, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.picture.ShowsLabel(c.left, c.top, c.right, c.bottom), c.shows) << c.what;
    }
}

}  // namespace
