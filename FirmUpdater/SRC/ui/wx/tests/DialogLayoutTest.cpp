#include "DialogLayout.h"

#include <gtest/gtest.h>

namespace {

using ui::DialogLayout;
using ui::GrowToFit;
using ui::PixelRect;

TEST(DialogLayout, ATallerTextMovesWhatLiesBelowItAndGrowsTheDialog) {
    // headline, version line, warning, and two buttons on one row below.
    const DialogLayout layout{{{10, 10, 200, 20},
                               {10, 40, 200, 20},
                               {10, 70, 300, 60},
                               {100, 140, 50, 20},
                               {160, 140, 50, 20}},
                              170};
    const auto grown = GrowToFit(layout, {0, 35, 90, 0, 0});
    EXPECT_EQ(grown.items[0], (PixelRect{10, 10, 200, 20}));
    EXPECT_EQ(grown.items[1], (PixelRect{10, 40, 200, 35}));
    EXPECT_EQ(grown.items[2], (PixelRect{10, 85, 300, 90}));
    EXPECT_EQ(grown.items[3], (PixelRect{100, 185, 50, 20}));
    EXPECT_EQ(grown.items[4], (PixelRect{160, 185, 50, 20}));
    EXPECT_EQ(grown.clientHeight, 215);
}

TEST(DialogLayout, TextsThatFitChangeNothing) {
    const DialogLayout layout{{{10, 10, 200, 20}, {10, 40, 200, 20}}, 100};
    const auto same = GrowToFit(layout, {20, 5});
    EXPECT_EQ(same.items, layout.items);
    EXPECT_EQ(same.clientHeight, 100);
}

TEST(DialogLayout, TheOrderOfTheItemsDoesNotMatterOnlyTheirPlace) {
    // The template lists the lower text first; the upper one still pushes it down.
    const DialogLayout layout{{{10, 70, 300, 20}, {10, 10, 200, 20}}, 100};
    const auto grown = GrowToFit(layout, {40, 30});
    EXPECT_EQ(grown.items[1], (PixelRect{10, 10, 200, 30}));
    EXPECT_EQ(grown.items[0], (PixelRect{10, 80, 300, 40}));
    EXPECT_EQ(grown.clientHeight, 130);
}

}  // namespace
