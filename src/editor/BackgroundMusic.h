#pragma once
// The background music: the play list of the settings' "MUSIC" section, the
// track that plays, and what the main and settings windows do with them. The
// player is a port, so that the whole machine runs in tests without sound.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;
class TIniFile;
struct TContentFolders;

struct TMusicFileInfo {
  std::string FileName;   // the full path
  bool Available = true;  // false once the file was found missing or unplayable
  bool Selected = false;  // checked in the play list
  bool Playable() const { return Selected && Available; }
};
// Entries are owned here; the current track and the list items point at them.
using TMusicList = std::vector<std::unique_ptr<TMusicFileInfo>>;

// What the music needs of the platform's sound.
class IMusicPlayer {
 public:
  virtual ~IMusicPlayer() = default;
  // At least one audio output exists.
  virtual bool SoundDeviceAvailable() const = 0;
  // Stops what plays, opens `file` and plays it; false when it cannot be opened.
  virtual bool PlayFile(const fs::path& file) = 0;
  // Stops and closes.
  virtual void Stop() = 0;
  // Pause keeps the place, so that Resume goes on from it.
  virtual void Pause() = 0;
  virtual void Resume() = 0;
  virtual bool Playing() const = 0;
  // Whether `file` opens in the player (a bounded wait; nothing plays).
  virtual bool CanPlay(const fs::path& file) = 0;
};

// Whether MP3 files play: the test track `exeDir`/"mp3ex.dat" is copied as an
// ".mp3" into the run's private temporary folder and opened there, so the
// installation is never written to. False when it is missing or does not open.
bool TestMp3Playback(IMusicPlayer& player, const fs::path& exeDir);

// The folder "$MUSICPATH$" stands for: the installation folder + `musicDir` (the
// settings' MusicDir) when that folder exists, else the content's CDPath + `musicDir`.
std::string MusicFolder(const std::string& musicDir, const TContentFolders& content);
// The "MUSIC" entries of `ini`: every key beginning with "FILE" (any case) whose
// value is a path, ";", 1 or 0 (selected), ";". A leading "$MUSICPATH$" (any
// case) stands for `musicFolder`.
TMusicList ReadMusicList(const TIniFile& ini, std::string_view musicFolder);
// A path as stored: `musicFolder` at its start (any case) becomes "$MUSICPATH$".
std::string StoredMusicPath(std::string_view fileName, std::string_view musicFolder);
// The next selected, available entry after `current` (from the first for null),
// wrapping round to `current` itself; null when there is none.
TMusicFileInfo* GetNextMusicInfo(const TMusicList& list, const TMusicFileInfo* current);

class TBackgroundMusic {
 public:
  // `playMusic` is the program's switch (the settings' "PlayMusic"); both must
  // outlive the machine.
  TBackgroundMusic(IMusicPlayer& player, bool& playMusic) : player_(player), playMusic_(playMusic) {}

  TMusicList& List() { return list_; }
  TMusicFileInfo* Current() const { return current_; }
  void SetCurrent(TMusicFileInfo* entry) { current_ = entry; }
  bool Mp3Playable = false;
  // An entry became unavailable (the settings window updates its check box).
  std::function<void(TMusicFileInfo&)> OnEntryChanged;
  // Music went on or off (the hint sounds wait for it, the button shows it).
  std::function<void(bool on)> OnMusicSwitched;

  // When the main window shows: the list from the settings, then the first
  // playable track plays when music is on; music is off when none can.
  void BuildPlayList(const TIniFile& ini, std::string_view musicFolder, bool mp3Playable);
  // Plays the current track; a missing or unplayable file marks it unavailable
  // and unselected. Nothing without a device, music off or no current track.
  void StartMediaPlayer();
  // The current track ended: the next one that plays.
  void TrackEnded();
  // The current track opened but the player could not play it: it is marked
  // unavailable and the next one plays, or the music stops.
  void PlayFailed();
  // The application went to the background or came back: the music pauses and
  // goes on from the same place.
  void Deactivated();
  void Activated();

  // The settings window's play list and music switch.
  // Why music that was asked for does not play.
  enum class EMusicRefusal { None, NoSoundDevice, EmptyPlayList, NoTrackChecked, NotPlayable };
  // The music button: nothing without a device or tracks; otherwise music on
  // from `selected` (or the next playable after it), or off. Says why music that
  // was switched on is not playing.
  EMusicRefusal ToggleMusic(TMusicFileInfo* selected);
  void StartMusic();
  void StopMusic();
  void CheckChanged(TMusicFileInfo& entry, bool checked);
  void DoubleClicked(TMusicFileInfo& entry);
  // Removes the entry; the current track moves on first.
  void Delete(const TMusicFileInfo& entry);
  void Move(int from, int to);
  // Appends a file (Available, Selected); null when one of the same name, in any
  // folder, is listed already. `index` gets the entry's place either way.
  TMusicFileInfo* Add(const fs::path& file, int* index);
  int IndexOf(const TMusicFileInfo* entry) const;

 private:
  // The next playable entry after `from` plays, or the music stops.
  void MoveOnFrom(const TMusicFileInfo* from);
  void MarkUnavailable(TMusicFileInfo& entry);

  IMusicPlayer& player_;
  bool& playMusic_;
  TMusicList list_;
  TMusicFileInfo* current_ = nullptr;
  bool pausedPlaying_ = false;
};
