#include "editor/forms/FormBaldHead.h"

#include <QCoreApplication>
#include <QPainter>

#include "editor/PortraitToolDesign.h"
#include "editor/forms/PortraitScroll.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/GraphicSlider.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/TermText.h"

namespace d = portrait_tool;

namespace {

constexpr int kButtonsTop = 40;
constexpr int kStep = d::kButtonHeight + 14;

int ShapeCursor(TShapeHandle handle) {
  switch (handle) {
    case TShapeHandle::CutLeft:
    case TShapeHandle::CutRight:
    case TShapeHandle::TopEdge:
    case TShapeHandle::BottomEdge: return crVSplit;
    case TShapeHandle::LeftEdge:
    case TShapeHandle::RightEdge: return crHSplit;
    case TShapeHandle::Whole: return crDrag;
    case TShapeHandle::None: break;
  }
  return crDefault;
}

// The head outline as the user adjusts it: cut points, the ellipse's frame, the
// cut line and the region's edge.
void DrawShape(QPainter& p, const THeadShape& shape) {
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::red);
  for (TPoint c : {shape.CutLeft, shape.CutRight}) p.drawRect(c.X - 2, c.Y - 2, 4, 4);
  p.setBrush(Qt::NoBrush);
  p.setPen(QColor(192, 192, 192));
  const TRect& e = shape.Ellipse;
  p.drawRect(e.Left, e.Top, e.Width() - 1, e.Height() - 1);
  p.setPen(Qt::black);
  p.drawLine(shape.CutLeft.X, shape.CutLeft.Y, shape.CutRight.X, shape.CutRight.Y);
  p.setPen(Qt::blue);
  for (int y = e.Top; y < e.Bottom; ++y)
    for (int x = e.Left; x < e.Right; ++x)
      if (shape.Contains(x, y) && (!shape.Contains(x - 1, y) || !shape.Contains(x + 1, y) ||
                                   !shape.Contains(x, y - 1) || !shape.Contains(x, y + 1)))
        p.drawPoint(x, y);
}

}  // namespace

TFormBaldHead::TFormBaldHead(const TBitmap32& picture, TPoint facePoint, TPoint layerOrigin, QWidget* parent)
    : TPortraitToolForm("FormBaldHead", "ButtonOk", parent), editor_(picture, facePoint, layerOrigin) {
  // The screen's corner on a screen of the main window's size: over the main
  // window on a larger one.
  move(0, 0);
  PlaceFromFrame({0, 0});
  ButtonExit->OnClick = [this] { ButtonCancelClick(); };
  Image = NewPicture("Image");
  Image->OnPress = [this](TPoint p, Qt::MouseButton button) { Press(p, button); };
  Image->OnMove = [this](TPoint p, Qt::MouseButtons buttons) { Move(p, buttons); };
  Image->OnRelease = [this](TPoint, Qt::MouseButton) {
    if (editor_.Mode() != TBaldHeadMode::BaldHead) return;
    editor_.ShapeMouseUp();
    Image->update();
  };
  Image->OnOverlay = [this](QPainter& p) {
    if (editor_.Mode() == TBaldHeadMode::BaldHead) DrawShape(p, editor_.Shape());
  };

  ButtonEraserMode = NewToolButton("ButtonEraserMode", kButtonsTop, TermText("FormBaldHeadButtonEraserModeCaption", "Shape head"));
  ButtonEraserMode->setProperty("Tag", 0);
  ButtonBaldHeadMode = NewToolButton("ButtonBaldHeadMode", kButtonsTop, TermText("FormBaldHeadButtonBaldHeadModeCaption", "Eraser"));
  ButtonBaldHeadMode->setProperty("Tag", 1);
  for (TGraphicButton* button : {ButtonEraserMode, ButtonBaldHeadMode})
    button->OnClick = [this, button] { ButtonChangeModeClick(button); };

  SliderEraserSize = NewToolSlider("SliderEraserSize", kButtonsTop + kStep);
  SliderEraserSize->SetAllValues(5, 50, 20);

  ButtonFillBlank = NewToolButton("ButtonFillBlank", kButtonsTop + kStep, TermText("FormBaldHeadButtonFillBlankCaption", "Fill"));
  ButtonFillBlank->OnClick = [this] { BFillClick(); };
  ButtonOK->OnClick = [this] { ButtonOkClick(); };
  ButtonCancel->OnClick = [this] { ButtonCancelClick(); };

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName"));
  CaptionBar->Caption = TermText("FormBaldHeadCaption");
  // The button is named "ButtonOk"; its hint's key spells it otherwise.
  ButtonOK->setToolTip(TermText("FormBaldHeadButtonOKHint"));

  ModalResult = 0;
  EnterEraserMode();
  Skins = {"FormBaldHead.Skin", "FormBaldHead.psd", "FormBaldHeadButtons", "ButBaldHead.psd"};
  OnClose = [this] {
    if (ModalResult == 0) ModalResult = 2;
  };
}

TFormBaldHead::~TFormBaldHead() = default;

void TFormBaldHead::ShowPicture() { Image->SetPicture(editor_.View(), !Image->Picture().Empty()); }

void TFormBaldHead::EnterEraserMode() {
  editor_.EnterEraserMode();
  ButtonEraserMode->show();
  ButtonBaldHeadMode->hide();
  ButtonFillBlank->hide();
  ButtonOK->hide();
  SliderEraserSize->show();
  SetProgramCursor(*Image, crEraser);
  ShowPicture();
}

void TFormBaldHead::EnterBaldHeadMode() {
  editor_.EnterBaldHeadMode();
  ButtonEraserMode->hide();
  ButtonBaldHeadMode->show();
  SliderEraserSize->hide();
  ButtonFillBlank->show();
  ButtonOK->hide();
  SetProgramCursor(*Image, crDefault);
  ShowPicture();
}

void TFormBaldHead::ButtonChangeModeClick(TGraphicButton* button) {
  if (button->property("Tag").toInt() == 0)
    EnterBaldHeadMode();
  else
    EnterEraserMode();
}

void TFormBaldHead::Press(TPoint p, Qt::MouseButton button) {
  if (editor_.Mode() == TBaldHeadMode::BaldHead) {
    editor_.ShapeMouseDown(p);
    return;
  }
  eraserRadius_ = SliderEraserSize->Value();
  restoring_ = button == Qt::RightButton;
  editor_.Erase(p.X, p.Y, eraserRadius_, restoring_);
  ShowPicture();
}

void TFormBaldHead::Move(TPoint p, Qt::MouseButtons buttons) {
  if (editor_.Mode() == TBaldHeadMode::BaldHead) {
    if (editor_.ShapeMouseMove(p))
      Image->update();
    else
      SetProgramCursor(*Image, ShapeCursor(editor_.HandleAt(p)));
    return;
  }
  if (!(buttons & (Qt::LeftButton | Qt::RightButton))) return;
  editor_.Erase(p.X, p.Y, eraserRadius_, restoring_);
  ShowPicture();
}

void TFormBaldHead::BFillClick() {
  SetProgramCursor(*this, crHourGlass);
  QCoreApplication::processEvents();
  editor_.FillBlank();
  SetProgramCursor(*this, crDefault);
  ShowPicture();
  ButtonOK->show();
}

void TFormBaldHead::ButtonOkClick() {
  ModalResult = 1;
  close();
}

void TFormBaldHead::ButtonCancelClick() {
  ModalResult = 2;
  close();
}

std::optional<TBitmap32> EditBaldHead(const TBitmap32& picture, TPoint facePoint, TPoint layerOrigin) {
  TFormBaldHead form(picture, facePoint, layerOrigin);
  if (ShowSkinnedModal(form) != 1) return std::nullopt;
  return form.Editor().Result();
}
