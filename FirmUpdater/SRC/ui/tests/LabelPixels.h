#pragma once
// Whether a picture shows a button with its label, for the desktop tests' screenshots: the
// pixels of the button's face that differ from the face's most frequent colour. A face drawn
// without its label, or not drawn at all, is one colour.

#include <algorithm>
#include <cstdint>
#include <map>

namespace uitest {

// The face lies this far inside the button: clear of its border and of the focus rectangle,
// which a button draws without a label too.
inline constexpr int kFaceInset = 4;
// Pixels of another colour that make a label; text of any size has more.
inline constexpr int kLabelPixels = 4;

// `colourAt(x, y)` gives a pixel of the picture (`width` by `height`); the button's rectangle
// (right and bottom excluded) is clipped to it.
template <typename ColourAt>
bool ShowsLabel(int width, int height, int left, int top, int right, int bottom,
                ColourAt colourAt) {
    std::map<std::uint32_t, int> colours;
    for (int y = std::max(top + kFaceInset, 0); y < std::min(bottom - kFaceInset, height); ++y) {
        for (int x = std::max(left + kFaceInset, 0); x < std::min(right - kFaceInset, width); ++x) {
            ++colours[colourAt(x, y)];
        }
    }
    int total = 0;
    int most = 0;
    for (const auto& [colour, count] : colours) {
        total += count;
        most = std::max(most, count);
    }
    return total - most >= kLabelPixels;
}

}  // namespace uitest
