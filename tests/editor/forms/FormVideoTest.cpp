// The video players: the transport's state machine on a fake player, the file
// list's mask, and the generated sample clip played by the real Qt player.
#include "editor/forms/FormVideo.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QSlider>
#include <QTest>

#include "platform/ProgramFolders.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/forms/GraphicButton.h"
#include "support/TestPaths.h"
#include "support/qt/FakeMediaPlayer.h"

namespace {

class FormVideoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramFolders({});
    // No skins are installed here: only messages about the clips are kept.
    SetMessagePresenter([this](TMessageBoxKind, const std::string& text) {
      if (text.find(dir_.Path().string()) != std::string::npos) messages_.push_back(text);
    });
    SetMediaPlayerFactory([this] {
      auto player = std::make_unique<TFakeMediaPlayer>();
      player->openSucceeds = opens_;
      fake_ = player.get();
      ++made_;
      return player;
    });
    WriteTestFile(dir_ / "Clip.AVI", "frames");
  }
  void TearDown() override {
    SetMediaPlayerFactory({});
    SetMessagePresenter({});
    SetProgramFolders({});
  }
  // Play and Stop take turns: exactly one of them shows.
  static void ExpectOneOf(const TVideoWindow& form, bool playing, const char* when) {
    EXPECT_EQ(form.ButtonStop->isVisibleTo(&form), playing) << when;
    EXPECT_NE(form.ButtonPlay->isVisibleTo(&form), form.ButtonStop->isVisibleTo(&form)) << when;
  }

  TempFolder dir_;
  TFakeMediaPlayer* fake_ = nullptr;
  int made_ = 0;
  bool opens_ = true;
  std::vector<std::string> messages_;
};

TEST_F(FormVideoTest, TransportTakesTurnsStepsAndLoops) {
  TFormVideoClip form;
  form.ButtonMaximizeClick();  // nothing open: no full screen
  EXPECT_TRUE(form.isHidden());
  form.ButtonPlayClick();
  EXPECT_TRUE(fake_->calls.empty());

  fake_->length = 2000;
  ASSERT_TRUE(form.StartFile((dir_ / "Clip.AVI").string()));
  EXPECT_EQ(fake_->calls, (std::vector<std::string>{"open:" + (dir_ / "Clip.AVI").string(), "play"}));
  EXPECT_EQ(fake_->display, form.Panel);
  EXPECT_EQ(fake_->displayRect, QRect(0, 0, 320, 240));
  EXPECT_TRUE(form.Timer1->isActive());
  ExpectOneOf(form, true, "after start");

  form.ButtonPauseClick();
  ExpectOneOf(form, false, "paused");
  form.ButtonStepClick();
  EXPECT_EQ(fake_->position, 40);
  EXPECT_EQ(form.SliderPosition->value(), 40);  // at once, not at the next tick
  form.ButtonBackClick();
  form.ButtonBackClick();  // never before the start
  EXPECT_EQ(fake_->position, 0);
  EXPECT_EQ(form.SliderPosition->value(), 0);
  ExpectOneOf(form, false, "stepped while paused");

  form.ButtonPlayClick();
  ExpectOneOf(form, true, "playing again");
  fake_->position = 1200;
  form.Timer1Timer();
  EXPECT_EQ(form.SliderPosition->value(), 1200);
  // The user drags the slider: the player follows.
  form.SliderPosition->setValue(500);
  EXPECT_EQ(fake_->position, 500);

  // The end: the player stopped there; the clip starts over.
  fake_->position = 2000;
  fake_->calls.clear();
  fake_->Finish();
  EXPECT_EQ(fake_->calls, (std::vector<std::string>{"seek:0", "play"}));
  ExpectOneOf(form, true, "looped");

  form.ButtonStopClick();
  EXPECT_FALSE(form.Timer1->isActive());
  ExpectOneOf(form, false, "stopped");

  // Full screen and back: the display moves to the plain window and returns.
  QRect fullRect;
  form.show();
  form.OnFullScreenShown = [&](QWidget& full) {
    EXPECT_EQ(fake_->display, &full);
    EXPECT_TRUE(form.isHidden());
    fullRect = fake_->displayRect;
    QTest::keyClick(&full, Qt::Key_Space);
  };
  form.ButtonMaximizeClick();
  EXPECT_FALSE(fullRect.isEmpty());
  EXPECT_EQ(fake_->display, form.Panel);
  EXPECT_EQ(fake_->displayRect, QRect(0, 0, 320, 240));
  EXPECT_TRUE(form.isVisible());

  fake_->position = 300;  // the media is closed only once it has moved
  fake_->calls.clear();
  form.ButtonExitClick();
  EXPECT_EQ(fake_->calls, std::vector<std::string>{"close"});
  EXPECT_TRUE(form.isHidden());
}

TEST_F(FormVideoTest, MissingClipShowsNothingAndTheListKeepsItsMask) {
  PlayVideoClip((dir_ / "none.avi").string());  // a modal window here would never return
  EXPECT_EQ(made_, 0);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].find("none.avi"), std::string::npos);

  for (const char* name : {"b.mpeg", "C.Mp4", "d.txt", "e.mov", "f.mp3"}) WriteTestFile(dir_ / name, "x");
  TFormVideo form;
  form.SetFolder(dir_.Path(), "c.mp4");
  std::vector<std::string> listed;
  for (int i = 0; i < form.FileListBox->count(); ++i) listed.push_back(form.FileListBox->item(i)->text().toStdString());
  EXPECT_EQ(listed, (std::vector<std::string>{"b.mpeg", "C.Mp4", "Clip.AVI", "f.mp3"}));
  form.FileListBoxClick();
  EXPECT_EQ(fake_->calls.front(), "open:" + (dir_ / "C.Mp4").string());
}

// Neither player leaves the user without a word or with an empty window when a
// clip cannot be played, whether the player refuses it at once or later.
TEST_F(FormVideoTest, AClipThatWillNotPlayIsReportedInNoWindow) {
  opens_ = false;
  bool windowShown = false;
  auto closeAnyPlayer = [&windowShown] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<TVideoWindow*>(w) && w->isVisible()) {
        windowShown = true;
        w->close();
      }
  };
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, closeAnyPlayer);
  watch.start(10);
  const std::string clip = (dir_ / "Clip.AVI").string();
  PlayVideoClip(clip);
  ShowVideoFile(clip);
  ShowVideoFile((dir_ / "gone.avi").string());
  watch.stop();
  EXPECT_FALSE(windowShown);
  ASSERT_EQ(messages_.size(), 3u);
  EXPECT_NE(messages_[0].find(clip), std::string::npos);
  EXPECT_NE(messages_[1].find(clip), std::string::npos);
  EXPECT_NE(messages_[2].find("gone.avi"), std::string::npos);

  opens_ = true;
  messages_.clear();
  TFormVideoClip form;
  ASSERT_TRUE(form.StartFile(clip));
  fake_->Fail();
  QCoreApplication::processEvents();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].find(clip), std::string::npos);
  EXPECT_FALSE(form.Timer1->isActive());
  ExpectOneOf(form, false, "after the failure");
}

TEST(RealVideoPlayer, PlaysTheGeneratedClip) {
  SetMediaPlayerFactory({});
  const fs::path clip = BuildDir() / "Tressary" / "Catalog" / "Styling.avi";
  if (!fs::exists(clip)) GTEST_SKIP() << "no sample clip was made (gst-launch-1.0 missing): real playback unchecked";
  std::unique_ptr<IMediaPlayer> player = CreateMediaPlayer();
  QWidget panel;
  panel.resize(320, 240);
  ASSERT_TRUE(player->Open(clip));
  player->SetDisplay(&panel, QRect(0, 0, 320, 240));
  player->Play();
  QElapsedTimer clock;
  clock.start();
  while (player->Position() < 400 && player->Error() == 0 && clock.elapsed() < 10000) QTest::qWait(50);
  if (player->Error() != 0) GTEST_SKIP() << "no Motion-JPEG decoder here: real playback unchecked";
  EXPECT_GE(player->Position(), 400);
  // Fifty frames at 25 a second.
  EXPECT_NEAR(double(player->Length()), 2000.0, 100.0);
  EXPECT_EQ(player->FrameDuration(), 40);
  player->Close();
}

// Paused, a step shows the next frame, and full screen shows the still frame
// and leaves it on the panel when it closes.
TEST(RealVideoPlayer, PausedFrameStepsAndSurvivesFullScreen) {
  SetMediaPlayerFactory({});
  const fs::path clip = BuildDir() / "Tressary" / "Catalog" / "Styling.avi";
  if (!fs::exists(clip)) GTEST_SKIP() << "no sample clip was made (gst-launch-1.0 missing): real playback unchecked";
  SetMessagePresenter([](TMessageBoxKind, const std::string&) {});  // no skins installed here
  TFormVideoClip form;
  ASSERT_TRUE(form.StartFile(clip.string()));
  form.show();
  auto frame = [&] { return form.Panel->grab().toImage(); };
  auto blank = [](const QImage& image) {
    for (int y = 0; y < image.height(); y += 4)
      for (int x = 0; x < image.width(); x += 4)
        if (qGray(image.pixel(x, y)) > 40) return false;
    return true;
  };
  QElapsedTimer clock;
  clock.start();
  while (form.SliderPosition->value() < 400 && form.FileName().size() && clock.elapsed() < 10000) QTest::qWait(50);
  if (form.FileName().empty() || form.SliderPosition->value() < 400) {
    SetMessagePresenter({});
    GTEST_SKIP() << "no Motion-JPEG decoder here: real playback unchecked";
  }
  form.ButtonPauseClick();
  QTest::qWait(600);
  const QImage paused = frame();
  EXPECT_FALSE(blank(paused)) << "the paused frame is not drawn";
  form.ButtonStepClick();
  QTest::qWait(600);
  const QImage stepped = frame();
  EXPECT_TRUE(stepped != paused) << "the first step after pausing showed no new frame";

  QImage full;
  form.OnFullScreenShown = [&](QWidget& window) {
    QTest::qWait(300);
    full = window.grab().toImage();
    window.close();
  };
  form.ButtonMaximizeClick();
  EXPECT_FALSE(blank(full)) << "full screen while paused is black";
  QTest::qWait(300);
  EXPECT_TRUE(frame() == stepped) << "the frame is gone after full screen";
  SetMessagePresenter({});
}

}  // namespace
