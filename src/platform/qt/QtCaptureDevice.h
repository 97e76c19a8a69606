#pragma once
// ICaptureDevice on Qt Multimedia: a QCamera in a capture session whose video
// sink hands every frame to us, for the preview and for a grab alike.
#include <QObject>
#include <memory>

#include "platform/Capture.h"

class QVideoFrame;

class TQtCaptureDevice : public QObject, public ICaptureDevice {
 public:
  TQtCaptureDevice();
  ~TQtCaptureDevice() override;

  std::vector<std::string> Inputs() override;
  bool Connect(int index) override;
  void Disconnect() override;
  bool Connected() const override { return session_ != nullptr; }
  std::vector<TCaptureFormat> Formats() override;
  TCaptureFormat Format() override;
  bool SetFormat(const TCaptureFormat& format) override;
  void SetPreview(bool on) override { preview_ = on; }
  void SetPreviewRate(int milliseconds) override { previewRate_ = milliseconds; }
  std::optional<TCaptureFrame> GrabFrame() override;
  bool Capturing() const override { return grab_ != nullptr; }
  void SetOnFrame(std::function<void(const TCaptureFrame&)> handler) override { onFrame_ = std::move(handler); }
  void SetOnError(std::function<void(int, const std::string&)> handler) override { onError_ = std::move(handler); }
  void SetOnLost(std::function<void()> handler) override { onLost_ = std::move(handler); }

  // How long Connect waits for the input to start, and a grab for its frame.
  int StartTimeoutMs = 4000;
  int GrabTimeoutMs = 5000;

 private:
  class TSession;
  struct TGrab;
  void Frame(const QVideoFrame& frame);
  void InputsChanged();
  // The input went away or stopped: the session goes and the lost handler hears.
  void Lose();
  // Drops the session; its Qt objects go once their signals have returned.
  void DropSession();

  TSession* session_ = nullptr;
  TGrab* grab_ = nullptr;
  bool preview_ = false;
  int previewRate_ = 0;
  qint64 lastPreview_ = 0;
  std::function<void(const TCaptureFrame&)> onFrame_;
  std::function<void(int, const std::string&)> onError_;
  std::function<void()> onLost_;
};
