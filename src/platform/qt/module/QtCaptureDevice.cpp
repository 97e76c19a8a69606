#include "platform/qt/QtCaptureDevice.h"

#include <QCamera>
#include <QCameraDevice>
#include <QCameraFormat>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QTimer>
#include <QVideoFrame>
#include <QVideoSink>
#include <algorithm>
#include <cstring>

class TQtCaptureDevice::TSession : public QObject {
 public:
  explicit TSession(const QCameraDevice& device) : Device(device), Camera(device) {
    Capture.setCamera(&Camera);
    Capture.setVideoSink(&Sink);
    Clock.start();
  }
  QCameraDevice Device;
  QMediaDevices Devices;
  QCamera Camera;
  QVideoSink Sink;
  QMediaCaptureSession Capture;  // last, so it lets go of the camera and sink first
  QElapsedTimer Clock;
  TCaptureFormat LastFrame;
};

struct TQtCaptureDevice::TGrab {
  QEventLoop Loop;
  TCaptureFormat Want;
  int Skipped = 0;
  bool Lost = false;
  std::optional<TCaptureFrame> Frame;
};

namespace {

TCaptureFormat FormatOf(QSize size) { return {size.width(), size.height()}; }

// A frame of the size just asked for may be preceded by frames of the old one;
// after this many the grab takes what comes.
constexpr int kFramesOfAnotherSize = 15;

}  // namespace

TQtCaptureDevice::TQtCaptureDevice() = default;

TQtCaptureDevice::~TQtCaptureDevice() {
  if (grab_) grab_->Loop.quit();
  delete session_;
}

std::vector<std::string> TQtCaptureDevice::Inputs() {
  std::vector<std::string> names;
  for (const QCameraDevice& device : QMediaDevices::videoInputs()) names.push_back(device.description().toStdString());
  return names;
}

bool TQtCaptureDevice::Connect(int index) {
  Disconnect();
  const QList<QCameraDevice> inputs = QMediaDevices::videoInputs();
  if (index < 0 || index >= inputs.size()) return false;
  auto session = std::make_unique<TSession>(inputs[index]);
  QCamera& camera = session->Camera;
  camera.start();
  if (!camera.isActive() && camera.error() == QCamera::NoError) {
    // Starting is asynchronous: the input answers by becoming active.
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&camera, &QCamera::activeChanged, &loop, &QEventLoop::quit);
    QObject::connect(&camera, &QCamera::errorOccurred, &loop, &QEventLoop::quit);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(StartTimeoutMs);
    loop.exec();
  }
  if (!camera.isActive() || camera.error() != QCamera::NoError) return false;
  session_ = session.release();
  lastPreview_ = 0;
  QObject::connect(&session_->Sink, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame& f) { Frame(f); });
  QObject::connect(&session_->Camera, &QCamera::errorOccurred, this, [this](QCamera::Error error, const QString& text) {
    if (error == QCamera::NoError || !session_) return;
    if (!session_->Camera.isActive()) {
      Lose();  // the input stopped for good
      return;
    }
    if (onError_) onError_(int(error), text.toStdString());
  });
  QObject::connect(&session_->Devices, &QMediaDevices::videoInputsChanged, this, [this] { InputsChanged(); });
  return true;
}

void TQtCaptureDevice::DropSession() {
  if (!session_) return;
  TSession* session = session_;
  session_ = nullptr;
  QObject::disconnect(&session->Sink, nullptr, this, nullptr);
  QObject::disconnect(&session->Camera, nullptr, this, nullptr);
  QObject::disconnect(&session->Devices, nullptr, this, nullptr);
  session->Camera.stop();
  // We may be inside one of its signals.
  session->deleteLater();
  if (grab_) grab_->Loop.quit();
}

void TQtCaptureDevice::Disconnect() { DropSession(); }

void TQtCaptureDevice::InputsChanged() {
  if (!session_) return;
  const QByteArray id = session_->Device.id();
  for (const QCameraDevice& device : QMediaDevices::videoInputs())
    if (device.id() == id) return;
  Lose();
}

void TQtCaptureDevice::Lose() {
  DropSession();
  if (grab_)
    grab_->Lost = true;  // the grab tells once its loop has returned
  else if (onLost_)
    onLost_();
}

std::vector<TCaptureFormat> TQtCaptureDevice::Formats() {
  std::vector<TCaptureFormat> formats;
  if (!session_) return formats;
  for (const QCameraFormat& format : session_->Device.videoFormats()) {
    const TCaptureFormat f = FormatOf(format.resolution());
    if (f.Width > 0 && f.Height > 0 && std::find(formats.begin(), formats.end(), f) == formats.end())
      formats.push_back(f);
  }
  std::sort(formats.begin(), formats.end(), [](const TCaptureFormat& a, const TCaptureFormat& b) {
    return std::pair(a.Width * a.Height, a.Width) < std::pair(b.Width * b.Height, b.Width);
  });
  return formats;
}

TCaptureFormat TQtCaptureDevice::Format() {
  if (!session_) return {};
  const QCameraFormat format = session_->Camera.cameraFormat();
  // Before a format was set the input streams in its own, seen in its frames.
  return format.isNull() ? session_->LastFrame : FormatOf(format.resolution());
}

bool TQtCaptureDevice::SetFormat(const TCaptureFormat& want) {
  if (!session_) return false;
  std::optional<QCameraFormat> best;
  for (const QCameraFormat& format : session_->Device.videoFormats())
    if (FormatOf(format.resolution()) == want && (!best || format.maxFrameRate() > best->maxFrameRate()))
      best = format;
  if (!best) return false;
  session_->Camera.setCameraFormat(*best);
  return true;
}

std::optional<TCaptureFrame> TQtCaptureDevice::GrabFrame() {
  if (!session_ || grab_) return std::nullopt;
  TGrab grab;
  grab.Want = Format();
  grab_ = &grab;
  QTimer timer;
  timer.setSingleShot(true);
  QObject::connect(&timer, &QTimer::timeout, &grab.Loop, &QEventLoop::quit);
  timer.start(GrabTimeoutMs);
  grab.Loop.exec();
  grab_ = nullptr;
  if (grab.Lost && onLost_) onLost_();
  return std::move(grab.Frame);
}

void TQtCaptureDevice::Frame(const QVideoFrame& videoFrame) {
  if (!session_ || !videoFrame.isValid()) return;
  session_->LastFrame = FormatOf(videoFrame.size());
  const qint64 now = session_->Clock.elapsed();
  const bool preview = preview_ && onFrame_ && (lastPreview_ == 0 || now - lastPreview_ >= previewRate_);
  if (grab_) {
    const bool wanted = grab_->Want == TCaptureFormat{} || grab_->Want == session_->LastFrame ||
                        ++grab_->Skipped > kFramesOfAnotherSize;
    if (!wanted) return;
  } else if (!preview) {
    return;
  }
  const QImage image = videoFrame.toImage().convertToFormat(QImage::Format_ARGB32);
  if (image.isNull()) return;
  TCaptureFrame frame{image.width(), image.height(), {}};
  frame.Bytes.resize(std::size_t(image.width()) * image.height() * 4);
  for (int y = 0; y < image.height(); ++y)
    std::memcpy(frame.Bytes.data() + std::size_t(y) * image.width() * 4, image.constScanLine(y),
                std::size_t(image.width()) * 4);
  if (grab_) {
    grab_->Frame = std::move(frame);
    grab_->Loop.quit();
    return;
  }
  lastPreview_ = now;
  onFrame_(frame);
}
