#pragma once
// ICaptureDevice on Qt Multimedia's camera.
#include <memory>

#include "platform/Capture.h"

class QCamera;

class TQtCaptureDevice : public ICaptureDevice {
 public:
  TQtCaptureDevice();
  ~TQtCaptureDevice() override;
  bool Connect() override;
  void Disconnect() override;
  bool Connected() const override { return camera_ != nullptr; }
  // The connected camera (null when not connected), for the camera window.
  QCamera* Camera() const { return camera_.get(); }

 private:
  std::unique_ptr<QCamera> camera_;
};
