#include <gtest/gtest.h>

#include "editor/DeskViewGeometry.h"

namespace {
const TDeskSizes kDefault{445, 492, 890, 984};
}

TEST(DeskViewGeometryTest, TheLargestScaleFitsTheCanvasAndNeverExceedsIt) {
  EXPECT_EQ(MaxDeskScalePercent(kDefault), 200);
  // 1000 / 445 = 2.247: rounding to nearest would give 225 and a view of 1001.
  const TDeskSizes odd{445, 492, 1000, 984};
  const int max = MaxDeskScalePercent(odd);
  EXPECT_EQ(max, 200);  // the height limits it
  const TDeskSizes wide{445, 400, 1000, 1024};
  EXPECT_EQ(MaxDeskScalePercent(wide), 224);
  const TRect view = ScaledDeskView(wide, Bounds(0, 0, 445, 400), 2.24);
  EXPECT_LE(view.Width(), 1000);
  EXPECT_GE(view.Left, 0);
  EXPECT_EQ(MaxDeskScalePercent({0, 10, 100, 100}), 1);
  EXPECT_EQ(MaxDeskScalePercent({500, 500, 100, 100}), 20);
}

TEST(DeskViewGeometryTest, ZoomKeepsTheViewCentreInsideTheCanvas) {
  const TRect start = Bounds(223, 246, 445, 492);  // centred at scale 1
  const TRect out = ScaledDeskView(kDefault, start, 2.0);
  EXPECT_EQ(out, Bounds(0, 0, 890, 984));
  const TRect in = ScaledDeskView(kDefault, start, 0.5);
  EXPECT_EQ(in.Width(), 222);  // 222.5 rounds to even
  EXPECT_EQ(in.Height(), 246);
  EXPECT_EQ(in.Left, 223 + 112);  // 111.5 rounds to even
  EXPECT_EQ(in.Top, 246 + 123);
  // Near the right edge a zoom out is pushed back inside.
  const TRect edge = ScaledDeskView(kDefault, Bounds(445, 0, 445, 492), 1.5);
  EXPECT_EQ(edge.Right, 890);
  EXPECT_EQ(edge.Left, 890 - 668);
  // The same size keeps the same view.
  EXPECT_EQ(ScaledDeskView(kDefault, Bounds(10, 20, 445, 492), 1.0), Bounds(10, 20, 445, 492));
}

TEST(DeskViewGeometryTest, ScrollRangesStartAtZeroAndEndAtTheCanvasEdge) {
  const TRect view = Bounds(223, 246, 445, 492);
  const TSliderRange h = HorizontalScrollRange(kDefault, view);
  EXPECT_EQ(h.Min, 0);
  EXPECT_EQ(h.Max, 445);
  EXPECT_EQ(h.Value, 223);
  const TSliderRange v = VerticalScrollRange(kDefault, view);
  EXPECT_EQ(v.Max, 492);
  EXPECT_EQ(v.Value, 246);
  const TSliderRange whole = HorizontalScrollRange(kDefault, Bounds(0, 0, 890, 984));
  EXPECT_EQ(whole.Min, 0);
  EXPECT_EQ(whole.Max, 0);
  EXPECT_EQ(CentredViewOrigin(kDefault, Bounds(0, 0, 445, 491)), (TPoint{222, 246}));
}
