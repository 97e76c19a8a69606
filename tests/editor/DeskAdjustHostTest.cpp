// The adjust window's OK landing on a real desk.
#include "editor/DeskAdjustHost.h"

#include <gtest/gtest.h>

#include "support/FakeDeskOwner.h"

namespace {

class AdjustOnDesk : public ::testing::Test, public DeskFixture {
 protected:
  void SetUp() override {
    SetSmallDesk(40, 30, 60, 50);
  }
  // OK of the face kind on a 40 x 30 view of a grey 80 x 60 source.
  bool FaceOk() {
    TAdjustModel model(40, 30, desk.Points.HandMarkers);
    TAdjustController controller(model, nullptr, host);
    const TBitmap32 source(80, 60, Color32(90, 90, 90));
    controller.Show(source);
    return controller.Ok(source, false, TestDeskGeometry().DesktopTableWidth, TestDeskGeometry().DesktopTableHeight);
  }
  TDeskAdjustHost host{desk, owner};
};

TEST_F(AdjustOnDesk, OkPutsThePortraitLayerCentredOnTheCanvasAndSelectsIt) {
  ASSERT_TRUE(FaceOk());
  ASSERT_EQ(desk.LayerCount(), 1);
  const TLayer& portrait = desk.Layer(0);
  EXPECT_EQ(desk.PortraitLayer(), &portrait);
  EXPECT_EQ(desk.SelectedIndex(), 0);
  EXPECT_EQ(portrait.Caption, "Portrait");
  EXPECT_EQ(portrait.TypeId, -1);
  // A view-sized picture centred on the 60 x 50 canvas.
  EXPECT_EQ(portrait.Left, 10);
  EXPECT_EQ(portrait.Top, 10);
  EXPECT_NE(desk.Points.Face, (TPoint{-1, -1}));
  EXPECT_EQ(owner.questions.size(), 1u);  // only the kind's confirmation on an empty desk
}

TEST_F(AdjustOnDesk, ANoToClearingKeepsTheOldLayersAndANoToDeletingKeepsTheOldPortrait) {
  ASSERT_TRUE(FaceOk());
  TLayer* old = desk.PortraitLayer();
  // Yes to the face, no to clearing the work, no to deleting the old portrait.
  int asked = 0;
  owner.whileAsking = [&] { owner.answer = ++asked == 1 ? 6 : 7; };
  ASSERT_TRUE(FaceOk());
  EXPECT_EQ(owner.questions.size(), 4u);
  ASSERT_EQ(desk.LayerCount(), 2);
  EXPECT_NE(desk.PortraitLayer(), old);
  EXPECT_GE(desk.IndexOfLayer(old), 0);

  // Yes to everything: the work is cleared first.
  owner.whileAsking = nullptr;
  owner.answer = 6;
  ASSERT_TRUE(FaceOk());
  EXPECT_EQ(desk.LayerCount(), 1);
}

}  // namespace
