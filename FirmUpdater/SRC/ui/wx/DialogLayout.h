#pragma once
// Places a dialog template's controls in pixels. Positions come from the template in
// dialog units; a text that needs more height than its control has in the desktop's font
// makes the control taller and moves whatever lies below it down by as much, the dialog
// growing with it, so that no text is cut off.

#include <vector>

namespace ui {

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct DialogLayout {
    std::vector<PixelRect> items;
    int clientHeight = 0;
};

// `neededHeights[i]`: the height control i needs, 0 when it needs no more than it has.
DialogLayout GrowToFit(DialogLayout layout, const std::vector<int>& neededHeights);

}  // namespace ui
