#include "editor/forms/MusicPlayer.h"

#include <QTimer>

#include "platform/qt/MediaPlayer.h"

namespace {
// How long a file may take to open before it counts as unplayable.
constexpr int kLoadWaitMs = 3000;
}  // namespace

TQtMusicPlayer::TQtMusicPlayer(std::function<bool()> deviceCheck) : deviceCheck_(std::move(deviceCheck)) {}

TQtMusicPlayer::~TQtMusicPlayer() = default;

// Made on first use: most runs never play music.
IMediaPlayer& TQtMusicPlayer::Media() {
  if (!player_) {
    player_ = CreateMediaPlayer();
    player_->SetOnFinished([this] {
      if (OnTrackEnded) OnTrackEnded();
    });
    player_->SetOnError([this] {
      if (OnPlayFailed) OnPlayFailed();
    });
  }
  return *player_;
}

void TQtMusicPlayer::Drive(TBackgroundMusic& music) {
  // The notices come from inside the player: the next track starts after them.
  OnTrackEnded = [this, &music] { QTimer::singleShot(0, &context_, [&music] { music.TrackEnded(); }); };
  OnPlayFailed = [this, &music] { QTimer::singleShot(0, &context_, [&music] { music.PlayFailed(); }); };
}

bool TQtMusicPlayer::SoundDeviceAvailable() const { return deviceCheck_ ? deviceCheck_() : AudioOutputAvailable(); }

bool TQtMusicPlayer::PlayFile(const fs::path& file) {
  IMediaPlayer& player = Media();
  player.Stop();
  player.Close();
  if (!player.Open(file)) return false;
  player.Play();
  return player.Error() == 0;
}

void TQtMusicPlayer::Stop() {
  if (!player_) return;
  player_->Stop();
  player_->Close();
}

// Pause, never stop: stopping would rewind the track.
void TQtMusicPlayer::Pause() {
  if (player_) player_->Pause();
}

void TQtMusicPlayer::Resume() {
  if (player_) player_->Play();
}

bool TQtMusicPlayer::Playing() const { return player_ && player_->Mode() == TMediaMode::Playing; }

bool TQtMusicPlayer::CanPlay(const fs::path& file) {
  std::unique_ptr<IMediaPlayer> probe = CreateMediaPlayer();
  const bool plays = probe->Open(file) && probe->WaitUntilLoaded(kLoadWaitMs);
  probe->Close();
  return plays;
}
