#include <gtest/gtest.h>

#include "support/FakeDeskOwner.h"

namespace {

constexpr TColor32 kWhite = 0xFFFFFFFF;
constexpr TColor32 kClearWhite = 0x00FFFFFF;
constexpr TColor32 kOrange = 0xFFC86400;  // R 200, G 100, B 0

class DeskComposite : public ::testing::Test, public DeskFixture {
 protected:
  void SetUp() override { SetSmallDesk(); }
  TColor32 Desk(int x, int y) { return desk.DeskBitmap().Pixel(x, y); }
  TColor32 Screen(int x, int y) { return desk.ScreenBitmap().Pixel(x, y); }
  TColor32 Export(int x, int y) { return desk.ExportBitmap().Pixel(x, y); }
  // Marks the cells of `rect` of the layer's map as members of `region`.
  static void MarkRegion(TLayer& layer, const TRect& rect, int region, std::uint8_t opacity) {
    TMaskA& map = layer.Mask.Map();
    for (int y = rect.Top; y < rect.Bottom; ++y)
      for (int x = rect.Left; x < rect.Right; ++x) map.At(x, y) |= std::uint8_t(1u << (region - 1));
    layer.Mask.SetRegionOpacity(region, opacity);
    layer.Mask.GetUsedRegions();
  }
};

// The desk is hidden until it has layers: its pictures wait for the first paint.
TEST_F(DeskComposite, ANewDeskHoldsNoPictureUntilItFirstPaints) {
  EXPECT_TRUE(desk.DeskBitmap().Empty());
  EXPECT_TRUE(desk.ScreenBitmap().Empty());
  desk.RefreshAll();
  EXPECT_EQ(Desk(1, 1), kWhite);
  EXPECT_EQ(Screen(1, 1), kWhite);
}

// Opacity 50 gives the factor (50 * 255) div 100 = 127 and, on an opaque pixel,
// the coverage (127 * 255) shr 8 = 126.
TEST_F(DeskComposite, HalfOpaqueLayerOverWhite) {
  TLayer& layer = Add(4, 4, kOrange, 2, 2);
  layer.SetOpacity(50);
  desk.RefreshAll();
  // Each channel (s * 126 + 255 * 129) shr 8; the desk keeps the coverage as alpha.
  EXPECT_EQ(Desk(3, 3), Color32(226, 177, 128, 126));
  EXPECT_EQ(Screen(3, 3), Color32(226, 177, 128, 255));
  EXPECT_EQ(Desk(1, 1), kWhite);
  desk.RenderExportBitmap();
  // Over transparent white the alpha becomes (126 * 255 + 0) shr 8.
  EXPECT_EQ(Export(1, 1), Color32(226, 177, 128, 125));
}

TEST_F(DeskComposite, ExportAlphaAccumulatesAndOpaquePixelsReplace) {
  Add(4, 4, 0xFF000000, 0, 0).SetOpacity(50);
  Add(2, 4, 0xFF000000, 0, 0).SetOpacity(50);
  Add(1, 1, 0xFF00FF00, 3, 3);
  desk.RenderExportBitmap();
  // Bottom: alpha 125, colour 128. Top over it: (126 * 255 + 125 * 129) shr 8 = 188,
  // colour (0 + 128 * 129) shr 8 = 64.
  EXPECT_EQ(Export(0, 0), Color32(64, 64, 64, 188));
  EXPECT_EQ(Export(2, 0), Color32(128, 128, 128, 125));
  EXPECT_EQ(Export(3, 3), 0xFF00FF00);
}

TEST_F(DeskComposite, TransparentPixelsLeaveTheGround) {
  TLayer& layer = Add(2, 1, 0x00123456, 0, 0);
  layer.Picture.SetPixel(1, 0, 0x01FF0000);  // alpha 1 at 50 % opacity becomes 0
  layer.SetOpacity(50);
  layer.Render(desk.DeskFrame());
  desk.RefreshAll();
  EXPECT_EQ(Desk(0, 0), kWhite);
  EXPECT_EQ(Desk(1, 0), kWhite);
}

TEST_F(DeskComposite, RegionWithOpacityZeroHidesItsPixelsWhateverTheLayerOpacity) {
  TLayer& layer = Add(4, 1, kOrange, 0, 0);
  MarkRegion(layer, {0, 0, 2, 1}, 1, 0);
  layer.SetOpacity(50);
  desk.RefreshAll();
  EXPECT_EQ(Desk(0, 0), kWhite);
  EXPECT_EQ(Desk(1, 0), kWhite);
  EXPECT_EQ(Desk(2, 0), Color32(226, 177, 128, 126));  // outside the region: the layer opacity
}

TEST_F(DeskComposite, RegionsCompoundAndReplaceTheLayerOpacity) {
  TLayer& layer = Add(4, 1, 0xFF000000, 0, 0);
  MarkRegion(layer, {0, 0, 2, 1}, 1, 50);
  MarkRegion(layer, {1, 0, 3, 1}, 2, 50);
  MarkRegion(layer, {3, 0, 4, 1}, 3, 100);  // an opaque region changes nothing
  layer.SetOpacity(20);
  desk.RefreshAll();
  // Region 1 alone: a = 126, channel (255 * 129) shr 8 = 128 (layer opacity not applied).
  EXPECT_EQ(Desk(0, 0), Color32(128, 128, 128, 126));
  // Regions 1 and 2: a = (127 * 126) shr 8 = 62, channel (255 * 193) shr 8 = 192.
  EXPECT_EQ(Desk(1, 0), Color32(192, 192, 192, 62));
  EXPECT_EQ(Desk(2, 0), Color32(128, 128, 128, 126));
  // Opacity 20: factor 51, a = (51 * 255) shr 8 = 50, channel (255 * 205) shr 8 = 204.
  EXPECT_EQ(Desk(3, 0), Color32(204, 204, 204, 50));
}

TEST_F(DeskComposite, RegionLookupFollowsTheDeskScale) {
  TestDeskGeometry().DeskScale = 2.0;
  TestDeskGeometry().DeskViewWidth = 80;
  TestDeskGeometry().DeskViewHeight = 60;
  TLayer& layer = Add(8, 8, 0xFF000000, 0, 0);
  MarkRegion(layer, {4, 0, 8, 8}, 1, 0);  // the right half vanishes
  layer.Render(desk.DeskFrame());
  ASSERT_EQ(layer.ViewRendering().Bitmap.Width(), 4);
  desk.RefreshAll();
  EXPECT_EQ(Desk(1, 1), 0xFF000000);
  EXPECT_EQ(Desk(2, 1), kWhite);
  EXPECT_EQ(Desk(3, 3), kWhite);
}

TEST_F(DeskComposite, HiddenLayersTakeNoPart) {
  Add(4, 4, kOrange, 0, 0);
  Add(4, 4, 0xFF0000FF, 0, 0).SetVisible(false);
  desk.RefreshAll();
  EXPECT_EQ(Desk(0, 0), kOrange);
}

TEST_F(DeskComposite, ExportCoversTheVisibleLayersWithinTheCanvas) {
  Add(10, 10, kOrange, 5, 5);
  Add(10, 10, 0xFF0000FF, 40, 40).SetVisible(false);
  Add(10, 10, 0xFF0000FF, 100, 10);   // wholly off the canvas to the right
  Add(10, 10, 0xFF0000FF, -30, -30);  // and off to the top left
  desk.RenderExportBitmap();
  EXPECT_EQ(desk.ExportBox(), (TRect{5, 5, 15, 15}));
  EXPECT_EQ(desk.ExportFrame().View, (TRect{5, 5, 15, 15}));
  EXPECT_EQ(desk.ExportBitmap().Width(), 10);
  EXPECT_EQ(Export(0, 0), kOrange);

  Add(10, 10, 0xFF00FF00, -5, 20);  // partly off the canvas: clipped
  desk.RenderExportBitmap();
  EXPECT_EQ(desk.ExportBox(), (TRect{0, 5, 15, 30}));
  EXPECT_EQ(Export(0, 15), 0xFF00FF00);   // canvas (0, 20): the left layer's pixel (5, 0)
  EXPECT_EQ(Export(14, 24), kClearWhite);  // outside every layer
  EXPECT_EQ(Export(9, 9), kOrange);
  for (int i = 0; i < desk.LayerCount(); ++i) {
    EXPECT_TRUE(desk.Layer(i).OutputRendering().Bitmap.Empty());
    EXPECT_EQ(desk.Layer(i).OutputRendering().State, rsNothing);
  }
}

TEST_F(DeskComposite, EmptyWorkExportsNothing) {
  desk.RenderExportBitmap();
  EXPECT_TRUE(desk.ExportBitmap().Empty());
  Add(4, 4, kOrange, 0, 0).SetVisible(false);
  desk.RenderExportBitmap();
  EXPECT_TRUE(desk.ExportBitmap().Empty());
  EXPECT_TRUE(desk.ExportBox().IsEmpty());
}

TEST_F(DeskComposite, SelectionFrameIsDrawnOnTheScreenOnly) {
  Add(10, 10, kOrange, 5, 5);
  desk.SelectLayer(0);
  const TColor32 dark = TMontageDesk::kFrameDark, light = TMontageDesk::kFrameLight;
  EXPECT_EQ(Screen(10, 14), dark);   // bottom edge
  EXPECT_EQ(Screen(14, 10), dark);   // right edge
  EXPECT_EQ(Screen(10, 5), light);   // top edge
  EXPECT_EQ(Screen(5, 10), light);   // left edge
  EXPECT_EQ(Screen(5, 14), light);   // the left edge is drawn last
  EXPECT_EQ(Screen(14, 5), light);   // the top edge after the right one
  EXPECT_EQ(Screen(14, 14), dark);
  EXPECT_EQ(Screen(10, 10), kOrange);
  EXPECT_EQ(Screen(4, 4), kWhite);
  EXPECT_EQ(Desk(10, 14), kOrange);
  desk.SelectLayer(-1);
  EXPECT_EQ(Screen(10, 14), kOrange);
  EXPECT_EQ(Screen(5, 10), kOrange);
}

TEST_F(DeskComposite, FrameEdgesOnTheWindowBorderAreLeftOut) {
  Add(40, 30, kOrange, 0, 0);  // exactly the window
  desk.SelectLayer(0);
  EXPECT_EQ(Screen(0, 10), kOrange);
  EXPECT_EQ(Screen(10, 0), kOrange);
  EXPECT_EQ(Screen(39, 10), kOrange);
  EXPECT_EQ(Screen(10, 29), kOrange);
  desk.ToolFlags().SelectionFrameShown = false;
  Add(4, 4, kOrange, 20, 10);
  desk.SelectLayer(0);
  EXPECT_EQ(Screen(20, 10), kOrange);
}

TEST_F(DeskComposite, ScrollCachePaintsTheDeskUntilDropped) {
  TLayer& layer = Add(4, 4, kOrange, 10, 10);
  Add(2, 2, 0xFF0000FF, 20, 12);
  desk.RebuildViewBitmap();
  ASSERT_EQ(desk.ViewBitmap().Width(), 12);
  EXPECT_EQ(desk.ViewBitmap().Height(), 4);
  EXPECT_EQ(desk.ViewOrigin, (TPoint{10, 10}));
  EXPECT_EQ(desk.ViewCanvasOrigin, (TPoint{10, 10}));
  EXPECT_EQ(desk.ViewBitmap().Pixel(0, 0), kOrange);
  EXPECT_EQ(desk.ViewBitmap().Pixel(5, 0), kWhite);
  // A change the cache does not know of: painting still shows the cache.
  layer.Picture.Clear(0xFF00FF00);
  layer.Render(desk.DeskFrame());
  desk.PaintRect({0, 0, 40, 30});
  EXPECT_EQ(Screen(10, 10), kOrange);
  // The cache moves with its origin; outside it the desk is white.
  desk.ViewOrigin = {0, 10};
  desk.PaintRect({0, 0, 40, 30});
  EXPECT_EQ(Screen(0, 10), kOrange);
  EXPECT_EQ(Screen(10, 12), 0xFF0000FF);
  EXPECT_EQ(Screen(30, 20), kWhite);
  desk.DropViewBitmap();
  desk.PaintRect({0, 0, 40, 30});
  EXPECT_EQ(Screen(10, 10), 0xFF00FF00);
}

TEST_F(DeskComposite, ScrollCacheFollowsTheViewOrigin) {
  TestDeskGeometry().DeskScale = 2.0;
  TestDeskGeometry().DeskViewWidth = 80;
  TestDeskGeometry().DeskViewHeight = 60;
  Add(8, 8, kOrange, 10, 14);
  desk.RebuildViewBitmap();
  ASSERT_TRUE(desk.HasViewBitmap());
  EXPECT_EQ(desk.ViewOrigin, (TPoint{5, 7}));
  // The view scrolls to (4, 2): a whole layer at (10, 14) lands at (5 - 2, 7 - 1).
  desk.PlaceViewBitmap(4, 2);
  EXPECT_EQ(desk.ViewOrigin, (TPoint{3, 6}));
  desk.RepaintDesk();
  EXPECT_EQ(Screen(3, 6), kOrange);
  EXPECT_EQ(Screen(6, 9), kOrange);
  EXPECT_EQ(Screen(7, 10), kWhite);
  desk.ClearViewBitmap();
  EXPECT_FALSE(desk.HasViewBitmap());
}

TEST_F(DeskComposite, EveryStructuralChangeDropsTheScrollCache) {
  auto cached = [&] {
    desk.RebuildViewBitmap();
    return !desk.ViewBitmap().Empty();
  };
  Add(4, 4, kOrange, 0, 0);
  Add(4, 4, kOrange, 8, 0);
  ASSERT_TRUE(cached());
  Add(4, 4, kOrange, 16, 0);
  EXPECT_TRUE(desk.ViewBitmap().Empty()) << "insert";
  ASSERT_TRUE(cached());
  desk.MoveLayer(0, 2);
  EXPECT_TRUE(desk.ViewBitmap().Empty()) << "move";
  ASSERT_TRUE(cached());
  desk.ToggleLayerVisibility(1);
  EXPECT_TRUE(desk.ViewBitmap().Empty()) << "visibility";
  ASSERT_TRUE(cached());
  desk.DeleteLayer(0);
  EXPECT_TRUE(desk.ViewBitmap().Empty()) << "delete";
  desk.Layer(0).TypeId = 0;
  ASSERT_TRUE(cached());
  desk.DeleteLayersByKind("F", -1, false);
  EXPECT_TRUE(desk.ViewBitmap().Empty()) << "delete by kind";
  ASSERT_TRUE(cached());
  desk.ClearLayers();
  EXPECT_TRUE(desk.ViewBitmap().Empty()) << "clear";
  EXPECT_FALSE(cached()) << "nothing to cache";
}

TEST_F(DeskComposite, LayerChangesRepaintTheirArea) {
  TLayer& layer = Add(4, 4, kOrange, 2, 2);
  desk.RefreshAll();
  view.shown.clear();
  layer.SetRed(100);  // neutral is 50: red doubles
  EXPECT_FALSE(view.shown.empty());
  EXPECT_EQ(RedOf(Screen(3, 3)), 255);
  layer.MoveBy(10, 0);
  EXPECT_EQ(Screen(3, 3), kWhite);
  EXPECT_EQ(RedOf(Screen(13, 3)), 255);
}

}  // namespace
