#include <gtest/gtest.h>

#include "editor/MainDesign.h"

TEST(MainDesignTest, EveryControlLiesInsideItsContainer) {
  for (const TControlDesign& d : MainWindowDesign()) {
    TRect outer{0, 0, kMainWidth, kMainHeight};
    if (!d.Parent.empty()) {
      const TControlDesign* parent = FindMainDesign(d.Parent);
      ASSERT_NE(parent, nullptr) << d.Name;
      outer = {0, 0, parent->Width, parent->Height};
    }
    const TRect r = Bounds(d.Left, d.Top, d.Width, d.Height);
    EXPECT_EQ(IntersectRects(r, outer), r) << d.Name;
  }
}

TEST(MainDesignTest, SheetRowsFollowEachOtherAndFitTheSheet) {
  for (std::string_view sheet : {"ImageLayerModeButtons", "ImageLayerToolsButtons", "ImageSlidersLayer",
                                 "ImageSystemButtons", "ImageMainFormButtons"}) {
    const std::vector<TSheetPlace> rows = SheetLayout(sheet);
    ASSERT_FALSE(rows.empty()) << sheet;
    int next = 0;
    for (const TSheetPlace& row : rows) {
      EXPECT_EQ(row.Top, next) << row.Control->Name;
      next += row.Control->Height;
    }
    const TRect bounds = SheetBounds(sheet);
    EXPECT_EQ(bounds.Height(), next);
    for (const TSheetPlace& row : rows) {
      const TControlDesign& d = *row.Control;
      const int width = d.Kind == TDesignKind::Slider ? 2 * d.Width + 2 * ThumbSize(d).X : 4 * d.Width;
      EXPECT_LE(width, bounds.Width()) << d.Name;
    }
  }
  // A vertical slider's thumb runs along its height.
  EXPECT_EQ(ThumbSize(*FindMainDesign("SliderVPos")), (TPoint{14, kThumbSide}));
}
