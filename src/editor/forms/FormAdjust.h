#pragma once
// The adjust window: shows the picture handed to it fitted into the view, lets the user mark
// the eyes (face), frame the hand with its nail markers, or frame the body, and on
// OK hands the new special layer to the desk. The geometry and the mouse state
// machine are TAdjustModel's; this window wires Qt's events to it and paints.
#include <memory>

#include "editor/AdjustController.h"
#include "editor/AdjustModel.h"
#include "editor/EyeDetector.h"
#include "editor/SourcePicture.h"
#include "shell/DeskGeometry.h"
#include "shell/forms/SkinnedForm.h"

class TCaptionBar;
class TGraphicButton;
class TMyImage;
class TQtProcessRunner;
class TAdjustViewWidget;

class QLabel;

class TFormAdjust : public TSkinnedForm {
  Q_OBJECT

 public:
  // The view takes the desk window's size and the fitted portrait the canvas's,
  // as the interface info gives them. OK works on `host`'s desk and records the
  // points in its Points(), whose hand markers the view shows and moves; `host`
  // must outlive the window.
  explicit TFormAdjust(IAdjustHost& host, QWidget* parent = nullptr);
  ~TFormAdjust() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  QWidget* ResImage;  // the view
  TGraphicButton* ButtonFace;
  TGraphicButton* ButtonHand;
  TGraphicButton* ButtonBody;
  TGraphicButton* ButtonFigure;
  TGraphicButton* ButtonOK;
  TGraphicButton* ButtonCancel;
  // Says that no face was found in the picture, beside it (face kind only).
  QLabel* LabelNoFace;
  TMyImage* ImageButtons;

  // Takes `picture`, kept until the next one is handed in, and shows the window
  // for it; when it is already shown, its view is rebuilt from the new picture and
  // it comes to the front.
  void ShowForPicture(TSourcePicture picture);
  const TSourcePicture& Source() const { return source_; }

  TAdjustModel& Model() { return model_; }
  const TAdjustController& Controller() const { return *controller_; }
  // The view as painted: the fitted picture with the current kind's lines,
  // frames and markers (without the marker numbers).
  TBitmap32 ViewPicture() const;

  void ButtonSourceKindClick(TGraphicButton* button);
  void ButtonOKClick();
  void ButtonExitClick();

 private:
  void Refresh();
  void PressKindButton();
  void ShowNoFaceNotice();

  const TDeskGeometry desk_;
  TSourcePicture source_;
  TAdjustModel model_;
  std::unique_ptr<TQtProcessRunner> runner_;
  std::unique_ptr<TEyeDetector> detector_;
  std::unique_ptr<TAdjustController> controller_;
  friend class TAdjustViewWidget;
};

// The standing adjust window (null before it is created).
extern TFormAdjust* FormAdjust;
// The adjust window is made over the main window's desk, through `host`.
void RegisterFormAdjust(IAdjustHost& host);
// Hands `picture` to the standing adjust window (creating it when needed) and
// shows it; without a desk to adjust onto there is none, and nothing shows.
void ShowFormAdjust(TSourcePicture picture);
