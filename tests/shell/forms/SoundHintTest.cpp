#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>

#include "shell/forms/SoundHint.h"
#include "support/TestPaths.h"
#include "support/qt/FakeMediaPlayer.h"

namespace {
class SoundHintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hint_.PathForWave = "/sounds";
    hint_.MyPlayer = &voice_;
    hint_.BgPlayer = &music_;
    music_.mode = TMediaMode::Playing;
  }
  TSoundHint hint_;
  TFakeMediaPlayer voice_, music_;
};
}  // namespace

TEST_F(SoundHintTest, HintWithoutDelimiterShowsWholeAndPlaysNothing) {
  hint_.ActivateHint(QPoint(100, 100), "Save the work");
  ASSERT_TRUE(hint_.HintWindow()->isVisible());
  EXPECT_EQ(hint_.HintWindow()->Caption(), "Save the work");
  EXPECT_TRUE(voice_.calls.empty());
  EXPECT_TRUE(music_.calls.empty());
  EXPECT_EQ(TSoundHint::Current(), &hint_);
}

TEST_F(SoundHintTest, SpokenHintPausesTheMusicAndResumesIt) {
  hint_.ActivateHint(QPoint(100, 100), "Save the work@save.wav");
  EXPECT_EQ(hint_.HintWindow()->Caption(), "Save the work");
  EXPECT_EQ(voice_.calls, (std::vector<std::string>{"open:/sounds/save.wav", "play"}));
  EXPECT_EQ(music_.calls, std::vector<std::string>{"pause"});
  voice_.Finish();
  EXPECT_EQ(music_.calls.back(), "play");
  // A second hint while one speaks stops the voice, not the music.
  music_.calls.clear();
  voice_.mode = TMediaMode::Playing;
  hint_.ActivateHint(QPoint(10, 10), "Open@open.wav");
  EXPECT_EQ(voice_.calls[2], "stop");
  EXPECT_TRUE(music_.calls.empty());
}

TEST_F(SoundHintTest, MissingWaveStillShowsTheTextAndTheMusicGoesOn) {
  voice_.openSucceeds = false;
  hint_.SoundAfter = true;
  hint_.ActivateHint(QPoint(100, 100), "Print@none.wav");
  EXPECT_TRUE(hint_.HintWindow()->isVisible());
  EXPECT_EQ(hint_.HintWindow()->Caption(), "Print");
  EXPECT_EQ(music_.calls, (std::vector<std::string>{"pause", "play"}));
  hint_.SoundEnabled = false;
  voice_.calls.clear();
  hint_.ActivateHint(QPoint(100, 100), "Print@print.wav");
  EXPECT_TRUE(voice_.calls.empty());
}

TEST_F(SoundHintTest, CoefficientAndBubbleSize) {
  hint_.SetCoefficient(0.5);
  EXPECT_EQ(hint_.Coefficient(), 1.0);
  QRect one = hint_.HintWindow()->CalcHintRect(300, "Some hint text@x.wav");
  hint_.SetCoefficient(2.0);
  QRect two = hint_.HintWindow()->CalcHintRect(300, "Some hint text");
  EXPECT_EQ(two.width(), one.width() * 2);
  EXPECT_EQ(two.height(), one.height() * 2);
  hint_.ActivateHint(QPoint(500, 300), "Some hint text");
  EXPECT_EQ(hint_.HintWindow()->Bubble().Width(), hint_.HintWindow()->width());
  // The centre of the bubble is the background colour.
  const TBitmap32& b = hint_.HintWindow()->Bubble();
  EXPECT_EQ(b.Pixel(b.Width() / 2, b.Height() / 2) & 0xFFFFFF, 0x4B9B9Bu);
}

// A hint set while the mouse is already over its widget opens the bubble; the
// same words set again at every mouse move (a slider's hint) do not open it
// again nor speak again, new words do.
TEST_F(SoundHintTest, AHintSetUnderTheMouseShowsOnceForTheSameWords) {
  hint_.Pause = 10;
  QWidget widget;
  widget.resize(50, 20);
  widget.show();
  QEvent enter(QEvent::Enter);
  QApplication::sendEvent(&widget, &enter);
  auto settle = [] {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 200) QApplication::processEvents(QEventLoop::AllEvents, 10);
  };
  widget.setToolTip("Size (40%)@size.wav");
  settle();
  ASSERT_TRUE(hint_.HintWindow()->isVisible());
  EXPECT_EQ(hint_.HintWindow()->Caption(), "Size (40%)");
  for (int i = 0; i < 3; ++i) widget.setToolTip("Size (40%)@size.wav");
  settle();
  EXPECT_EQ(voice_.calls, (std::vector<std::string>{"open:/sounds/size.wav", "play"}));
  widget.setToolTip("Size (45%)@size.wav");
  settle();
  EXPECT_EQ(hint_.HintWindow()->Caption(), "Size (45%)");
  widget.setToolTip("");
  settle();
  EXPECT_FALSE(hint_.HintWindow()->isVisible());
}
