#pragma once
// The colour-calibration window: a click on a spot of the portrait that should
// have the calibration colour scales every pixel channel by channel so that it
// does. The arithmetic is CalibrateColors'; this window wires Qt's events to it.
#include <optional>

#include "editor/forms/PortraitToolForm.h"
#include "picture/Bitmap32.h"
#include "platform/Geometry.h"

class QLabel;
class TColorFace;
class TGraphicButton;
class TPortraitScroll;
struct TMainSettings;

class TFormColorCalibration : public TPortraitToolForm {
  Q_OBJECT
 public:
  // Calibrates to the calibration colour of `settings`, which the window's
  // colour choices change.
  TFormColorCalibration(const TBitmap32& portrait, TMainSettings& settings, QWidget* parent = nullptr);
  ~TFormColorCalibration() override;

  TPortraitScroll* ImageLayer;
  TColorFace* ButtonCalibrationColor;
  QLabel* LabelCalibrationRed;
  QLabel* LabelCalibrationGreen;
  QLabel* LabelCalibrationBlue;
  TColorFace* ButtonCurrentColor;
  QLabel* LabelCurrentRed;
  QLabel* LabelCurrentGreen;
  QLabel* LabelCurrentBlue;
  TGraphicButton* ButtonUndoCalibration;
  TGraphicButton* ButtonDefaultColor;

  // The click on (x, y) of the picture; false when it lies outside.
  bool CalibrateAt(TPoint p);
  void SetCalibrationColor(TColor32 color);
  void ButtonUndoCalibrationClick();
  const TBitmap32& Calibrated() const;

 private:
  void ShowCurrentColor(TPoint p);

  TBitmap32 portrait_;
  TMainSettings& settings_;
};

// Runs the window modally over the portrait's picture: the calibrated picture
// when the user accepts it, nothing when they cancel.
std::optional<TBitmap32> CalibratePortrait(const TBitmap32& portrait, TMainSettings& settings);
