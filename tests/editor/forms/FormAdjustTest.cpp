// The adjust window wired to its model: showing, the view, the mouse and OK.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include "editor/forms/FormAdjust.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/GraphicButton.h"
#include "support/FakeAdjustHost.h"
#include "support/TestPaths.h"

namespace {

class FormAdjustTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Skins are not installed here: their "cannot load" notes are recorded.
    SetMessagePresenter([this](TMessageBoxKind, const std::string& text) { notes_.push_back(text); });
  }
  void TearDown() override {
    form_.close();
    SetMessagePresenter({});
  }

  std::vector<std::string> notes_;
  FakeAdjustHost host_;
  TFormAdjust form_{host_};
};

TEST_F(FormAdjustTest, ShowingFitsThePictureAndShowingAgainTakesTheNewOne) {
  ShowFormAdjust({TBitmap32(1000, 500, Color32(200, 0, 0))});
  ASSERT_TRUE(form_.isVisible());
  const int w = form_.Model().ViewWidth(), h = form_.Model().ViewHeight();
  ASSERT_EQ(form_.ViewPicture().Width(), w);
  // Wider than the view: it fills the width, centred vertically on white.
  EXPECT_EQ(form_.ViewPicture().Pixel(w / 2 + 30, 2), Color32(255, 255, 255));
  EXPECT_EQ(form_.ViewPicture().Pixel(w / 2 + 30, h / 2 + 30), Color32(200, 0, 0));

  ShowFormAdjust({TBitmap32(10, 10, Color32(0, 0, 200))});
  EXPECT_EQ(form_.ViewPicture().Pixel(w / 2 + 30, h / 2 + 30), Color32(0, 0, 200));
}

TEST_F(FormAdjustTest, ClicksOnTheViewMoveTheEyeLines) {
  form_.ShowForPicture({TBitmap32(400, 400, Color32(90, 90, 90))});
  TAdjustModel& model = form_.Model();
  const int right = model.RightEyeX;
  QTest::mouseClick(form_.ResImage, Qt::LeftButton, {}, QPoint(right - 40, 100));
  EXPECT_EQ(model.LeftEyeX, right - 40);
  EXPECT_EQ(model.EyeLineY, 100);
  // The vertical shows inverted in the view.
  EXPECT_EQ(form_.ViewPicture().Pixel(right - 40, 300), Color32(165, 165, 165));
}

TEST_F(FormAdjustTest, HoveringTheFaceShowsTheProgramsEyeCursors) {
  ScreenCursors().Load((BuildDir() / "Tressary" / "").string());
  form_.ShowForPicture({TBitmap32(400, 400, Color32(90, 90, 90))});
  const TAdjustModel& model = form_.Model();
  const auto hover = [&](QPoint at) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), form_.ResImage->mapToGlobal(QPointF(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form_.ResImage, &move);
    return form_.ResImage->cursor();
  };
  const auto sameAs = [](const QCursor& shown, int number) {
    const QCursor listed = ProgramCursor(number);
    return shown.shape() == Qt::BitmapCursor && shown.hotSpot() == listed.hotSpot() &&
           shown.pixmap().toImage() == listed.pixmap().toImage();
  };
  EXPECT_TRUE(sameAs(hover({30, model.EyeLineY}), crEyeLines));
  EXPECT_TRUE(sameAs(hover({30, model.EyeLineY + 40}), crEye));
  EXPECT_EQ(hover({model.LeftEyeX, model.EyeLineY + 40}).shape(), Qt::SplitHCursor);
}

TEST_F(FormAdjustTest, KindButtonsSwitchTheModeAndOkHandsTheLayerToTheDesk) {
  // A picture with its own alpha hands that alpha on with the layer.
  form_.ShowForPicture({TBitmap32(300, 300, Color32(0, 120, 0)), true});
  form_.ButtonSourceKindClick(form_.ButtonBody);
  EXPECT_EQ(form_.Model().AdjustKind, kAdjustBody);
  EXPECT_TRUE(form_.ButtonBody->Pressed());
  EXPECT_FALSE(form_.ButtonFace->Pressed());
  form_.ButtonOKClick();
  EXPECT_EQ(host_.Asked, std::vector<std::string>{"ConfirmAdjustBody"});
  ASSERT_EQ(host_.Added, std::vector<TAdjustKind>{kAdjustBody});
  EXPECT_EQ(host_.LastPicture.Width(), form_.Model().ViewWidth());
  EXPECT_TRUE(host_.LastHasAlpha);
  EXPECT_NE(host_.points.Body, (TPoint{-1, -1}));
  EXPECT_FALSE(form_.isVisible());
}

TEST_F(FormAdjustTest, WithoutAPictureOrWithANoOkDoesNothing) {
  form_.ShowForPicture({});
  form_.ButtonOKClick();
  EXPECT_TRUE(host_.Asked.empty());
  form_.ShowForPicture({TBitmap32(20, 20, Color32(1, 2, 3))});
  host_.No = {"ConfirmAdjustFace"};
  form_.ButtonOKClick();
  EXPECT_TRUE(form_.isVisible());
  EXPECT_TRUE(host_.Added.empty());
  EXPECT_EQ(host_.points.Face, (TPoint{-1, -1}));
}

}  // namespace
