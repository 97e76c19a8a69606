#pragma once
// The bald-head editor: erase the hair of the portrait with a round eraser,
// place the head outline and fill the blanks inside it from their neighbours.
// The picture work is TBaldHeadEditor's; this window wires Qt's events to it.
#include <memory>
#include <optional>

#include "editor/BaldHead.h"
#include "editor/forms/PortraitToolForm.h"

class TGraphicButton;
class TGraphicSlider;
class TPortraitScroll;

class TFormBaldHead : public TPortraitToolForm {
  Q_OBJECT
 public:
  // `facePoint` and `layerOrigin` in canvas pixels place the head outline.
  TFormBaldHead(const TBitmap32& picture, TPoint facePoint, TPoint layerOrigin, QWidget* parent = nullptr);
  ~TFormBaldHead() override;

  TPortraitScroll* Image;
  TGraphicButton* ButtonEraserMode;
  TGraphicButton* ButtonBaldHeadMode;
  TGraphicSlider* SliderEraserSize;
  TGraphicButton* ButtonFillBlank;

  TBaldHeadEditor& Editor() { return editor_; }
  void ButtonChangeModeClick(TGraphicButton* button);
  void BFillClick();
  void ButtonOkClick();
  void ButtonCancelClick();

 private:
  void EnterEraserMode();
  void EnterBaldHeadMode();
  void Press(TPoint p, Qt::MouseButton button);
  void Move(TPoint p, Qt::MouseButtons buttons);
  void ShowPicture();

  TBaldHeadEditor editor_;
  int eraserRadius_ = 20;
  bool restoring_ = false;
};

// Runs the editor modally over the portrait's picture: the edited picture when
// the user accepts it, nothing when they cancel.
std::optional<TBitmap32> EditBaldHead(const TBitmap32& picture, TPoint facePoint, TPoint layerOrigin);
