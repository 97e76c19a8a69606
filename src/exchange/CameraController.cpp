#include "exchange/CameraController.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "picture/BitmapRoutines.h"

namespace {
std::int64_t Area(const TCaptureFormat& f) { return std::int64_t(f.Width) * f.Height; }
}  // namespace

TCaptureFormat NearestCaptureFormat(const std::vector<TCaptureFormat>& formats, TCaptureFormat want) {
  if (formats.empty()) return want;
  const TCaptureFormat* covering = nullptr;
  const TCaptureFormat* largest = &formats.front();
  for (const TCaptureFormat& f : formats) {
    if (f == want) return f;
    if (f.Width >= want.Width && f.Height >= want.Height && (!covering || Area(f) < Area(*covering))) covering = &f;
    if (Area(f) > Area(*largest)) largest = &f;
  }
  return covering ? *covering : *largest;
}

TBitmap32 FramePicture(const TCaptureFrame& frame, int width, int height) {
  if (width <= 0 || height <= 0 || frame.Width <= 0 || frame.Height <= 0 ||
      !PictureSizeAllowed(frame.Width, frame.Height) ||
      frame.Bytes.size() != std::size_t(frame.Width) * std::size_t(frame.Height) * 4)
    return {};
  TBitmap32 source(frame.Width, frame.Height);
  std::memcpy(source.Bits(), frame.Bytes.data(), frame.Bytes.size());
  if (frame.Width == width && frame.Height == height) {
    SetAlpha(source, 255);
    return source;
  }
  const double scale = std::max(double(width) / frame.Width, double(height) / frame.Height);
  const int w = std::max(width, int(std::nearbyint(frame.Width * scale)));
  const int h = std::max(height, int(std::nearbyint(frame.Height * scale)));
  TBitmap32 picture(width, height, Color32(0, 0, 0));
  StretchDrawBilinear(picture, Bounds((width - w) / 2, (height - h) / 2, w, h), source);
  return picture;
}

std::string_view CameraMessageDefault(std::string_view key) {
  if (key == "MessageCameraLost") return "The camera was disconnected.";
  if (key == "MessageCameraNoPicture") return "The camera sent no picture.";
  return {};
}

TCameraController::TCameraController(ICameraUi& ui, ICaptureDevice& device) : ui_(ui), device_(device) {}

TCameraController::~TCameraController() {
  device_.SetOnFrame({});
  device_.SetOnError({});
  device_.SetOnLost({});
  device_.Disconnect();
}

bool TCameraController::ConnectCamera() {
  DisconnectCamera();
  device_.SetOnError([this](int id, const std::string& text) {
    if (id != 0) ui_.ShowDeviceError(id, text);
  });
  device_.SetOnLost([this] { Lost(); });
  device_.SetOnFrame([this](const TCaptureFrame& frame) {
    if (previewOn_) ui_.ShowPreview(FramePicture(frame, kPreviewFormat.Width, kPreviewFormat.Height));
  });
  const int inputs = std::min<int>(int(device_.Inputs().size()), kMaxCaptureInputs);
  for (int i = 0; i < inputs && driverIndex_ < 0; ++i)
    if (device_.Connect(i)) driverIndex_ = i;
  if (driverIndex_ >= 0) return true;
  DisconnectCamera();
  return false;
}

void TCameraController::DisconnectCamera() {
  // The handlers stay: a disconnected device calls none, and one of them may be
  // the caller.
  device_.Disconnect();
  driverIndex_ = -1;
  previewOn_ = false;
}

TCameraButtons TCameraController::Buttons() {
  if (driverIndex_ < 0 || !device_.Connected()) return {};
  return {device_.Inputs().size() > 1, device_.Formats().size() > 1, true, true};
}

void TCameraController::StartPreview() {
  device_.SetPreviewRate(kPreviewRate);
  device_.SetFormat(NearestCaptureFormat(device_.Formats(), kPreviewFormat));
  previewOn_ = true;
  device_.SetPreview(true);
}

void TCameraController::FormShow() {
  ui_.ShowPreview(TBitmap32());
  ui_.EnableButtons(Buttons());
  if (driverIndex_ >= 0 && device_.Connected()) StartPreview();
}

void TCameraController::ButtonSnapshotClick() {
  if (driverIndex_ < 0 || !device_.Connected() || device_.Capturing()) return;
  const TCaptureFormat chosen = device_.Format();
  const TCameraButtons buttons = Buttons();
  ui_.EnableButtons({});
  device_.SetPreview(false);
  device_.SetFormat(NearestCaptureFormat(device_.Formats(), kSnapshotFormat));
  const std::optional<TCaptureFrame> frame = device_.GrabFrame();
  // Lost meanwhile: already told and closed. Closed meanwhile: nothing to do.
  if (!device_.Connected()) return;
  device_.SetFormat(chosen);
  device_.SetPreview(previewOn_);
  ui_.EnableButtons(buttons);
  TBitmap32 snapshot = frame ? FramePicture(*frame, kSnapshotFormat.Width, kSnapshotFormat.Height) : TBitmap32();
  if (snapshot.Empty()) {
    ui_.ShowMessage("MessageCameraNoPicture");
    return;
  }
  ui_.CloseWindow();
  ui_.HandOver(std::move(snapshot));
}

void TCameraController::ButtonVideoSourceClick() {
  if (driverIndex_ < 0 || !device_.Connected() || device_.Capturing()) return;
  const std::vector<std::string> inputs = device_.Inputs();
  if (inputs.size() < 2) return;
  const std::optional<int> choice = ui_.ChooseInput(inputs, driverIndex_);
  if (!choice || *choice < 0 || *choice >= int(inputs.size()) || *choice == driverIndex_) return;
  const int previous = driverIndex_;
  device_.Disconnect();
  if (device_.Connect(*choice)) {
    driverIndex_ = *choice;
  } else if (device_.Connect(previous)) {
    ui_.ShowMessage("MessageCameraNotFound");
  } else {
    Lost();
    return;
  }
  FormShow();
}

void TCameraController::ButtonVideoFormatClick() {
  if (driverIndex_ < 0 || !device_.Connected() || device_.Capturing()) return;
  const std::vector<TCaptureFormat> formats = device_.Formats();
  if (formats.size() < 2) return;
  const auto current = std::find(formats.begin(), formats.end(), device_.Format());
  const std::optional<int> choice =
      ui_.ChooseFormat(formats, current == formats.end() ? -1 : int(current - formats.begin()));
  if (!choice || *choice < 0 || *choice >= int(formats.size())) return;
  device_.SetFormat(formats[*choice]);
}

void TCameraController::ButtonVideoDisplayClick() {
  if (driverIndex_ < 0 || !device_.Connected() || device_.Capturing()) return;
  previewOn_ = !previewOn_;
  device_.SetPreview(previewOn_);
  if (!previewOn_) ui_.ShowPreview(TBitmap32());
}

void TCameraController::Lost() {
  DisconnectCamera();
  ui_.ShowPreview(TBitmap32());
  ui_.EnableButtons({});
  ui_.ShowMessage("MessageCameraLost");
  ui_.CloseWindow();
}
