#include <gtest/gtest.h>

#include "shell/WindowPlacement.h"

namespace {
const TRect kScreen = Bounds(0, 0, 1024, 768);
}

TEST(WindowPlacement, BesideTheFrameWhereItFits) {
  EXPECT_EQ(PlaceBesideFrame({100, 50}, {550, 130}, 250, 400, kScreen), (TPoint{650, 180}));
  // Flush with the right and bottom edges is still whole.
  EXPECT_EQ(PlaceBesideFrame({224, 0}, {550, 368}, 250, 400, kScreen), (TPoint{774, 368}));
}

TEST(WindowPlacement, FrameAtAnEdgeKeepsTheWindowWholeOnTheScreen) {
  // Dragged right and down: the window comes back by what it would hang over.
  EXPECT_EQ(PlaceBesideFrame({600, 500}, {550, 130}, 250, 400, kScreen), (TPoint{774, 368}));
  // Dragged left and up past the screen's corner.
  EXPECT_EQ(PlaceBesideFrame({-700, -300}, {40, 30}, 250, 400, kScreen), (TPoint{0, 0}));
  // A screen that does not start at 0 (a second monitor, a panel at the top).
  EXPECT_EQ(PlaceBesideFrame({1000, 0}, {120, 10}, 300, 200, Bounds(1024, 24, 800, 600)), (TPoint{1120, 24}));
}

TEST(WindowPlacement, FrameOffTheScreenStillPlacesTheWindowOnIt) {
  EXPECT_EQ(PlaceBesideFrame({5000, 4000}, {120, 85}, 300, 200, kScreen), (TPoint{724, 568}));
  EXPECT_EQ(PlaceBesideFrame({-5000, 4000}, {120, 85}, 300, 200, kScreen), (TPoint{0, 568}));
}

TEST(WindowPlacement, WindowLargerThanTheScreenKeepsItsCaptionOnIt) {
  EXPECT_EQ(PlaceBesideFrame({300, 200}, {0, 0}, 1280, 1024, kScreen), (TPoint{0, 0}));
  // No screen known (none reported): where it was asked to go.
  EXPECT_EQ(PlaceBesideFrame({300, 200}, {10, 20}, 1280, 1024, TRect{}), (TPoint{310, 220}));
}
