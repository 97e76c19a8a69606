#include "editor/LayerList.h"

#include <gtest/gtest.h>

#include "editor/ControlRules.h"
#include "support/FakeDeskOwner.h"

namespace {

constexpr TColor32 kRed = 0xFFFF0000u;
constexpr TColor32 kWhite = 0xFFFFFFFFu;
constexpr TColor32 kBlack = 0xFF000000u;

// The bounding box of the pixels whose alpha is not 0.
TRect OpaqueBox(const TBitmap32& bitmap) {
  TRect box{bitmap.Width(), bitmap.Height(), 0, 0};
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if (bitmap.Pixel(x, y) >> 24) {
        box.Left = std::min(box.Left, x);
        box.Top = std::min(box.Top, y);
        box.Right = std::max(box.Right, x + 1);
        box.Bottom = std::max(box.Bottom, y + 1);
      }
  return box;
}

TEST(LayerThumbnail, SmallPicturesKeepTheirSizeLargeOnesFitAndEmptyOnesStayBlank) {
  // 30 x 20 fits: own size, centred ((44 - 30) / 2 = 7, (44 - 20) / 2 = 12).
  EXPECT_EQ(OpaqueBox(LayerThumbnail(TBitmap32(30, 20, kRed))), (TRect{7, 12, 37, 32}));
  // 44 x 44 is still "smaller than 45": no stretch at all.
  EXPECT_EQ(OpaqueBox(LayerThumbnail(TBitmap32(44, 44, kRed))), (TRect{0, 0, 44, 44}));
  // 100 x 50 is fitted to 44 x 22, centred vertically.
  const TBitmap32 wide = LayerThumbnail(TBitmap32(100, 50, kRed));
  EXPECT_EQ(OpaqueBox(wide), (TRect{0, 11, 44, 33}));
  EXPECT_EQ(wide.Pixel(22, 22), kRed);
  const TBitmap32 tall = LayerThumbnail(TBitmap32(50, 100, kRed));
  EXPECT_EQ(OpaqueBox(tall), (TRect{11, 0, 33, 44}));
  const TBitmap32 blank = LayerThumbnail(TBitmap32());
  ASSERT_EQ(blank.Width(), 44);
  EXPECT_EQ(OpaqueBox(blank), (TRect{44, 44, 0, 0}));
  // 1000 x 1 fits to a height of 0.044: nothing is drawn, nothing divides by 0.
  EXPECT_EQ(OpaqueBox(LayerThumbnail(TBitmap32(1000, 1, kRed))), (TRect{44, 44, 0, 0}));
}

TEST(PortraitPreview, FitsKeepingTheAspectInsideAFrameAndIsWhiteWithoutAPicture) {
  // Quadrants: top-left red, top-right green, bottom-left blue, bottom-right black.
  TBitmap32 square(40, 40, 0);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      square.SetPixel(x, y, y < 20 ? (x < 20 ? kRed : 0xFF00FF00u) : (x < 20 ? 0xFF0000FFu : 0xFF101010u));
  // A square picture fills the height of a wide preview, centred: 60 x 60 at 20.
  const TBitmap32 preview = PortraitPreview(&square, 100, 60);
  EXPECT_EQ(PortraitPreviewPlace(40, 40, 100, 60), (TRect{20, 0, 80, 60}));
  EXPECT_EQ(preview.Pixel(10, 30), kWhite);   // left margin
  EXPECT_EQ(preview.Pixel(90, 30), kWhite);   // right margin
  EXPECT_EQ(preview.Pixel(30, 10), kRed);
  EXPECT_EQ(preview.Pixel(70, 10), 0xFF00FF00u);
  EXPECT_EQ(preview.Pixel(30, 50), 0xFF0000FFu);
  EXPECT_EQ(preview.Pixel(70, 50), 0xFF101010u);
  for (TPoint corner : {TPoint{0, 0}, TPoint{99, 0}, TPoint{0, 59}, TPoint{99, 59}, TPoint{50, 0}})
    EXPECT_EQ(preview.Pixel(corner.X, corner.Y), kBlack);
  // A wide picture fills the width; a half-transparent one shows opaque.
  TBitmap32 faint(80, 20, 0x40FF0000u);
  const TBitmap32 wide = PortraitPreview(&faint, 50, 50);
  EXPECT_EQ(PortraitPreviewPlace(80, 20, 50, 50), (TRect{0, 19, 50, 31}));  // 50 / 4 = 12.5 -> 12
  EXPECT_EQ(wide.Pixel(25, 25), kRed);
  EXPECT_EQ(wide.Pixel(25, 10), kWhite);
  // Aspects far off: never larger than the preview.
  const TRect thin = PortraitPreviewPlace(1, 1000, 30, 20);
  EXPECT_LE(thin.Height(), 20);
  EXPECT_GE(thin.Top, 0);
  const TBitmap32 empty = PortraitPreview(nullptr, 10, 10);
  EXPECT_EQ(empty.Pixel(5, 5), kWhite);
  EXPECT_EQ(empty.Pixel(0, 0), kWhite);  // no frame without a picture
  const TBitmap32 zero;
  EXPECT_EQ(PortraitPreview(&zero, 10, 10).Pixel(0, 0), kWhite);
}

class LayerListDrag : public ::testing::Test, public DeskFixture {
 protected:
  void SetUp() override {
    SetSmallDesk();
    for (const char* name : {"d", "c", "b", "a"}) Add(4, 4, kRed, 0, 0, 0, name);
  }
  std::string Order() {
    std::string out;
    for (int i = 0; i < desk.LayerCount(); ++i) out += desk.Layer(i).Caption;
    return out;
  }
  // Press on `from`, move 5 pixels down, drop on `to`: the list's drag.
  void Drag(int from, int to) {
    mouse.Press(from, {10, from * kLayerRowHeight + 10}, true);
    ASSERT_TRUE(mouse.Move({10, from * kLayerRowHeight + 15}, true, desk.LayerCount()));
    if (auto move = mouse.Drop(to)) desk.MoveLayer(move->first, move->second);
    mouse.EndDrag();
  }
  TLayerListMouse mouse;
};

TEST_F(LayerListDrag, DraggingARowMovesItsLayerLikeTheMoveButtons) {
  ASSERT_EQ(Order(), "abcd");
  Drag(2, 0);  // row 3 onto row 1
  EXPECT_EQ(Order(), "cabd");
  EXPECT_EQ(owner.changes.back(), ckStackOrder);
  Drag(0, 3);  // the top row onto the last one: as "move to bottom"
  EXPECT_EQ(Order(), "abdc");
  // A drop on its own row or off the rows changes nothing.
  const std::size_t changes = owner.changes.size();
  Drag(1, 1);
  Drag(1, -1);
  EXPECT_EQ(Order(), "abdc");
  EXPECT_EQ(owner.changes.size(), changes);
}

TEST_F(LayerListDrag, ShortClicksSelectOrOpenTheMenuAndLongOnesDoNothing) {
  int row = -9;
  mouse.Press(1, {10, 60}, true);
  EXPECT_FALSE(mouse.Move({12, 62}, true, 4));  // 2 pixels: not yet a drag
  EXPECT_EQ(mouse.Release({12, 62}, row), TListClick::Select);
  EXPECT_EQ(row, 1);
  EXPECT_EQ(mouse.PressedRow, -1);
  mouse.Press(2, {10, 110}, false);
  EXPECT_EQ(mouse.Release({10, 110}, row), TListClick::Menu);
  EXPECT_EQ(row, 2);
  // Below the last row there is no layer: no menu for row -1.
  mouse.Press(-1, {10, 230}, false);
  EXPECT_EQ(mouse.Release({10, 230}, row), TListClick::None);
  // Moved 3 pixels with the right button: neither a drag nor a click.
  mouse.Press(0, {10, 10}, false);
  EXPECT_FALSE(mouse.Move({10, 13}, false, 4));
  EXPECT_EQ(mouse.Release({10, 13}, row), TListClick::None);
  // A single row cannot be dragged anywhere.
  mouse.Press(0, {10, 10}, true);
  EXPECT_FALSE(mouse.Move({10, 30}, true, 1));
  // Auto-scroll in the top and bottom 20 pixels only.
  EXPECT_EQ(TLayerListMouse::ScrollDirection(19, 200), -1);
  EXPECT_EQ(TLayerListMouse::ScrollDirection(20, 200), 0);
  EXPECT_EQ(TLayerListMouse::ScrollDirection(180, 200), 1);
}

TEST_F(LayerListDrag, HideAndShowRoundTripAndTheButtonsFollow) {
  desk.SelectLayer(1);
  desk.ToggleLayerVisibility(1);
  EXPECT_FALSE(desk.Layer(1).Visible());
  TLayerButtonRules rules = LayerButtonRules(desk.LayerCount(), 1, desk.Layer(1).Visible());
  EXPECT_TRUE(rules.ShowShown && rules.HideShowEnabled && !rules.HideShown);
  desk.ToggleLayerVisibility(1);
  EXPECT_TRUE(desk.Layer(1).Visible());
  rules = LayerButtonRules(desk.LayerCount(), 1, true);
  EXPECT_TRUE(rules.HideShown && !rules.ShowShown);
  EXPECT_TRUE(rules.MoveTopEnabled && rules.MoveBottomEnabled && rules.DeleteEnabled);
  // The last row cannot go lower, the first not higher; no row: only a disabled show.
  EXPECT_FALSE(LayerButtonRules(4, 3, true).MoveBottomEnabled);
  EXPECT_FALSE(LayerButtonRules(4, 0, true).MoveTopEnabled);
  rules = LayerButtonRules(0, -1, false);
  EXPECT_TRUE(rules.ShowShown && !rules.HideShown && !rules.HideShowEnabled && !rules.DeleteEnabled &&
              !rules.MoveTopEnabled && !rules.MoveBottomEnabled);
}

}  // namespace
