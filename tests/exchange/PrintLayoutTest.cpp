#include <gtest/gtest.h>

#include "exchange/PrintLayout.h"

TEST(PrintLayout, PrintableAreaFromPaperAndMargins) {
  TPrintableArea a4 = PrintableArea(210, 297, 5, 10);
  EXPECT_EQ(a4.Width, 1995);
  EXPECT_EQ(a4.Height, 2673);
  TPrintableArea none = PrintableArea(210, 297, 0, 0);
  EXPECT_EQ(none.Width, 2100);
  EXPECT_EQ(none.Height, 2970);
  // The margins are shared by both sides: a picture as wide as the area sits in
  // the middle of the sheet.
  EXPECT_EQ(a4.Left, 52);
  EXPECT_EQ(a4.Top, 148);
  const TRect whole = PrintPlacement(1, 1, 400, 100, a4);
  EXPECT_EQ(whole.Left, 52);
  EXPECT_EQ(2100 - whole.Right, 53);
  const TRect right = PrintPlacement(4, 2, 100, 100, a4);
  EXPECT_EQ(right.Left, 52 + 1995 / 2);
}

TEST(PrintLayout, SlotsMapToPagePositions) {
  EXPECT_EQ(SlotToPosition(1, 1), 1);
  EXPECT_EQ(SlotToPosition(2, 2), 3);
  EXPECT_EQ(SlotToPosition(3, 2), 3);
  EXPECT_EQ(SlotToPosition(3, 3), 4);
  for (int s = 1; s <= 4; ++s) EXPECT_EQ(SlotToPosition(4, s), s);
  EXPECT_EQ(SlotToPosition(2, 3), 0);
  EXPECT_EQ(SlotToPosition(5, 1), 0);
  EXPECT_EQ(SlotToPosition(1, 0), 0);
}

TEST(PrintLayout, HitTestAtTheBoundaries) {
  const int W = 160, H = 230;  // halves 80 and 115
  EXPECT_EQ(HitTestPage(1, 159, 229, W, H).Slot, 1);
  EXPECT_EQ(HitTestPage(2, 0, 114, W, H).Slot, 1);
  EXPECT_EQ(HitTestPage(2, 0, 115, W, H).Slot, 2);
  EXPECT_EQ(HitTestPage(2, 0, 115, W, H).Rect, (TRect{0, 115, 160, 230}));
  EXPECT_EQ(HitTestPage(3, 81, 114, W, H).Slot, 1);
  EXPECT_EQ(HitTestPage(3, 80, 115, W, H).Slot, 2);
  EXPECT_EQ(HitTestPage(3, 81, 115, W, H).Slot, 3);
  EXPECT_EQ(HitTestPage(3, 81, 115, W, H).Rect, (TRect{80, 115, 160, 230}));
  // Layout 4 counts the middle row and column to the first half.
  EXPECT_EQ(HitTestPage(4, 80, 115, W, H).Slot, 1);
  EXPECT_EQ(HitTestPage(4, 81, 115, W, H).Slot, 2);
  EXPECT_EQ(HitTestPage(4, 80, 116, W, H).Slot, 3);
  EXPECT_EQ(HitTestPage(4, 81, 116, W, H).Slot, 4);
  EXPECT_EQ(HitTestPage(4, 81, 116, W, H).Rect, (TRect{80, 115, 160, 230}));
  EXPECT_EQ(HitTestPage(0, 1, 1, W, H).Slot, 0);
}

TEST(PrintLayout, PositionRectsFollowTheLayout) {
  EXPECT_EQ(PositionRect(1, 1, 160, 230), (TRect{0, 0, 160, 230}));
  EXPECT_EQ(PositionRect(2, 1, 160, 230), (TRect{0, 0, 160, 115}));
  EXPECT_EQ(PositionRect(3, 1, 160, 230), (TRect{0, 0, 160, 115}));
  EXPECT_EQ(PositionRect(2, 3, 160, 230), (TRect{0, 115, 160, 230}));
  EXPECT_EQ(PositionRect(3, 3, 160, 230), (TRect{0, 115, 80, 230}));
  EXPECT_EQ(PositionRect(4, 2, 160, 230), (TRect{80, 0, 160, 115}));
}

TEST(PrintLayout, PreviewFitKeepsAspectAndCentres) {
  // Landscape: full width, height rounded half to even (100 / 1.6 = 62.5 -> 62).
  EXPECT_EQ(FitPreview(160, 100, TRect{0, 0, 100, 100}), (TRect{0, 19, 100, 81}));
  // Portrait in a flat area: height first, then shrunk until it fits.
  EXPECT_EQ(FitPreview(50, 100, TRect{10, 10, 40, 30}), (TRect{20, 10, 30, 30}));
  // Too wide after rounding: both sides shrink by one until inside.
  TRect wide = FitPreview(300, 100, TRect{0, 0, 100, 20});
  EXPECT_LE(wide.Width(), 100);
  EXPECT_LE(wide.Height(), 20);
  EXPECT_EQ(wide.Width() - wide.Height(), 100 - 33);  // the shrink keeps the difference of the first guess
  // A picture that failed to load has no size: nothing to draw, no division by zero.
  EXPECT_TRUE(FitPreview(0, 0, TRect{0, 0, 10, 10}).IsEmpty());
  EXPECT_TRUE(FitPreview(10, 0, TRect{0, 0, 10, 10}).IsEmpty());
}

TEST(PrintLayout, PlacementTableRowsWithTiesToEven) {
  TPrintableArea a4{1995, 2673};
  // Whole page: printable width, height rounded (1496.25), centred vertically (1177 / 2 -> 588).
  EXPECT_EQ(PrintPlacement(1, 1, 400, 300, a4), Bounds(0, 588, 1995, 1496));
  // Top half: height PH/2, width rounded half to even (3 * 1335 / 2 = 2002.5 -> 2002).
  TPrintableArea wide{4000, 2670};
  EXPECT_EQ(PrintPlacement(2, 1, 3, 2, wide), Bounds(999, 0, 2002, 1335));
  EXPECT_EQ(PrintPlacement(3, 1, 3, 2, wide), Bounds(999, 0, 2002, 1335));
  // Bottom half of layout 2 starts at PH/2.
  EXPECT_EQ(PrintPlacement(2, 3, 3, 2, wide), Bounds(999, 1335, 2002, 1335));
  // Quarter 4: PW/2 wide, 9 * 1000 / 16 = 562.5 -> 562, band top PH/2 plus (1335 - 562) / 2 = 386.
  TPrintableArea q{2000, 2670};
  EXPECT_EQ(PrintPlacement(4, 4, 16, 9, q), Bounds(1000, 1335 + 386, 1000, 562));
  EXPECT_EQ(PrintPlacement(4, 1, 16, 9, q), Bounds(0, 386, 1000, 562));
  EXPECT_EQ(PrintPlacement(3, 3, 16, 9, q), Bounds(0, 1335 + 386, 1000, 562));
  EXPECT_TRUE(PrintPlacement(2, 2, 16, 9, q).IsEmpty());  // layout 2 has no position 2
  EXPECT_TRUE(PrintPlacement(1, 1, 0, 9, q).IsEmpty());
}

TEST(PrintLayout, PicturesLargerThanTheirAreaStayInside) {
  TPrintableArea a4{1995, 2673};
  // A very tall picture on a whole page is fitted to the height, centred across.
  EXPECT_EQ(PrintPlacement(1, 1, 100, 1000, a4), Bounds(864, 0, 267, 2673));
  // A wide picture in the bottom half is fitted to the width (199.5 -> 200).
  EXPECT_EQ(PrintPlacement(2, 3, 1000, 100, a4), Bounds(0, 1336 + 568, 1995, 200));
  // A tall picture in a quarter keeps inside its quarter.
  TRect tall = PrintPlacement(4, 2, 10, 100, a4);
  EXPECT_GE(tall.Left, 997);
  EXPECT_LE(tall.Right, 1994);
  EXPECT_EQ(tall.Top, 0);
  EXPECT_EQ(tall.Height(), 1336);
}

TEST(PrintLayout, DeviceRectAtCommonResolutions) {
  EXPECT_EQ(TenthsToDevice(1995, 300), 2356);  // 2356.29
  EXPECT_EQ(TenthsToDevice(1995, 600), 4713);  // 4712.60
  EXPECT_EQ(TenthsToDevice(1995, 1200), 9425);  // 9425.20
  EXPECT_EQ(TenthsToDevice(127, 1), 0);  // 0.5 goes to the even neighbour
  EXPECT_EQ(TenthsToDevice(381, 1), 2);  // 1.5 likewise
  EXPECT_EQ(PrintDeviceRect(10, 20, 254, 508, 300, 600), Bounds(10, 20, 300, 1200));
}

TEST(PrintLayout, StripsBreakBeforeOverflowingWithTheirGaps) {
  TPrintableArea page{1000, 1000};
  // 100 x 30 pixels at 1000 tenths wide: 300 tall, 80 between strips. Two fit
  // (0-300, 380-680); the third would end at 1060 and starts the next page.
  const TStripSize strip{100, 30};
  std::vector<TStripSize> strips(4, strip);
  auto places = PlaceStrips(strips, page);
  ASSERT_EQ(places.size(), 4u);
  EXPECT_EQ(places[1].Page, 0);
  EXPECT_EQ(places[1].Top, 380);
  EXPECT_EQ(places[2].Page, 1);
  EXPECT_EQ(places[2].Top, 0);
  EXPECT_EQ(places[3].Top, 380);
  // A strip that ends exactly at the bottom stays; the gap after it does not count.
  places = PlaceStrips(std::vector<TStripSize>{{100, 30}, {100, 62}}, page);
  EXPECT_EQ(places[1].Page, 0);
  EXPECT_EQ(places[1].Top + places[1].Height, 1000);
  // A strip taller than the page still gets a page of its own, never an empty one.
  places = PlaceStrips(std::vector<TStripSize>{{100, 200}, {100, 10}}, page);
  EXPECT_EQ(places[0].Page, 0);
  EXPECT_EQ(places[0].Height, 2000);
  EXPECT_EQ(places[1].Page, 1);
  EXPECT_EQ(places[1].Top, 0);
  // Heights round half to even: 1 x 1000 / 16 = 62.5.
  EXPECT_EQ(PlaceStrips(std::vector<TStripSize>{{16, 1}}, page)[0].Height, 62);
}
