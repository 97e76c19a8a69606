#pragma once
// The frame of the portrait tool windows (bald head, colour calibration, region
// editor): the designed size, the button sheet, the caption bar with its exit
// button, the scrolled picture on the left and, in the button column on the
// right, the window's own buttons and sliders above OK and Cancel.
#include "shell/forms/SkinnedForm.h"

class TCaptionBar;
class TGraphicButton;
class TGraphicSlider;
class TMyImage;
class TPortraitScroll;

class TPortraitToolForm : public TSkinnedForm {
  Q_OBJECT
 public:
  // `okName` is the OK button's name as the window's skins know it.
  TPortraitToolForm(const QString& name, const char* okName, QWidget* parent = nullptr);

  TMyImage* ImageButtons;
  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  TGraphicButton* ButtonOK;
  TGraphicButton* ButtonCancel;

 protected:
  // The scrolled picture, named as the window's skins know it.
  TPortraitScroll* NewPicture(const char* name);
  // A plain button or a slider of the button column, `top` pixels down.
  TGraphicButton* NewToolButton(const char* name, int top, const QString& caption);
  TGraphicSlider* NewToolSlider(const char* name, int top);
};
