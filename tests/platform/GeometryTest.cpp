#include <gtest/gtest.h>

#include "platform/Geometry.h"

TEST(Geometry, RightAndBottomAreExclusive) {
  TRect r = Bounds(10, 20, 3, 2);
  EXPECT_EQ(r, (TRect{10, 20, 13, 22}));
  EXPECT_TRUE(r.Contains(12, 21));
  EXPECT_FALSE(r.Contains(13, 21));
  EXPECT_FALSE(r.Contains(12, 22));
  EXPECT_FALSE(r.Contains(9, 20));
  EXPECT_TRUE(Bounds(0, 0, 0, 5).IsEmpty());
  EXPECT_TRUE((TRect{5, 5, 4, 9}).IsEmpty());
}

TEST(Geometry, IntersectionAndUnion) {
  TRect a{0, 0, 10, 10}, b{5, -5, 20, 5};
  EXPECT_EQ(IntersectRects(a, b), (TRect{5, 0, 10, 5}));
  EXPECT_EQ(IntersectRects(a, TRect{10, 0, 20, 10}), TRect{});  // touching edges share no pixel
  EXPECT_EQ(UnionRects(a, b), (TRect{0, -5, 20, 10}));
  EXPECT_EQ(UnionRects(TRect{}, b), b);
  EXPECT_EQ(UnionRects(a, TRect{3, 3, 3, 9}), a);
}
