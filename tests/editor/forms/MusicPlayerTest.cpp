// The background music's player on the real Qt Multimedia player, with the
// test track the build makes.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QCoreApplication>

#include "editor/forms/MusicPlayer.h"
#include "platform/qt/MediaPlayer.h"
#include "support/TestPaths.h"

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
