#include <gtest/gtest.h>

#include "support/FakeLayerHost.h"
#include "picture/BitmapRoutines.h"
#include "picture/Layer.h"
#include "support/PictureCompare.h"

namespace {

TBitmap32 Gradient(int w, int h) {
  TBitmap32 p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.SetPixel(x, y, Color32(std::uint8_t(x * 3), std::uint8_t(y * 5), 77));
  return p;
}

int CountRegion(const TMask& mask, int region) {
  int n = 0;
  for (std::uint8_t c : mask.GetMap().Bytes()) n += (c >> (region - 1)) & 1;
  return n;
}

}  // namespace

TEST(LayerCreate, TakesWhatItIsGiven) {
  FakeLayerHost host;
  TBitmap32 source(3, 2, Color32(1, 2, 3, 0));
  TLayer layer(host, source, {"Hair", false});
  EXPECT_EQ(layer.TypeId, -1);
  EXPECT_EQ(layer.Caption, "Hair");
  EXPECT_EQ(layer.Id, "10000000");
  EXPECT_TRUE(AlphaIs(layer.Picture, 255));
  EXPECT_TRUE(AlphaIs(TLayer(host, source).Picture, 0));  // its alpha kept
  EXPECT_EQ(layer.EditMode(), emCreated);
  EXPECT_TRUE(SamePicture(layer.BasePicture, layer.Picture));
  EXPECT_EQ(layer.Mask.MaxX(), 2);
  EXPECT_EQ(layer.Mask.MaxY(), 1);
  EXPECT_EQ(layer.RotationCenter, (TPoint{-1, -1}));
  EXPECT_EQ(layer.Width(), 3);
  EXPECT_TRUE(layer.Mask.FileName.empty());  // nothing is looked for in the current folder
}

TEST(LayerSetters, ReportTheirChangeCodesOnlyOnChange) {
  FakeLayerHost host;
  TLayer layer(host, Gradient(10, 10));
  layer.Render(host.desk);
  host.changes.clear();
  host.invalidated.clear();
  layer.SetVisible(true);
  layer.SetRed(50);
  layer.SetOpacity(100);
  EXPECT_TRUE(host.changes.empty());
  layer.SetVisible(false);
  layer.SetBlue(60);
  layer.SetOpacity(30);
  layer.SetLevel(4);
  EXPECT_EQ(host.changes, (std::vector<TChangeKind>{ckVisibility, ckPixels, ckPixels}));
  EXPECT_EQ(host.invalidated.size(), 3u);
  EXPECT_EQ(layer.Level(), 4);
  host.deskVisible = false;
  layer.SetHue(120);
  EXPECT_EQ(host.invalidated.size(), 3u);
}

TEST(LayerHistory, TheThirtyFirstPushDropsTheOldest) {
  FakeLayerHost host;
  TLayer layer(host, Gradient(4, 4));
  for (int i = 0; i < 31; ++i) {
    layer.Left = i;
    ASSERT_NE(layer.SaveUndo(lhkMove, false), nullptr);
  }
  ASSERT_EQ(layer.History().size(), 30u);
  EXPECT_EQ(layer.History().front()->Left, 1);
  EXPECT_EQ(layer.History().back()->Left, 30);
  EXPECT_EQ(host.Count(TLayerShown::History), 31);
}

TEST(LayerHistory, OnlyIfPendingMakesOneItemPerGesture) {
  FakeLayerHost host;
  TLayer layer(host, Gradient(8, 8));
  layer.Left = 5;
  EXPECT_EQ(layer.SaveUndo(lhkMove, true), nullptr);  // no gesture pending
  host.undoPending = true;  // press
  for (int i = 0; i < 6; ++i) layer.MoveBy(3, -1);
  EXPECT_EQ(layer.History().size(), 1u);
  EXPECT_EQ(layer.Left, 23);
  host.undoPending = true;  // a second gesture
  layer.MoveBy(1, 1);
  EXPECT_EQ(layer.History().size(), 2u);
  layer.Undo();
  layer.Undo();
  EXPECT_EQ(layer.Left, 5);
  EXPECT_EQ(layer.Top, 0);
  EXPECT_TRUE(layer.History().empty());
}

TEST(LayerHistory, PaintingKindsSaveThePictureAndAnEmptyRect) {
  FakeLayerHost host;
  TLayer layer(host, Gradient(6, 6));
  TLayerHistoryItem* item = layer.SaveUndo(lhkColorBrush, false);
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->Rect.IsEmpty());
  ASSERT_TRUE(item->Bitmap.has_value());
  EXPECT_TRUE(SamePicture(*item->Bitmap, layer.Picture));
  EXPECT_FALSE(layer.SaveUndo(lhkWarp, false)->Bitmap.has_value());
  EXPECT_FALSE(layer.SaveUndo(lhkMove, false)->Bitmap.has_value());
  EXPECT_EQ(layer.History().back()->Rect, (TRect{-1, -1, -1, -1}));
}

TEST(LayerHistory, UndoOfABrushStrokeRestoresItsRectangle) {
  FakeLayerHost host;
  TLayer layer(host, Gradient(6, 6));
  const TBitmap32 before = layer.Picture;
  TLayerHistoryItem* item = layer.SaveUndo(lhkColorBrush, false);
  // The tool paints and keeps only the touched part, relative to the layer.
  for (int y = 2; y < 4; ++y)
    for (int x = 1; x < 5; ++x) layer.Picture.SetPixel(x, y, Color32(255, 0, 255));
  item->Rect = {1, 2, 5, 4};
  TBitmap32 saved(4, 2);
  DrawBitmap(saved, -1, -2, *item->Bitmap);
  item->Bitmap = saved;
  layer.Undo();
  EXPECT_TRUE(SamePicture(layer.Picture, before));
  EXPECT_EQ(host.changes.back(), ckLayerUndo);
}

TEST(LayerHistory, UndoOfAMovePaintsBothPlaces) {
  FakeLayerHost host;
  TLayer layer(host, Gradient(20, 10));
  layer.Left = 100;
  layer.Top = 50;
  layer.Render(host.desk);
  host.undoPending = true;
  layer.MoveBy(30, 0);
  host.invalidated.clear();
  layer.Undo();
  EXPECT_EQ(layer.Left, 100);
  ASSERT_EQ(host.invalidated.size(), 1u);
  const TRect area = host.invalidated[0];
  EXPECT_LE(area.Left, 100);
  EXPECT_GE(area.Right, 150);
  EXPECT_LE(area.Top, 50);
  EXPECT_GE(area.Bottom, 60);
}

TEST(LayerHistory, UndoOfColourValuesOfTheLayerAndOfARegion) {
  FakeLayerHost host;
  TLayer layer(host, Gradient(4, 4));
  layer.SaveUndo(lhkColorValues, false);
  layer.SetRed(80);
  layer.Mask.SetRegionIndex(3);
  layer.SaveUndo(lhkColorValues, false);
  layer.Mask.SetRegionSaturation(3, 20);
  host.shown.clear();
  layer.Undo();
  EXPECT_EQ(layer.Mask.GetRegionSaturation(3), 100);
  EXPECT_EQ(host.Count(TLayerShown::Values), 1);
  EXPECT_EQ(layer.Red(), 80);
  layer.Undo();
  EXPECT_EQ(layer.Red(), 50);
}

TEST(LayerHistory, UndoOfAResetIsOneStep) {
  FakeLayerHost host;
  TLayer layer(host, Gradient(4, 4));
  layer.SaveUndo(lhkMove, false);  // an older, unrelated step
  layer.SetContrast(130);
  layer.SetColor(0x123456);
  layer.Mask.SetRegionRed(2, 70);
  layer.Mask.SetRegionOpacity(5, 20);
  layer.Mask.SetRegionIndex(5);
  layer.ResetAdjustments();
  EXPECT_EQ(layer.History().size(), 4u);  // the move, the layer and two regions
  EXPECT_TRUE(layer.Values().IsNeutral());
  EXPECT_TRUE(layer.Mask.RegionValues(2).IsNeutral());
  EXPECT_EQ(layer.Mask.GetRegionIndex(), 5);
  layer.Undo();
  EXPECT_EQ(layer.Contrast(), 130);
  EXPECT_EQ(layer.Color(), 0x123456);
  EXPECT_EQ(layer.Mask.GetRegionRed(2), 70);
  EXPECT_EQ(layer.Mask.GetRegionOpacity(5), 20);
  EXPECT_EQ(layer.History().size(), 1u);
  EXPECT_EQ(layer.History().back()->Kind, lhkMove);
}

TEST(LayerAngle, WrapsAndKeepsTheCentre) {
  FakeLayerHost host;
  TLayer layer(host, Gradient(120, 80));
  layer.Left = 200;
  layer.Top = 100;
  layer.SetAngle(370);
  EXPECT_EQ(layer.Angle(), 10);
  EXPECT_EQ(layer.EditMode(), emRotate);
  EXPECT_EQ(layer.RotationCenter, (TPoint{260, 140}));
  EXPECT_GT(layer.Width(), 120);
  EXPECT_EQ(layer.Left + layer.Width() / 2, 260);
  EXPECT_EQ(layer.Top + layer.Height() / 2, 140);
  EXPECT_EQ(host.changes.back(), ckLayerRotated);
  layer.SetAngle(-90);
  EXPECT_EQ(layer.Angle(), -90);
  EXPECT_EQ(layer.Width(), RotateBitmap(layer.BasePicture, 90, 60, 40).Width());
  layer.SetAngle(0);
  EXPECT_TRUE(SamePicture(layer.Picture, layer.BasePicture));
  EXPECT_EQ(layer.Left, 200);
  // Leaving the rotation makes the turned picture the new base and the angle 0.
  layer.SetAngle(45);
  layer.SetEditMode(emResize);
  EXPECT_EQ(layer.Angle(), 0);
  EXPECT_TRUE(SamePicture(layer.BasePicture, layer.Picture));
}

TEST(LayerAngle, UndoOfARotationGesture) {
  FakeLayerHost host;
  TLayer layer(host, Gradient(120, 80));
  const TBitmap32 original = layer.Picture;
  layer.SaveUndo(lhkRotate, false);
  layer.SetAngle(20);
  layer.SaveUndo(lhkRotate, false);
  layer.SetAngle(50);
  layer.Undo();
  EXPECT_EQ(layer.Angle(), 20);
  EXPECT_EQ(layer.EditMode(), emRotate);
  // Back to an angle of 0: the picture and its place as before the first turn.
  layer.Undo();
  EXPECT_EQ(layer.Angle(), 0);
  EXPECT_TRUE(SamePicture(layer.Picture, original));
  EXPECT_EQ(layer.Left, 0);
  EXPECT_EQ(layer.EditMode(), emCreated);
}

TEST(LayerMask, RegionsTurnWithThePicture) {
  FakeLayerHost host;
  TBitmap32 picture(140, 120, Color32(0, 0, 255));
  for (int y = 10; y < 40; ++y)
    for (int x = 90; x < 130; ++x) picture.SetPixel(x, y, Color32(255, 0, 0));
  TLayer layer(host, picture);
  layer.Mask.SetRegionIndex(4);
  layer.Mask.SetWorkRect({90, 10, 130, 40});
  layer.Mask.Apply(kMaskSetRect);
  layer.SetEditMode(emCreated);  // the regions were drawn on the base
  layer.SetAngle(35);
  ASSERT_EQ(layer.Mask.MaxX(), layer.Width() - 1);
  int red = 0, redInRegion = 0, inRegion = 0;
  for (int y = 0; y < layer.Height(); ++y)
    for (int x = 0; x < layer.Width(); ++x) {
      const TColor32 p = layer.Picture.Pixel(x, y);
      const bool isRed = AlphaOf(p) == 255 && RedOf(p) > 200 && BlueOf(p) < 50;
      const bool region = layer.Mask.PixelInRegion(y, x, 4);
      red += isRed;
      inRegion += region;
      redInRegion += isRed && region;
    }
  ASSERT_GT(red, 1000);
  EXPECT_GT(redInRegion, red * 95 / 100);
  EXPECT_GT(redInRegion, inRegion * 95 / 100);
}

TEST(LayerMask, ResizingResamplesFromTheBaseMap) {
  FakeLayerHost host;
  TLayer layer(host, Gradient(100, 60));
  layer.Mask.SetRegionIndex(1);
  layer.Mask.SetWorkRect({13, 7, 61, 33});
  layer.Mask.Apply(kMaskSetRect);
  layer.SetEditMode(emResize);
  const TMaskA original = layer.Mask.Map();
  for (auto [w, h] : {std::pair{17, 9}, std::pair{33, 71}, std::pair{100, 60}}) {
    layer.Picture.SetSize(w, h);
    StretchDrawAlpha(layer.Picture, {0, 0, w, h}, layer.BasePicture, true);
    layer.RebindMask();
  }
  EXPECT_EQ(layer.Mask.Map(), original);  // no loss through the small sizes
  // Regions edited in the middle of the series are kept by the next resize.
  layer.Mask.SetRegionIndex(2);
  layer.Mask.SetWorkRect({0, 0, 10, 10});
  layer.Mask.Apply(kMaskSetRect);
  layer.Picture.SetSize(50, 30);
  layer.RebindMask();
  EXPECT_EQ(CountRegion(layer.Mask, 2), 25);
}

TEST(LayerMask, FlipUndoRestoresPictureAndRegions) {
  FakeLayerHost host;
  TLayer layer(host, Gradient(9, 5));
  layer.Mask.SetRegionIndex(1);
  layer.Mask.SetWorkRect({0, 0, 2, 5});
  layer.Mask.Apply(kMaskSetRect);
  const TBitmap32 picture = layer.Picture;
  const TMaskA map = layer.Mask.Map();
  layer.SaveUndo(lhkFlip, false);
  layer.FlipHorizontally();
  EXPECT_TRUE(layer.Mask.PixelInRegion(0, 8, 1));
  EXPECT_FALSE(layer.Mask.PixelInRegion(0, 0, 1));
  layer.Undo();
  EXPECT_TRUE(SamePicture(layer.Picture, picture));
  EXPECT_EQ(layer.Mask.Map(), map);
}

// A layer without regions holds no map through turns, resizes, flips and their
// undo, even when a region tool ran and drew nothing.
TEST(LayerMask, ALayerWithoutRegionsHoldsNoMapThroughItsEdits) {
  FakeLayerHost host;
  TLayer layer(host, Gradient(60, 40));
  auto held = [&layer] {
    return static_cast<const TMask&>(layer.Mask).GetMap().HasCells() || layer.BaseMask().HasCells();
  };
  layer.SaveUndo(lhkRotate, false);
  layer.SetAngle(30);
  layer.Mask.Apply(kMaskClearAll);  // the regions count as edited
  layer.SetAngle(50);
  EXPECT_EQ(layer.Mask.MaxX(), layer.Width() - 1);
  EXPECT_FALSE(held());
  layer.Undo();
  layer.SetEditMode(emResize);
  layer.Picture.SetSize(30, 20);
  layer.Mask.Apply(kMaskClearAll);
  layer.RebindMask();
  layer.FlipHorizontally();
  EXPECT_EQ(layer.Mask.MaxY(), 19);
  EXPECT_FALSE(held());
}

TEST(LayerMask, UndoOfAResizeRedrawsFromTheBase) {
  FakeLayerHost host;
  TLayer layer(host, Gradient(40, 30));
  host.undoPending = true;
  layer.SetEditMode(emResize);
  layer.SaveUndo(lhkResize, true);
  layer.Picture.SetSize(20, 15);
  layer.Left = 10;
  layer.RebindMask();
  layer.Undo();
  EXPECT_EQ(layer.Width(), 40);
  EXPECT_EQ(layer.Height(), 30);
  EXPECT_EQ(layer.Left, 0);
  EXPECT_EQ(layer.Mask.MaxX(), 39);
  TBitmap32 expected(40, 30);
  StretchDrawAlpha(expected, {0, 0, 40, 30}, layer.BasePicture, true);
  EXPECT_TRUE(SamePicture(layer.Picture, expected));
}

TEST(LayerKindLetter, FollowsTheTemplateType) {
  FakeLayerHost host;
  TLayer layer(host, Gradient(2, 2));
  EXPECT_EQ(layer.GetKindLetter("B"), "???");  // no type
  layer.TypeId = 0;
  EXPECT_EQ(layer.GetKindLetter("B"), "F");  // the portrait's own
  layer.TypeId = 3;
  EXPECT_EQ(layer.GetKindLetter("b"), "b");
  EXPECT_EQ(layer.GetKindLetter("X"), "F");
  EXPECT_EQ(layer.GetKindLetter(std::nullopt), "F");
}

TEST(LayerMaskChanged, ShowsTheSelectedLayerAgain) {
  FakeLayerHost host;
  TLayer layer(host, Gradient(2, 2));
  layer.Mask.SetRegionIndex(2);
  EXPECT_EQ(host.Count(TLayerShown::Selection), 0);  // not the selected layer
  host.selected = &layer;
  layer.Mask.SetRegionIndex(2);
  layer.Mask.SetRegionIndex(0);
  EXPECT_EQ(host.Count(TLayerShown::Selection), 2);
}

TEST(LayerHistory, WarpUndoRestoresPictureAndBaseCalibrationTheWholePicture) {
  FakeLayerHost host;
  TLayer layer(host, Gradient(8, 8));
  const TBitmap32 original = layer.Picture;
  TLayerHistoryItem* warp = layer.SaveUndo(lhkWarp, false);
  layer.SetEditMode(emWarp);
  warp->Rect = {2, 2, 4, 4};
  warp->Bitmap = TBitmap32(2, 2, Color32(3, 3, 3));  // the pixels before the stroke
  layer.Picture.Clear(Color32(9, 9, 9));
  layer.BasePicture.Clear(Color32(9, 9, 9));
  layer.Undo();
  EXPECT_EQ(layer.Picture.Pixel(2, 3), Color32(3, 3, 3));
  EXPECT_EQ(layer.Picture.Pixel(4, 4), Color32(9, 9, 9));
  EXPECT_EQ(layer.EditMode(), emCreated);  // back to the mode the item saved, with a new base
  EXPECT_TRUE(SamePicture(layer.BasePicture, layer.Picture));

  layer.Picture = original;
  layer.SaveUndo(lhkCalibration, false);
  layer.Picture.Clear(0);
  layer.Undo();
  EXPECT_TRUE(SamePicture(layer.Picture, original));
  // An untouched stroke (empty rectangle) restores nothing.
  layer.SaveUndo(lhkEraser, false);
  layer.Picture.Clear(Color32(1, 1, 1));
  layer.Undo();
  EXPECT_EQ(layer.Picture.Pixel(0, 0), Color32(1, 1, 1));
}

TEST(LayerHistory, DeleteHistoryItemRemovesOnlyThatItem) {
  FakeLayerHost host;
  TLayer layer(host, Gradient(4, 4));
  TLayerHistoryItem* first = layer.SaveUndo(lhkMove, false);
  TLayerHistoryItem* second = layer.SaveUndo(lhkColorBrush, false);
  layer.DeleteHistoryItem(second);
  ASSERT_EQ(layer.History().size(), 1u);
  EXPECT_EQ(layer.History().front().get(), first);
  layer.DeleteHistoryItem(nullptr);
  EXPECT_EQ(layer.History().size(), 1u);
  layer.Undo();
  layer.Undo();  // an empty history does nothing
  EXPECT_TRUE(layer.History().empty());
}

TEST(LayerSize, WritesBelowZeroAreIgnored) {
  FakeLayerHost host;
  TLayer layer(host, Gradient(4, 3));
  layer.SetWidth(-1);
  layer.SetHeight(-5);
  EXPECT_EQ(layer.Width(), 4);
  EXPECT_EQ(layer.Height(), 3);
  layer.SetWidth(9);
  EXPECT_EQ(layer.Width(), 9);
  EXPECT_EQ(layer.Height(), 3);
  layer.Picture.Reset();
  EXPECT_EQ(layer.Width(), -1);
  EXPECT_EQ(layer.Height(), -1);
}
