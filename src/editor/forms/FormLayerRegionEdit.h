#pragma once
// The region editor: the layer's picture at full size, scrolled, with the
// current region bright and the rest faded; seed clicks, grid cells and a lasso
// build the region. It runs modally over the desk, so nothing can take the
// layer away while it is edited. The editing itself is TRegionEditor's.
#include "editor/RegionEditor.h"
#include "editor/forms/PortraitToolForm.h"

class QLabel;
class QLineEdit;
class TGraphicButton;
class TGraphicSlider;
class TPortraitScroll;

class TFormLayerRegionEdit : public TPortraitToolForm {
  Q_OBJECT

 public:
  explicit TFormLayerRegionEdit(QWidget* parent = nullptr);
  ~TFormLayerRegionEdit() override;

  TPortraitScroll* ScrollBox;  // the picture and its two scroll sliders
  TGraphicButton* ButtonEditRegion;
  TGraphicButton* ButtonLasso;
  TGraphicButton* ButtonGrid;
  TGraphicButton* ButtonClear;
  QLabel* LabelTolerance;
  TGraphicSlider* SliderTolerance;
  QLineEdit* EditTolerance;
  QLabel* LabelGridCols;
  TGraphicSlider* SliderGridCols;
  QLineEdit* EditGridCols;
  QLabel* LabelGridRows;
  TGraphicSlider* SliderGridRows;
  QLineEdit* EditGridRows;

  // Binds the editor to the mask (bound to its layer's picture, with a current
  // region) before the window is shown.
  void StartRegionEdit(TMask& mask);
  // Runs the editor modally; true after OK.
  bool EditModally();
  void RefreshRegionDisplay();
  TRegionEditor& Editor() { return editor_; }

  // A press on the picture with the keys held.
  void PicturePress(TPoint point, Qt::MouseButton button, Qt::KeyboardModifiers keys);
  void PictureMove(TPoint point);
  void PictureRelease();
  // The three edits: a number in range moves its slider, other text goes back
  // to the slider's value.
  void CommitEdit(QLineEdit* edit);

 private:
  QLineEdit* NewEdit(const char* name, int top);
  void SetToggle(TGraphicButton* button, bool pressed);
  void GridSlidersChanged();

  TRegionEditor editor_;
  bool editOk_ = false;
  bool typingTolerance_ = false;  // the slider follows the edit
};

// The standing region editor (null before it is created).
extern TFormLayerRegionEdit* FormLayerRegionEdit;
void RegisterFormLayerRegionEdit();
