// The module "multimedia": Qt Multimedia, for the media player and the camera.
#include "platform/qt/MediaPlayer.h"
#include "platform/qt/MultimediaModule.h"
#include "platform/qt/QtCaptureDevice.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QEventLoop>
#include <QMediaDevices>
#include <QMediaMetaData>
#include <QTimer>
#include <QMediaPlayer>
#include <QUrl>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QVideoFrame>
#include <QVideoSink>
#include <QWidget>
#include <algorithm>
#include <functional>

namespace {

// Draws the last frame the player delivered. A paused player sends no frame to
// a new output, so the picture is kept here and survives a move to another
// window (full screen and back).
class TFrameView : public QWidget {
 public:
  TFrameView(QWidget* parent, std::function<const QImage&()> frame) : QWidget(parent), frame_(std::move(frame)) {
    setObjectName("VideoDisplay");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);  // clicks belong to the display's owner
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QImage& frame = frame_();
    if (frame.isNull()) return;
    QSize size = frame.size().scaled(this->size(), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), size);
    target.moveCenter(rect().center());
    painter.drawImage(target, frame);
  }

 private:
  std::function<const QImage&()> frame_;
};

class TQtMediaPlayer : public IMediaPlayer {
 public:
  TQtMediaPlayer() {
    player_.setAudioOutput(&audio_);
    player_.setVideoOutput(&sink_);
    QObject::connect(&sink_, &QVideoSink::videoFrameChanged, [this](const QVideoFrame& frame) {
      if (!frame.isValid()) return;
      // Converted when painted: the backend waits for this call only briefly and
      // fails the stream when a loaded machine makes it late.
      pending_ = frame;
      frame_ = QImage();
      frameStart_ = frame.startTime() >= 0 ? frame.startTime() / 1000 : -1;
      seeking_ = false;
      if (video_) video_->update();
    });
    QObject::connect(&player_, &QMediaPlayer::mediaStatusChanged, [this](QMediaPlayer::MediaStatus s) {
      if (s == QMediaPlayer::EndOfMedia && onFinished_) onFinished_();
      if (s == QMediaPlayer::InvalidMedia) Failed(QMediaPlayer::FormatError);
    });
    QObject::connect(&player_, &QMediaPlayer::errorOccurred,
                     [this](QMediaPlayer::Error e, const QString&) { Failed(e); });
  }
  ~TQtMediaPlayer() override {
    // The player outlives the handlers it would call while it goes down.
    QObject::disconnect(&player_, nullptr, nullptr, nullptr);
    QObject::disconnect(&sink_, nullptr, nullptr, nullptr);
    player_.stop();
    player_.setVideoOutput(nullptr);
    delete video_;
  }

  bool Open(const std::filesystem::path& file) override {
    error_ = 0;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
      error_ = int(QMediaPlayer::ResourceError);
      open_ = false;
      return false;
    }
    open_ = false;
    ForgetFrame();
    player_.setSource(QUrl::fromLocalFile(QString::fromStdString(file.string())));
    open_ = error_ == 0;
    started_ = false;
    return open_;
  }
  void Close() override {
    open_ = started_ = false;
    player_.stop();
    player_.setSource(QUrl());
    ForgetFrame();
  }
  void Play() override {
    if (!open_) return;
    started_ = true;
    player_.play();
  }
  void Pause() override { player_.pause(); }
  void Stop() override { player_.stop(); }
  TMediaMode Mode() const override {
    if (!open_ || error_ != 0) return TMediaMode::NotReady;
    switch (player_.playbackState()) {
      case QMediaPlayer::PlayingState: return TMediaMode::Playing;
      case QMediaPlayer::PausedState: return TMediaMode::Paused;
      default: return started_ ? TMediaMode::Stopped : TMediaMode::Open;
    }
  }
  int Error() const override { return error_; }
  std::int64_t Position() const override {
    // Paused, the frame on screen may lie ahead of the clock (the pipeline
    // shows the frame it prerolled): a step from the clock would land in
    // that same frame and show nothing new.
    if (player_.playbackState() == QMediaPlayer::PausedState && !seeking_ && frameStart_ >= 0)
      return frameStart_;
    return player_.position();
  }
  std::int64_t Length() const override { return player_.duration(); }
  void Seek(std::int64_t ms) override {
    seeking_ = true;
    player_.setPosition(ms);
  }
  std::int64_t FrameDuration() const override {
    // Qt has no frame step: one frame is a seek by its duration.
    const double rate = player_.metaData().value(QMediaMetaData::VideoFrameRate).toDouble();
    return rate > 0 ? std::max<std::int64_t>(1, std::int64_t(1000.0 / rate + 0.5)) : 40;
  }
  void SetDisplay(QWidget* display, const QRect& rect) override {
    if (!display) {
      delete video_;
      return;
    }
    if (!video_) video_ = new TFrameView(display, [this]() -> const QImage& { return Frame(); });
    if (video_->parentWidget() != display) video_->setParent(display);
    video_->setGeometry(rect);
    video_->show();
    video_->update();
  }
  void SetOnFinished(std::function<void()> handler) override { onFinished_ = std::move(handler); }
  void SetOnError(std::function<void()> handler) override { onError_ = std::move(handler); }
  bool WaitUntilLoaded(int timeoutMs) override {
    auto settled = [this] {
      const QMediaPlayer::MediaStatus s = player_.mediaStatus();
      return error_ != 0 || s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::BufferedMedia ||
             s == QMediaPlayer::InvalidMedia || s == QMediaPlayer::EndOfMedia;
    };
    if (!open_) return false;
    if (!settled()) {
      QEventLoop loop;
      QTimer timer;
      timer.setSingleShot(true);
      QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
      QObject::connect(&player_, &QMediaPlayer::mediaStatusChanged, &loop, [&] {
        if (settled()) loop.quit();
      });
      QObject::connect(&player_, &QMediaPlayer::errorOccurred, &loop, &QEventLoop::quit);
      timer.start(timeoutMs);
      loop.exec();
    }
    const QMediaPlayer::MediaStatus s = player_.mediaStatus();
    return error_ == 0 && (s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::BufferedMedia);
  }

 private:
  // Reported once per opened file, and only after Open returned: a failure
  // inside Open is its result.
  void Failed(QMediaPlayer::Error e) {
    const bool first = error_ == 0;
    error_ = e == QMediaPlayer::NoError ? int(QMediaPlayer::FormatError) : int(e);
    if (first && open_ && onError_) onError_();
  }

  void ForgetFrame() {
    pending_ = QVideoFrame();
    frame_ = QImage();
    frameStart_ = -1;
    seeking_ = false;
    if (video_) video_->update();
  }

  QMediaPlayer player_;
  QAudioOutput audio_;
  QVideoSink sink_;
  // The last frame delivered, converted once and then let go of.
  const QImage& Frame() {
    if (pending_.isValid()) {
      frame_ = pending_.toImage();
      pending_ = QVideoFrame();
    }
    return frame_;
  }

  QVideoFrame pending_;
  QImage frame_;
  std::int64_t frameStart_ = -1;  // ms of the frame shown; -1 unknown
  bool seeking_ = false;          // a seek's frame has not arrived yet
  QPointer<TFrameView> video_;
  std::function<void()> onFinished_;
  std::function<void()> onError_;
  int error_ = 0;
  bool open_ = false;
  bool started_ = false;  // stopped, not merely opened, once it played
};

}  // namespace

extern "C" [[gnu::visibility("default")]] IMultimediaModule* tressary_module_multimedia() {
  class TQtMultimedia final : public IMultimediaModule {
   public:
    std::unique_ptr<IMediaPlayer> CreatePlayer() override { return std::make_unique<TQtMediaPlayer>(); }
    bool AudioOutputAvailable() override { return !QMediaDevices::audioOutputs().isEmpty(); }
    std::unique_ptr<ICaptureDevice> CreateCaptureDevice() override { return std::make_unique<TQtCaptureDevice>(); }
  };
  // The module's one instance, alive as long as the module stays loaded.
  static TQtMultimedia multimedia;
  return &multimedia;
}
