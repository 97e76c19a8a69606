#include "editor/forms/PortraitToolForm.h"

#include "editor/PortraitToolDesign.h"
#include "editor/forms/PortraitScroll.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/GraphicSlider.h"
#include "shell/forms/TermText.h"

namespace d = portrait_tool;

TPortraitToolForm::TPortraitToolForm(const QString& name, const char* okName, QWidget* parent)
    : TSkinnedForm(name, parent) {
  resize(d::kFormWidth, d::kFormHeight);
  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, width(), d::kCaptionHeight);
  ButtonExit = NewExitButton(CaptionBar, ImageButtons, d::kSheetExitTop,
                             {d::kExit.Left, d::kExit.Top, d::kExit.Width(), d::kExit.Height()});
  const int bottom = d::kScrollBox.Bottom;
  ButtonOK = NewToolButton(okName, bottom - 2 * d::kButtonHeight - 10, TermText("ButtonOKCaption", "OK"));
  ButtonCancel = NewToolButton("ButtonCancel", bottom - d::kButtonHeight, TermText("ButtonCancelCaption", "Cancel"));
}

TPortraitScroll* TPortraitToolForm::NewPicture(const char* name) {
  auto* picture = new TPortraitScroll(*this, ImageButtons);
  picture->setObjectName(name);
  return picture;
}

TGraphicButton* TPortraitToolForm::NewToolButton(const char* name, int top, const QString& caption) {
  TGraphicButton* button = NewSheetButton(this, name, ImageButtons, d::kSheetButtonTop,
                                          {d::kButtonLeft, top, d::kButtonWidth, d::kButtonHeight});
  button->SetCaption(caption);
  return button;
}

TGraphicSlider* TPortraitToolForm::NewToolSlider(const char* name, int top) {
  const QRect bounds(d::kButtonLeft, top, d::kToolSlider.Width(), d::kToolSlider.Height());
  return NewSheetSlider(*this, name, ImageButtons, bounds, d::kSheetToolTrackTop);
}
