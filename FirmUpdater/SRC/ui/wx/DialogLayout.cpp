#include "DialogLayout.h"

#include <algorithm>
#include <numeric>

namespace ui {

DialogLayout GrowToFit(DialogLayout layout, const std::vector<int>& neededHeights) {
    auto& items = layout.items;
    std::vector<std::size_t> order(items.size());
    std::iota(order.begin(), order.end(), 0);
    // Top to bottom, so that a control moved down by one above it grows from its new place.
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return items[a].y < items[b].y; });
    for (const std::size_t i : order) {
        const int needed = i < neededHeights.size() ? neededHeights[i] : 0;
        const int grow = needed - items[i].height;
        if (grow <= 0) {
            continue;
        }
        const int bottom = items[i].y + items[i].height;
        for (std::size_t j = 0; j < items.size(); ++j) {
            if (j != i && items[j].y >= bottom) {
                items[j].y += grow;
            }
        }
        items[i].height = needed;
        layout.clientHeight = std::max(layout.clientHeight + grow, items[i].y + needed);
    }
    return layout;
}

}  // namespace ui
