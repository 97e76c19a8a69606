#pragma once
// The camera window: a live preview of the first video input that answers, the
// input, format and preview choices, and the snapshot that becomes the source
// picture. The actions are TCameraController's; this window supplies the
// preview area, the choice dialogs and the message boxes.
#include <functional>
#include <memory>

#include "exchange/CameraController.h"
#include "shell/forms/SkinnedForm.h"

class TCaptionBar;
class TGraphicButton;
class TMyImage;

// The preview area: the latest preview picture, stretched to the area; black
// without one.
class TCapturePreview : public QWidget {
 public:
  explicit TCapturePreview(QWidget* parent);
  void SetPicture(const TBitmap32& picture);
  const TBitmap32& Picture() const { return picture_; }
  // Preview pictures shown so far.
  int Frames() const { return frames_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TBitmap32 picture_;
  int frames_ = 0;
};

class TFormCamera : public TSkinnedForm {
  Q_OBJECT

 public:
  explicit TFormCamera(QWidget* parent = nullptr);
  ~TFormCamera() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  TGraphicButton* ButtonVideoSource;
  TGraphicButton* ButtonVideoFormat;
  TGraphicButton* ButtonVideoDisplay;
  TGraphicButton* ButtonSnapshot;
  TMyImage* ImageButtons;
  TCapturePreview* CaptureWindow;

  // The capture device: Qt Multimedia's camera unless a test sets another before
  // connecting.
  ICaptureDevice* Device = nullptr;
  // Where the snapshot goes; by default the load-and-save window makes it the
  // source picture.
  std::function<void(TBitmap32)> OnSnapshot;

  bool ConnectCamera();
  void DisconnectCamera();
  TCameraController& Actions();

  void ButtonExitClick();
  void ButtonSnapshotClick();
  void ButtonVideoSourceClick();
  void ButtonVideoFormatClick();
  void ButtonVideoDisplayClick();

 private:
  class TUi;
  std::unique_ptr<TUi> ui_;
  std::unique_ptr<ICaptureDevice> ownDevice_;
  ICaptureDevice* controllerDevice_ = nullptr;
  std::unique_ptr<TCameraController> actions_;
};

// The standing camera window (null before it is created).
extern TFormCamera* FormCamera;
void RegisterFormCamera();
// After start-up: the load-and-save window's camera button connects this
// window's camera and shows the window modally.
void ConnectFormCamera();
