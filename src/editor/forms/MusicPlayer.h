#pragma once
// The background music's player on the program's media player (Qt Multimedia,
// or the fake a test installs through SetMediaPlayerFactory).
#include <functional>
#include <memory>

#include <QObject>

#include "editor/BackgroundMusic.h"

class IMediaPlayer;

class TQtMusicPlayer : public IMusicPlayer {
 public:
  // `deviceCheck` tells whether an audio output exists (AudioOutputAvailable
  // when empty).
  explicit TQtMusicPlayer(std::function<bool()> deviceCheck = nullptr);
  ~TQtMusicPlayer() override;

  // The player, for the hint sounds that pause the music.
  IMediaPlayer& Media();
  // Called when a track played to its end, and when a track that opened
  // turned out unplayable later.
  std::function<void()> OnTrackEnded;
  std::function<void()> OnPlayFailed;
  // Hands both notices to `music`, each after the player's own call returned.
  void Drive(TBackgroundMusic& music);

  bool SoundDeviceAvailable() const override;
  bool PlayFile(const fs::path& file) override;
  void Stop() override;
  void Pause() override;
  void Resume() override;
  bool Playing() const override;
  bool CanPlay(const fs::path& file) override;

 private:
  std::unique_ptr<IMediaPlayer> player_;
  std::function<bool()> deviceCheck_;
  QObject context_;  // the queued notices die with the player
};
