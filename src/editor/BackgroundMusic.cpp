#include "editor/BackgroundMusic.h"

#include <algorithm>

#include "editor/MainShell.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "platform/Text.h"

namespace {

constexpr std::string_view kMusicPathMark = "$MUSICPATH$";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The length of `folder` at the start of `path`, comparing letters without case
// and both separators alike; 0 when the path does not start with it.
std::size_t FolderPrefix(std::string_view path, std::string_view folder) {
  if (folder.empty() || path.size() < folder.size()) return 0;
  for (std::size_t i = 0; i < folder.size(); ++i) {
    const char a = path[i], b = folder[i];
    if (IsSeparator(a) && IsSeparator(b)) continue;
    if (UpperAscii(std::string_view(&a, 1)) != UpperAscii(std::string_view(&b, 1))) return 0;
  }
  // A folder "Music" is no prefix of "Musical\x.mp3".
  if (!IsSeparator(folder.back()) && path.size() > folder.size() && !IsSeparator(path[folder.size()])) return 0;
  return folder.size();
}

std::string_view BaseName(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\/");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

}  // namespace

std::string MusicFolder(const std::string& musicDir, const TContentFolders& content) {
  std::error_code ec;
  if (fs::is_directory(DataFolderPath(musicDir), ec)) return InstallationFolder() + musicDir;
  return content.CDPath + musicDir;
}

TMusicList ReadMusicList(const TIniFile& ini, std::string_view musicFolder) {
  TMusicList list;
  for (const std::string& line : ini.ReadSectionValues("MUSIC")) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos || !StartsWithNoCase(Trim(line.substr(0, eq)), "FILE")) continue;
    const std::string value = Trim(line.substr(eq + 1));
    if (value.empty()) continue;
    std::string path = Field(value, 1);
    if (StartsWithNoCase(path, kMusicPathMark)) path = std::string(musicFolder) + path.substr(kMusicPathMark.size());
    auto entry = std::make_unique<TMusicFileInfo>();
    entry->FileName = std::move(path);
    entry->Selected = ParseInt(Field(value, 2)) == 1;
    list.push_back(std::move(entry));
  }
  return list;
}

std::string StoredMusicPath(std::string_view fileName, std::string_view musicFolder) {
  const std::size_t prefix = FolderPrefix(fileName, musicFolder);
  if (prefix == 0) return std::string(fileName);
  std::string_view rest = fileName.substr(prefix);
  if (!IsSeparator(musicFolder.back()) && !rest.empty()) rest.remove_prefix(1);
  return std::string(kMusicPathMark) + std::string(rest);
}

TMusicFileInfo* GetNextMusicInfo(const TMusicList& list, const TMusicFileInfo* current) {
  const auto at = std::find_if(list.begin(), list.end(), [current](const auto& e) { return e.get() == current; });
  const bool listed = current && at != list.end();
  for (auto it = listed ? at + 1 : list.begin(); it != list.end(); ++it)
    if ((*it)->Playable()) return it->get();
  if (!listed) return nullptr;
  for (auto it = list.begin(); it != at + 1; ++it)
    if ((*it)->Playable()) return it->get();
  return nullptr;
}

bool TestMp3Playback(IMusicPlayer& player, const fs::path& exeDir) {
  std::error_code ec;
  const fs::path track = exeDir / "mp3ex.dat";
  if (!fs::is_regular_file(track, ec)) return false;
  const fs::path probe = NewTempFilePath(".mp3");
  if (!fs::copy_file(track, probe, ec)) return false;
  const bool plays = player.CanPlay(probe);
  fs::remove(probe, ec);
  return plays;
}

void TBackgroundMusic::BuildPlayList(const TIniFile& ini, std::string_view musicFolder, bool mp3Playable) {
  list_ = ReadMusicList(ini, musicFolder);
  current_ = nullptr;
  Mp3Playable = mp3Playable;
  if (!playMusic_) return;
  do {
    current_ = GetNextMusicInfo(list_, nullptr);
    StartMediaPlayer();
  } while (current_ && !current_->Available);
  playMusic_ = current_ != nullptr;
}

void TBackgroundMusic::StartMediaPlayer() {
  if (!player_.SoundDeviceAvailable() || !playMusic_ || !current_ || list_.empty()) return;
  std::error_code ec;
  const fs::path file = ResolvePath(current_->FileName);
  if (!fs::is_regular_file(file, ec) || !player_.PlayFile(file)) MarkUnavailable(*current_);
}

void TBackgroundMusic::MarkUnavailable(TMusicFileInfo& entry) {
  entry.Available = false;
  entry.Selected = false;
  if (OnEntryChanged) OnEntryChanged(entry);
}

void TBackgroundMusic::TrackEnded() {
  if (list_.empty()) return;
  do {
    current_ = GetNextMusicInfo(list_, current_);
    StartMediaPlayer();
  } while (current_ && !current_->Available);
}

void TBackgroundMusic::PlayFailed() {
  if (!current_) return;
  TMusicFileInfo* failed = current_;
  MarkUnavailable(*failed);
  if (playMusic_) MoveOnFrom(failed);
}

void TBackgroundMusic::Deactivated() {
  if (!player_.SoundDeviceAvailable() || list_.empty()) return;
  pausedPlaying_ = player_.Playing();
  if (pausedPlaying_) player_.Pause();
}

void TBackgroundMusic::Activated() {
  if (!player_.SoundDeviceAvailable() || list_.empty()) return;
  if (pausedPlaying_ && !player_.Playing() && playMusic_) player_.Resume();
  pausedPlaying_ = false;
}

TBackgroundMusic::EMusicRefusal TBackgroundMusic::ToggleMusic(TMusicFileInfo* selected) {
  if (!player_.SoundDeviceAvailable()) return EMusicRefusal::NoSoundDevice;
  if (list_.empty()) return EMusicRefusal::EmptyPlayList;
  if (playMusic_) {
    StopMusic();
    return EMusicRefusal::None;
  }
  current_ = selected && selected->Playable() ? selected : GetNextMusicInfo(list_, selected);
  if (!current_) current_ = GetNextMusicInfo(list_, nullptr);
  if (!current_) {
    StopMusic();
    return EMusicRefusal::NoTrackChecked;
  }
  StartMusic();
  return playMusic_ ? EMusicRefusal::None : EMusicRefusal::NotPlayable;
}

void TBackgroundMusic::StartMusic() {
  playMusic_ = true;
  if (OnMusicSwitched) OnMusicSwitched(true);
  StartMediaPlayer();
  if (!current_ || !current_->Available) StopMusic();
}

void TBackgroundMusic::StopMusic() {
  player_.Stop();
  playMusic_ = false;
  if (OnMusicSwitched) OnMusicSwitched(false);
}

void TBackgroundMusic::MoveOnFrom(const TMusicFileInfo* from) {
  current_ = GetNextMusicInfo(list_, from);
  while (current_) {
    StartMediaPlayer();
    if (current_->Available) return;
    current_ = GetNextMusicInfo(list_, current_);
  }
  StopMusic();
}

void TBackgroundMusic::CheckChanged(TMusicFileInfo& entry, bool checked) {
  entry.Selected = checked;
  if (!playMusic_) return;
  if (checked && entry.Available && !player_.Playing()) {
    current_ = &entry;
    StartMediaPlayer();
  } else if (!checked && &entry == current_) {
    MoveOnFrom(&entry);
  }
}

void TBackgroundMusic::DoubleClicked(TMusicFileInfo& entry) {
  if (!playMusic_ || !entry.Playable()) return;
  current_ = &entry;
  StartMediaPlayer();
}

void TBackgroundMusic::Delete(const TMusicFileInfo& entry) {
  const int index = IndexOf(&entry);
  if (index < 0) return;
  if (&entry == current_) {
    list_[std::size_t(index)]->Selected = false;
    if (playMusic_)
      MoveOnFrom(&entry);
    else
      current_ = nullptr;
  }
  list_.erase(list_.begin() + index);
  if (list_.empty() && playMusic_) StopMusic();
}

void TBackgroundMusic::Move(int from, int to) {
  const int n = int(list_.size());
  if (from < 0 || from >= n || to < 0 || to >= n || from == to) return;
  auto entry = std::move(list_[std::size_t(from)]);
  list_.erase(list_.begin() + from);
  list_.insert(list_.begin() + to, std::move(entry));
}

TMusicFileInfo* TBackgroundMusic::Add(const fs::path& file, int* index) {
  const std::string path = file.string();
  for (std::size_t i = 0; i < list_.size(); ++i)
    if (BaseName(list_[i]->FileName) == BaseName(path)) {
      if (index) *index = int(i);
      return nullptr;
    }
  auto entry = std::make_unique<TMusicFileInfo>();
  entry->FileName = path;
  entry->Selected = true;
  list_.push_back(std::move(entry));
  if (index) *index = int(list_.size()) - 1;
  return list_.back().get();
}

int TBackgroundMusic::IndexOf(const TMusicFileInfo* entry) const {
  for (std::size_t i = 0; i < list_.size(); ++i)
    if (list_[i].get() == entry) return int(i);
  return -1;
}
