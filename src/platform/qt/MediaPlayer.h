#pragma once
// The media player the program drives (intro videos, hint sounds, music, video
// clips): open a file, play, pause, stop, close, a mode and a completion notice.
// Behind an interface so that tests use a fake.
#include <QRect>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

class QWidget;

enum class TMediaMode { NotReady, Stopped, Playing, Paused, Open };

class IMediaPlayer {
 public:
  virtual ~IMediaPlayer() = default;
  // False when the file cannot be opened (the player stays not ready).
  virtual bool Open(const std::filesystem::path& file) = 0;
  virtual void Close() = 0;
  virtual void Play() = 0;
  virtual void Pause() = 0;
  virtual void Stop() = 0;
  virtual TMediaMode Mode() const = 0;
  // 0 when the last operation succeeded.
  virtual int Error() const = 0;
  // Where playing is and how long the file lasts, in milliseconds (0 while
  // unknown); Seek moves there; a frame's duration steps a video one frame.
  virtual std::int64_t Position() const = 0;
  virtual std::int64_t Length() const = 0;
  virtual void Seek(std::int64_t ms) = 0;
  virtual std::int64_t FrameDuration() const = 0;
  // Where a video is shown: a rectangle of `display` (null: audio only).
  virtual void SetDisplay(QWidget* display, const QRect& rect) = 0;
  // Called once each time playing reaches the end of the file.
  virtual void SetOnFinished(std::function<void()> handler) = 0;
  // Called when an opened file turns out unplayable while it loads or plays
  // (Open and Play return before the decoder has read it).
  virtual void SetOnError(std::function<void()> handler) = 0;
  // After Open: waits at most `timeoutMs` for the file to be read; false when it
  // cannot be played or did not load in time.
  virtual bool WaitUntilLoaded(int timeoutMs) {
    (void)timeoutMs;
    return Error() == 0 && Mode() != TMediaMode::NotReady;
  }
};

// At least one audio output device exists.
bool AudioOutputAvailable();

// A new player: the Qt Multimedia one, or what the installed factory makes.
// Without the multimedia module, a player that opens nothing.
std::unique_ptr<IMediaPlayer> CreateMediaPlayer();
// The camera on Qt Multimedia; without the multimedia module, a device with no
// input whose Connect reports why.
class ICaptureDevice;
std::unique_ptr<ICaptureDevice> CreateCaptureDevice();

using TMediaPlayerFactory = std::function<std::unique_ptr<IMediaPlayer>()>;
// Installs a factory (empty restores the real player).
void SetMediaPlayerFactory(TMediaPlayerFactory factory);
