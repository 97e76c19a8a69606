#pragma once
// The camera window's actions without Qt: connecting the first input that
// answers, the preview, the three choices (input, format, preview on or off) and
// the 640 x 480 snapshot that becomes the source picture.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "picture/Bitmap32.h"
#include "platform/Capture.h"

// The snapshot's size, and the preview's as the window shows it.
inline constexpr TCaptureFormat kSnapshotFormat{640, 480};
inline constexpr TCaptureFormat kPreviewFormat{160, 120};
// Milliseconds between preview frames.
inline constexpr int kPreviewRate = 66;
// At most this many inputs are tried when connecting.
inline constexpr int kMaxCaptureInputs = 10;

// The format of `formats` to ask for when `want` is wanted: `want` itself when
// offered, else the smallest that covers it, else the largest; `want` when the
// list is empty.
TCaptureFormat NearestCaptureFormat(const std::vector<TCaptureFormat>& formats, TCaptureFormat want);

// `frame` as a width x height picture: scaled to cover it and cut to it around
// the middle, so a frame of another shape is not distorted; opaque.
TBitmap32 FramePicture(const TCaptureFrame& frame, int width, int height);

// The English text of one of the camera window's own message keys ("" for
// another key; "MessageCameraNotFound" is the load-and-save window's).
std::string_view CameraMessageDefault(std::string_view key);

struct TCameraButtons {
  bool Source = false;
  bool Format = false;
  bool Display = false;
  bool Snapshot = false;
  bool operator==(const TCameraButtons&) const = default;
};

// What the actions need of the window.
class ICameraUi {
 public:
  virtual ~ICameraUi() = default;
  virtual void EnableButtons(const TCameraButtons& buttons) = 0;
  // The preview area's picture; an empty one blanks it.
  virtual void ShowPreview(const TBitmap32& frame) = 0;
  // The choices; nullopt when cancelled.
  virtual std::optional<int> ChooseInput(const std::vector<std::string>& inputs, int current) = 0;
  virtual std::optional<int> ChooseFormat(const std::vector<TCaptureFormat>& formats, int current) = 0;
  // A device error, captioned "Error# " and its number.
  virtual void ShowDeviceError(int id, const std::string& text) = 0;
  // The message box (OK kind) with the UI text of `key`.
  virtual void ShowMessage(std::string_view key) = 0;
  // Hides and closes the window and lets pending messages run.
  virtual void CloseWindow() = 0;
  // The snapshot goes to the load-and-save window, which makes it the source
  // picture and opens the adjust window.
  virtual void HandOver(TBitmap32 snapshot) = 0;
};

class TCameraController {
 public:
  TCameraController(ICameraUi& ui, ICaptureDevice& device);
  ~TCameraController();

  // Connects the first input that answers; false (and nothing connected) when
  // none does.
  bool ConnectCamera();
  void DisconnectCamera();

  // The window is shown: buttons, preview rate, preview on, preview format.
  void FormShow();
  void ButtonSnapshotClick();
  void ButtonVideoSourceClick();
  void ButtonVideoFormatClick();
  void ButtonVideoDisplayClick();

  // The connected input, -1 when none.
  int DriverIndex() const { return driverIndex_; }
  bool PreviewOn() const { return previewOn_; }

 private:
  TCameraButtons Buttons();
  void StartPreview();
  void Lost();

  ICameraUi& ui_;
  ICaptureDevice& device_;
  int driverIndex_ = -1;
  bool previewOn_ = false;
};
