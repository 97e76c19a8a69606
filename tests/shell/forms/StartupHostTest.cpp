#include <gtest/gtest.h>

#include <QImage>
#include <functional>
#include <memory>
#include <QTimer>

#include "platform/qt/MediaPlayer.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormScreen.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/StartupHost.h"
#include "support/TestPaths.h"
#include "support/qt/FakeMediaPlayer.h"

namespace {
// Keeps what the player was asked after the video window destroyed it.
struct TRecordedPlayer : TFakeMediaPlayer {
  std::vector<std::string>* callSink = nullptr;
  QRect* rectSink = nullptr;
  // Runs from the event loop once the clip plays: a timer started before could
  // fire before the first paint starts it, and the clip would then play forever.
  std::function<void()> whenPlaying;
  void Play() override {
    TFakeMediaPlayer::Play();
    if (whenPlaying) QTimer::singleShot(0, whenPlaying);
  }
  ~TRecordedPlayer() override {
    *callSink = calls;
    *rectSink = displayRect;
  }
};

class StartupHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.ShowBackdrop();
  }
  void TearDown() override {
    SetMediaPlayerFactory(nullptr);
    ClearStandingForms();
    FormScreen->OnSkipIntro = nullptr;  // the backdrop outlives this host
  }
  TQtStartupHost host_;
  TempFolder dir_;
};
}  // namespace

TEST_F(StartupHostTest, BackdropIsBlackAndCoversTheScreen) {
  ASSERT_NE(FormScreen, nullptr);
  EXPECT_TRUE(FormScreen->isVisible());
  QImage shot = FormScreen->grab().toImage();
  EXPECT_EQ(shot.pixelColor(shot.width() / 2, shot.height() / 2), QColor(Qt::black));
  TDisplayInfo display = host_.Display();
  EXPECT_EQ(FormScreen->size(), QSize(display.Width, display.Height));
}

TEST_F(StartupHostTest, IntroPictureShowsCentredForItsIntervalOrUntilSkipped) {
  QImage picture(40, 30, QImage::Format_RGB32);
  picture.fill(Qt::red);
  ASSERT_TRUE(picture.save(QString::fromStdString((dir_ / "Splash.jpg").string()), "JPG"));
  TIntroEntry entry;
  entry.Type = TIntroEntry::Kind::Picture;
  entry.File = dir_ / "Splash.jpg";
  entry.IntervalMs = 30;
  QRect shownAt;
  QTimer::singleShot(5, [&] { shownAt = FormScreen->IntroImage->geometry(); });
  host_.ShowIntroPicture(entry);
  EXPECT_EQ(shownAt, QRect((FormScreen->width() - 40) / 2, (FormScreen->height() - 30) / 2, 40, 30));
  EXPECT_FALSE(FormScreen->IntroImage->isVisible());
  EXPECT_TRUE(FormScreen->IntroImage->Picture().Empty());
  EXPECT_FALSE(host_.IntroSkipped());
  entry.IntervalMs = 600000;  // only the click ends it
  QTimer::singleShot(5, [] { FormScreen->OnClick(); });
  host_.ShowIntroPicture(entry);
  EXPECT_TRUE(host_.IntroSkipped());
  entry.File = dir_ / "Broken.jpg";  // does not load: passed over at once
  host_.ShowIntroPicture(entry);
}

TEST_F(StartupHostTest, IntroVideoPlaysCentredUntilItEnds) {
  std::vector<std::string> calls;
  QRect rect;
  std::function<void(TRecordedPlayer&)> whenPlaying = [](TRecordedPlayer& player) { player.Finish(); };
  SetMediaPlayerFactory([&] {
    auto player = std::make_unique<TRecordedPlayer>();
    player->callSink = &calls;
    player->rectSink = &rect;
    TRecordedPlayer* raw = player.get();
    player->whenPlaying = [raw, &whenPlaying] { whenPlaying(*raw); };
    return player;
  });
  TIntroEntry entry;
  entry.File = dir_ / "Logo.avi";
  entry.VideoWidth = 200;
  entry.VideoHeight = 100;
  host_.PlayIntroVideo(entry);
  EXPECT_FALSE(host_.IntroSkipped());
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front(), "open:" + entry.File.string());
  EXPECT_NE(std::find(calls.begin(), calls.end(), "play"), calls.end());
  EXPECT_EQ(calls.back(), "close");
  EXPECT_EQ(rect.size(), QSize(200, 100));
  // A click on the backdrop stops the clip and skips the intro.
  whenPlaying = [](TRecordedPlayer&) { FormScreen->OnClick(); };
  host_.PlayIntroVideo(entry);
  EXPECT_TRUE(host_.IntroSkipped());
  EXPECT_NE(std::find(calls.begin(), calls.end(), "stop"), calls.end());
}

TEST_F(StartupHostTest, OnlyTheMainWindowIsMadeAtStartTheOthersOnceWhenFirstAskedForAndLinked) {
  std::vector<std::string> order;
  std::vector<std::unique_ptr<QWidget>> made;
  auto factory = [&](const char* name) {
    return [&order, &made, name]() -> QWidget* {
      order.push_back(name);
      made.push_back(std::make_unique<QWidget>());
      made.back()->setObjectName(name);
      return made.back().get();
    };
  };
  RegisterStandingForm("FormHelp", factory("FormHelp"));
  RegisterStandingForm("FormMain", factory("FormMain"));
  // Linked before it is made: the link waits for the window.
  LinkStandingForm("FormHelp", [&order](QWidget& help) { order.push_back("link " + help.objectName().toStdString()); });
  ShellHooks().AfterStandingWindows = [&order] { order.push_back("links"); };
  host_.CreateStandingWindows();
  ShellHooks().AfterStandingWindows = nullptr;
  EXPECT_EQ(order, (std::vector<std::string>{"FormMain", "links"}));
  ASSERT_EQ(made.size(), 1u);
  EXPECT_TRUE(made.front()->isVisible());
  EXPECT_TRUE(HasStandingForm("FormHelp"));
  EXPECT_FALSE(HasStandingForm("FormTips"));
  EXPECT_EQ(StandingForm("FormTips"), nullptr);

  QWidget* help = StandingForm("FormHelp");
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(StandingForm("FormHelp"), help);
  EXPECT_FALSE(help->isVisible());
  // Linked when made already: at once.
  LinkStandingForm("FormHelp", [&order](QWidget&) { order.push_back("late link"); });
  EXPECT_EQ(order, (std::vector<std::string>{"FormMain", "links", "FormHelp", "link FormHelp", "late link"}));
  // What checks every window makes the rest, each once.
  MakeStandingForms();
  EXPECT_EQ(made.size(), 2u);
}

TEST_F(StartupHostTest, AWindowMadeAfterTheMainWindowMovedTakesThePlaceItHadAtStart) {
  std::unique_ptr<QWidget> main, tips;
  RegisterStandingForm("FormMain", [&]() -> QWidget* {
    main = std::make_unique<QWidget>();
    main->setObjectName("FormMain");
    main->setGeometry(100, 80, 300, 200);
    return main.get();
  });
  // Placed from the main window, as most windows are.
  RegisterStandingForm("FormTips", [&]() -> QWidget* {
    tips = std::make_unique<QWidget>();
    tips->setObjectName("FormTips");
    tips->move(main->pos() + QPoint(488, 20));
    return tips.get();
  });
  host_.CreateStandingWindows();
  ASSERT_NE(main, nullptr);
  const QPoint start = main->pos();
  main->move(start + QPoint(150, 90));  // dragged by its caption
  ASSERT_NE(StandingForm("FormTips"), nullptr);
  EXPECT_EQ(tips->pos(), start + QPoint(488, 20));
}

TEST_F(StartupHostTest, AWindowWhoseMakingAsksForItselfIsMadeOnce) {
  int made = 0;
  QWidget* inner = reinterpret_cast<QWidget*>(1);
  RegisterStandingForm("FormHelp", [&]() -> QWidget* {
    ++made;
    inner = StandingForm("FormHelp");
    auto* form = new QWidget();
    form->setObjectName("FormHelp");
    return form;
  });
  std::unique_ptr<QWidget> help(StandingForm("FormHelp"));
  EXPECT_NE(help, nullptr);
  EXPECT_EQ(inner, nullptr);
  EXPECT_EQ(made, 1);
}
