#include "platform/qt/QtCaptureDevice.h"

#include <QCamera>
#include <QCameraDevice>
#include <QMediaDevices>

TQtCaptureDevice::TQtCaptureDevice() = default;
TQtCaptureDevice::~TQtCaptureDevice() = default;

bool TQtCaptureDevice::Connect() {
  if (camera_) return true;
  const QCameraDevice device = QMediaDevices::defaultVideoInput();
  if (device.isNull()) return false;
  auto camera = std::make_unique<QCamera>(device);
  if (!camera->isAvailable()) return false;
  camera_ = std::move(camera);
  return true;
}

void TQtCaptureDevice::Disconnect() { camera_.reset(); }
