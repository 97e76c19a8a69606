#include "exchange/DeskWorkPicture.h"

#include <gtest/gtest.h>

#include "support/FakeDeskOwner.h"
#include "support/TestPaths.h"

namespace {

class DeskWork : public ::testing::Test, public DeskFixture {
 protected:
  void SetUp() override { SetSmallDesk(); }
  TDeskWorkPicture work{desk};
};

TEST_F(DeskWork, HiddenLayersStillMakeAWorkButAnEmptyDeskDoesNot) {
  EXPECT_TRUE(work.WorkIsEmpty());
  Add(4, 4, Color32(1, 2, 3)).SetVisible(false);
  EXPECT_FALSE(work.WorkIsEmpty());
  // Nothing visible: no picture, which saving reports instead of writing.
  EXPECT_TRUE(work.TakeExportPicture().Empty());
  TempFolder dir;
  EXPECT_FALSE(SaveWorkPicture(work, dir / "w.png"));
  EXPECT_TRUE(fs::is_empty(dir.Path()));
}

TEST_F(DeskWork, TheExportPictureIsTakenOutOfTheDesksSlot) {
  Add(6, 5, Color32(200, 10, 10), 3, 2);
  Add(4, 4, Color32(10, 10, 200), 7, 4, 1);
  const TBitmap32 picture = work.TakeExportPicture();
  // The bounding box of the visible layers: (3, 2) to (11, 8).
  ASSERT_EQ(picture.Width(), 8);
  ASSERT_EQ(picture.Height(), 6);
  EXPECT_EQ(picture.Pixel(0, 0), Color32(200, 10, 10));
  EXPECT_EQ(picture.Pixel(7, 5), Color32(10, 10, 200));
  EXPECT_TRUE(desk.ExportBitmap().Empty());
}

}  // namespace
