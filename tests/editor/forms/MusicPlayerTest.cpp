// The background music's player on the real Qt Multimedia player, with the
// test track the build makes.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QCoreApplication>

#include "editor/forms/MusicPlayer.h"
#include "platform/IniFile.h"
#include "platform/qt/MediaPlayer.h"
#include "support/TestPaths.h"
#include "support/qt/FakeMediaPlayer.h"

namespace {
fs::path Installation() { return BuildDir() / "Tressary"; }
}  // namespace

TEST(MusicPlayerTest, TheBuiltTestTrackOpensAndATextFileDoesNot) {
  ASSERT_TRUE(fs::exists(Installation() / "mp3ex.dat")) << "the build makes the test track with lame";
  TQtMusicPlayer player;
  EXPECT_TRUE(TestMp3Playback(player, Installation()));
  TempFolder dir;
  WriteTestFile(dir / "mp3ex.dat", "this is no MP3 at all");
  EXPECT_FALSE(TestMp3Playback(player, dir.Path()));
}

TEST(MusicPlayerTest, TheRealPlayerPlaysTheTrackToItsEnd) {
  if (!AudioOutputAvailable())
    GTEST_SKIP() << "no audio output on this machine: not checked that the real player plays the track aloud, "
                    "reports its end and pauses and resumes it (the opening of the track is checked above)";
  TQtMusicPlayer player;
  bool ended = false;
  player.OnTrackEnded = [&ended] { ended = true; };
  ASSERT_TRUE(player.PlayFile(Installation() / "mp3ex.dat"));
  QElapsedTimer clock;
  clock.start();
  while (!player.Playing() && clock.elapsed() < 3000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_TRUE(player.Playing());
  player.Pause();
  EXPECT_FALSE(player.Playing());
  player.Resume();
  while (!ended && clock.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_TRUE(ended);
}

// A track that opens but cannot be decoded fails only once the player reads
// it: the entry is then unavailable and the next track plays.
TEST(MusicPlayerTest, ALateFailureMarksTheTrackUnavailableAndMovesOn) {
  std::vector<TFakeMediaPlayer*> made;
  SetMediaPlayerFactory([&made] {
    auto player = std::make_unique<TFakeMediaPlayer>();
    made.push_back(player.get());
    return player;
  });
  TempFolder dir;
  WriteTestFile(dir / "broken.mp3", "no sound in here");
  WriteTestFile(dir / "good.mp3", "sound");
  bool playMusic = true;
  TQtMusicPlayer player([] { return true; });
  TBackgroundMusic music(player, playMusic);
  player.Drive(music);
  std::vector<std::string> changed;
  music.OnEntryChanged = [&](TMusicFileInfo& e) { changed.push_back(fs::path(e.FileName).filename().string()); };
  music.BuildPlayList(TIniFile::FromText("[MUSIC]\nFile1=$MUSICPATH$broken.mp3;1;\nFile2=$MUSICPATH$good.mp3;1;\n"),
                      dir.Path().string() + "/", false);
  ASSERT_EQ(made.size(), 1u);
  ASSERT_EQ(music.Current(), music.List()[0].get());
  EXPECT_TRUE(music.Current()->Available);  // nothing known yet

  made[0]->Fail();
  QCoreApplication::processEvents();
  EXPECT_FALSE(music.List()[0]->Available);
  EXPECT_FALSE(music.List()[0]->Selected);
  EXPECT_EQ(changed, std::vector<std::string>{"broken.mp3"});
  EXPECT_EQ(music.Current(), music.List()[1].get());
  EXPECT_EQ(made[0]->calls.back(), "play");
  EXPECT_EQ(made[0]->calls[made[0]->calls.size() - 2], "open:" + (dir / "good.mp3").string());

  // The last playable track fails too: the music stops.
  made[0]->Fail();
  QCoreApplication::processEvents();
  EXPECT_FALSE(playMusic);
  EXPECT_EQ(made[0]->calls.back(), "close");
  SetMediaPlayerFactory({});
}

// The real player opens a file that is no sound at all and reports it only
// once it has read it: the notice the music moves on from.
TEST(MusicPlayerTest, TheRealPlayerReportsAnUndecodableFileAfterOpeningIt) {
  SetMediaPlayerFactory({});
  TempFolder dir;
  WriteTestFile(dir / "noise.mp3", std::string(4096, 'x'));
  std::unique_ptr<IMediaPlayer> player = CreateMediaPlayer();
  int failures = 0;
  player->SetOnError([&failures] { ++failures; });
  ASSERT_TRUE(player->Open(dir / "noise.mp3"));
  player->Play();
  QElapsedTimer clock;
  clock.start();
  while (failures == 0 && clock.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(failures, 1);
  EXPECT_NE(player->Error(), 0);
}
