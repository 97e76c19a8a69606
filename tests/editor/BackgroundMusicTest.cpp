#include "editor/BackgroundMusic.h"

#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "shell/MainSettings.h"
#include "support/TestPaths.h"

namespace {

// Plays nothing: records what it was asked, fails files named "bad*".
class FakeMusicPlayer : public IMusicPlayer {
 public:
  bool device = true;
  bool playing = false;
  std::vector<std::string> calls;
  std::vector<fs::path> probed;

  bool SoundDeviceAvailable() const override { return device; }
  bool PlayFile(const fs::path& file) override {
    if (file.filename().string().starts_with("bad")) return false;
    calls.push_back("play " + file.filename().string());
    playing = true;
    return true;
  }
  void Stop() override {
    calls.push_back("stop");
    playing = false;
  }
  void Pause() override {
    calls.push_back("pause");
    playing = false;
  }
  void Resume() override {
    calls.push_back("resume");
    playing = true;
  }
  bool Playing() const override { return playing; }
  bool CanPlay(const fs::path& file) override {
    probed.push_back(file);
    return fs::exists(file) && file.extension() == ".mp3";
  }
};

class BackgroundMusicTest : public ::testing::Test {
 protected:
  // Three tracks in the music folder; `selected` are "1" in their entries.
  TIniFile Settings(const std::string& selected, const std::string& extra = "") {
    std::string text = "[MUSIC]\r\nPlayMusic=YES\r\n";
    for (int i = 1; i <= 3; ++i) {
      WriteTestFile(dir / ("track" + std::to_string(i) + ".wav"), "RIFF");
      text += "File" + std::to_string(i) + "=$MUSICPATH$track" + std::to_string(i) + ".wav;" +
              (selected.find(char('0' + i)) != std::string::npos ? "1" : "0") + ";\r\n";
    }
    return TIniFile::FromText(text + extra);
  }
  std::string Folder() const { return dir.Path().string() + "/"; }

  TempFolder dir;
  FakeMusicPlayer player;
  bool playMusic = true;
  TBackgroundMusic music{player, playMusic};
};

}  // namespace

TEST_F(BackgroundMusicTest, TheEndOfTheLastSelectedTrackStartsTheFirstAgain) {
  music.BuildPlayList(Settings("13"), Folder(), false);
  ASSERT_EQ(music.List().size(), 3u);
  music.TrackEnded();
  music.TrackEnded();
  EXPECT_EQ(player.calls, (std::vector<std::string>{"play track1.wav", "play track3.wav", "play track1.wav"}));
  EXPECT_EQ(music.Current(), music.List()[0].get());
  EXPECT_TRUE(playMusic);
}

TEST_F(BackgroundMusicTest, AMissingOnlyTrackEndsWithTheMusicOff) {
  std::vector<std::string> changed;
  music.OnEntryChanged = [&](TMusicFileInfo& e) { changed.push_back(e.FileName); };
  const TIniFile ini = TIniFile::FromText("[MUSIC]\nfile7=$musicpath$gone.mp3;1;\nTrack1=" + Folder() +
                                          "track1.wav;1;\nFile8=" + Folder() + "bad.wav;x;\n");
  music.BuildPlayList(ini, Folder(), false);
  // "file7" counts whatever its case; "Track1" is no entry; "x" selects nothing.
  ASSERT_EQ(music.List().size(), 2u);
  EXPECT_EQ(music.List()[0]->FileName, Folder() + "gone.mp3");
  EXPECT_FALSE(music.List()[1]->Selected);
  EXPECT_FALSE(playMusic);
  EXPECT_EQ(music.Current(), nullptr);
  EXPECT_FALSE(music.List()[0]->Available);
  EXPECT_FALSE(music.List()[0]->Selected);
  EXPECT_EQ(changed, std::vector<std::string>{Folder() + "gone.mp3"});
  EXPECT_TRUE(player.calls.empty());
}

TEST_F(BackgroundMusicTest, TheApplicationInTheBackgroundPausesAndComesBackWhereItWas) {
  music.BuildPlayList(Settings("2"), Folder(), false);
  music.Deactivated();
  music.Activated();
  EXPECT_EQ(player.calls, (std::vector<std::string>{"play track2.wav", "pause", "resume"}));
  // Music that was not playing stays silent.
  player.playing = false;
  music.Deactivated();
  music.Activated();
  EXPECT_EQ(player.calls.back(), "resume");
  EXPECT_EQ(player.calls.size(), 3u);
}

TEST_F(BackgroundMusicTest, DeletingTheCurrentTrackMovesOnAndLeavesNothingDangling) {
  music.BuildPlayList(Settings("12"), Folder(), false);
  music.Delete(*music.List()[0]);
  EXPECT_EQ(player.calls.back(), "play track2.wav");
  ASSERT_EQ(music.Current(), music.List()[0].get());

  music.StopMusic();
  music.Delete(*music.Current());  // music off: the current entry simply goes
  EXPECT_EQ(music.Current(), nullptr);
  using enum TBackgroundMusic::EMusicRefusal;
  EXPECT_EQ(music.ToggleMusic(nullptr), NoTrackChecked);  // the one left is not selected
  EXPECT_FALSE(playMusic);
  music.CheckChanged(*music.List()[0], true);
  EXPECT_EQ(music.ToggleMusic(nullptr), None);
  EXPECT_TRUE(playMusic);
  EXPECT_EQ(player.calls.back(), "play track3.wav");
  music.Delete(*music.List()[0]);  // the list emptied: the music stops
  EXPECT_FALSE(playMusic);
  EXPECT_EQ(player.calls.back(), "stop");
  EXPECT_EQ(music.ToggleMusic(nullptr), EmptyPlayList);  // an empty list does nothing but say so
  EXPECT_FALSE(playMusic);
}

TEST_F(BackgroundMusicTest, MusicSwitchedOnThatCannotPlaySaysWhy) {
  using enum TBackgroundMusic::EMusicRefusal;
  music.BuildPlayList(Settings("1"), Folder(), false);
  music.StopMusic();
  fs::remove(dir / "track1.wav");  // the one checked track is gone
  EXPECT_EQ(music.ToggleMusic(nullptr), NotPlayable);
  EXPECT_FALSE(playMusic);
  player.device = false;
  EXPECT_EQ(music.ToggleMusic(nullptr), NoSoundDevice);
  EXPECT_FALSE(playMusic);
  player.device = true;
  music.CheckChanged(*music.List()[1], true);
  EXPECT_EQ(music.ToggleMusic(nullptr), None);
  EXPECT_EQ(music.ToggleMusic(nullptr), None);  // switched off again: nothing to explain
  EXPECT_FALSE(playMusic);
}

TEST_F(BackgroundMusicTest, UncheckingThePlayingTrackMovesOnAndAFileOfAListedNameIsNotAdded) {
  music.BuildPlayList(Settings("13"), Folder(), false);
  music.CheckChanged(*music.List()[0], false);
  EXPECT_EQ(player.calls.back(), "play track3.wav");
  int index = -1;
  EXPECT_EQ(music.Add(dir / "elsewhere" / "track2.wav", &index), nullptr);
  EXPECT_EQ(index, 1);
  TMusicFileInfo* added = music.Add(dir / "new.wav", &index);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(index, 3);
  EXPECT_TRUE(added->Selected);
  music.Move(3, 0);
  EXPECT_EQ(music.List()[0].get(), added);
}

TEST_F(BackgroundMusicTest, StoredPathsMarkTheMusicFolderOnlyAtTheStart) {
  EXPECT_EQ(StoredMusicPath("C:\\Prog\\MUSIC\\a.mp3", "c:\\prog\\Music\\"), "$MUSICPATH$a.mp3");
  EXPECT_EQ(StoredMusicPath("/opt/t/Music/sub/a.mp3", "/opt/t/Music\\"), "$MUSICPATH$sub/a.mp3");
  EXPECT_EQ(StoredMusicPath("/home/x/opt/t/Music/a.mp3", "/opt/t/Music/"), "/home/x/opt/t/Music/a.mp3");
  EXPECT_EQ(StoredMusicPath("/opt/t/Musical/a.mp3", "/opt/t/Music"), "/opt/t/Musical/a.mp3");
  const TMusicList list = ReadMusicList(TIniFile::FromText("[MUSIC]\nFile1=x$MUSICPATH$a.mp3;1;\n"), "/m/");
  EXPECT_EQ(list[0]->FileName, "x$MUSICPATH$a.mp3");
}

// "$MUSICPATH$" is the installation's music folder while there is one, else the
// disc copy's named by the content folders.
TEST_F(BackgroundMusicTest, TheMusicFolderIsTheInstallationsElseTheDiscCopys) {
  TContentFolders content;
  content.CDPath = "/media/cd/";
  SetProgramFolders(dir.Path());
  EXPECT_EQ(MusicFolder("Tunes\\", content), "/media/cd/Tunes\\");
  fs::create_directories(dir / "tunes");
  EXPECT_EQ(MusicFolder("Tunes\\", content), Folder() + "Tunes\\");
  SetProgramFolders({});
}

TEST_F(BackgroundMusicTest, TheMp3ProbeNeverTouchesTheProgramFolder) {
  EXPECT_FALSE(TestMp3Playback(player, dir.Path()));  // no test track
  WriteTestFile(dir / "mp3ex.dat", "ID3");
  EXPECT_TRUE(TestMp3Playback(player, dir.Path()));
  ASSERT_EQ(player.probed.size(), 1u);
  EXPECT_NE(player.probed[0].parent_path(), dir.Path());
  EXPECT_FALSE(fs::exists(player.probed[0]));  // the copy is gone again
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir.Path())) names.push_back(e.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"mp3ex.dat"});
}
