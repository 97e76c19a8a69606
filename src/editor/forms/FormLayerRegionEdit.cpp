#include "editor/forms/FormLayerRegionEdit.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>

#include "editor/PortraitToolDesign.h"
#include "editor/forms/PortraitScroll.h"
#include "picture/forms/BitmapImage.h"
#include "platform/KeyCodes.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/GraphicSlider.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/TermText.h"

TFormLayerRegionEdit* FormLayerRegionEdit = nullptr;

namespace d = portrait_tool;

namespace {

constexpr int kStep = d::kButtonHeight + 12;
constexpr int kToolsTop = 40 + 4 * kStep + 6;

QLabel* NewLabel(QWidget* form, const char* name, int top, const QString& text) {
  auto* label = new QLabel(text, form);
  label->setObjectName(name);
  label->setGeometry(d::kButtonLeft, top, d::kButtonWidth, 18);
  label->setStyleSheet("color: #e8f2f4;");
  return label;
}

unsigned SeedKeys(Qt::KeyboardModifiers keys) {
  return (keys & Qt::ShiftModifier ? skShift : 0u) | (keys & Qt::ControlModifier ? skCtrl : 0u) |
         (keys & Qt::AltModifier ? skAlt : 0u);
}

}  // namespace

TFormLayerRegionEdit::TFormLayerRegionEdit(QWidget* parent)
    : TPortraitToolForm("FormLayerRegionEdit", "ButtonOK", parent) {
  FormLayerRegionEdit = this;
  ButtonExit->OnClick = [this] { close(); };
  ScrollBox = NewPicture("ScrollBox");
  ScrollBox->OnPress = [this](TPoint p, Qt::MouseButton button) { PicturePress(p, button, ScrollBox->Modifiers); };
  ScrollBox->OnMove = [this](TPoint p, Qt::MouseButtons) { PictureMove(p); };
  ScrollBox->OnRelease = [this](TPoint, Qt::MouseButton) { PictureRelease(); };
  ScrollBox->OnEnter = [this] { editor_.MouseEntered(); };
  // The Shift key's own press carries no Shift state on X11.
  OnKeyDown = [this](int& key, int shift) { editor_.KeyDown(key == VK_SHIFT || (shift & ssShift)); };
  OnKeyUp = [this](int&, int) { editor_.KeyUp(); };

  int top = 40;
  ButtonEditRegion = NewToolButton("ButtonEditRegion", top, TermText("FormLayerRegionEditButtonEditRegionCaption", "Limit"));
  ButtonLasso = NewToolButton("ButtonLasso", top += kStep, TermText("FormLayerRegionEditButtonLassoCaption", "Lasso"));
  ButtonGrid = NewToolButton("ButtonGrid", top += kStep, TermText("FormLayerRegionEditButtonGridCaption", "Grid"));
  ButtonClear = NewToolButton("ButtonClear", top += kStep, TermText("FormLayerRegionEditButtonClearCaption", "Clear"));
  ButtonEditRegion->OnClick = [this] {
    SetToggle(ButtonEditRegion, !ButtonEditRegion->Pressed());
    editor_.SetSelectionLimit(ButtonEditRegion->Pressed());
  };
  ButtonLasso->OnClick = [this] { SetToggle(ButtonLasso, !ButtonLasso->Pressed()); };
  ButtonGrid->OnClick = [this] {
    SetToggle(ButtonGrid, !ButtonGrid->Pressed());
    editor_.SetGridOn(ButtonGrid->Pressed());
    RefreshRegionDisplay();
  };
  ButtonClear->OnClick = [this] {
    editor_.Clear();
    SetToggle(ButtonEditRegion, false);
    RefreshRegionDisplay();
  };

  LabelTolerance = NewLabel(this, "LabelTolerance", kToolsTop, TermText("FormLayerRegionEditLabelToleranceCaption", "Tolerance"));
  SliderTolerance = NewToolSlider("SliderTolerance", kToolsTop + 20);
  EditTolerance = NewEdit("EditTolerance", kToolsTop + 40);
  LabelGridCols = NewLabel(this, "LabelGridCols", kToolsTop + 76, TermText("FormLayerRegionLabelGridColsCaption", "Columns"));
  SliderGridCols = NewToolSlider("SliderGridCols", kToolsTop + 96);
  EditGridCols = NewEdit("EditGridCols", kToolsTop + 116);
  LabelGridRows = NewLabel(this, "LabelGridRows", kToolsTop + 152, TermText("FormLayerRegionLabelGridRowsCaption", "Rows"));
  SliderGridRows = NewToolSlider("SliderGridRows", kToolsTop + 172);
  EditGridRows = NewEdit("EditGridRows", kToolsTop + 192);
  SliderTolerance->SetAllValues(TRegionEditor::kMinTolerance, TRegionEditor::kMaxTolerance, editor_.Tolerance());
  SliderGridCols->SetAllValues(TRegionEditor::kMinGrid, TRegionEditor::kMaxGrid, editor_.GridColumns());
  SliderGridRows->SetAllValues(TRegionEditor::kMinGrid, TRegionEditor::kMaxGrid, editor_.GridRows());
  EditTolerance->setText(QString::number(editor_.Tolerance()));
  EditGridCols->setText(QString::number(editor_.GridColumns()));
  EditGridRows->setText(QString::number(editor_.GridRows()));
  SliderTolerance->OnChange = [this] {
    // A moved slider grows or shrinks the last seed's set (with Shift held); a
    // typed number only waits for the next seed.
    if (typingTolerance_)
      editor_.SetTypedTolerance(SliderTolerance->Value());
    else
      editor_.SetTolerance(SliderTolerance->Value());
    EditTolerance->setText(QString::number(editor_.Tolerance()));
    RefreshRegionDisplay();
  };
  SliderGridCols->OnChange = [this] { GridSlidersChanged(); };
  SliderGridRows->OnChange = [this] { GridSlidersChanged(); };

  ButtonOK->OnClick = [this] {
    editOk_ = true;
    ModalResult = 1;
    close();
  };
  ButtonCancel->OnClick = [this] { close(); };

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName"));
  CaptionBar->Caption = TermText("FormLayerRegionEditCaption", "Region editor");
  SliderTolerance->setToolTip(TermText("FormLayerRegionSliderToleranceHint"));
  SliderGridRows->setToolTip(TermText("FormLayerRegionSliderGridRowsHint"));
  SliderGridCols->setToolTip(TermText("FormLayerRegionSliderGridColsHint"));
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }

  Skins = {"FormLayerRegionEdit.Skin", "FormLrge.psd", "FormLayerRegionEditButtons", "ButLRegs.psd"};
  OnClose = [this] {
    editor_.Finish(editOk_);
    ScrollBox->SetPicture({});
  };
}

TFormLayerRegionEdit::~TFormLayerRegionEdit() {
  if (FormLayerRegionEdit == this) FormLayerRegionEdit = nullptr;
}

QLineEdit* TFormLayerRegionEdit::NewEdit(const char* name, int top) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  edit->setGeometry(d::kButtonLeft, top, d::kButtonWidth, 22);
  connect(edit, &QLineEdit::editingFinished, this, [this, edit] { CommitEdit(edit); });
  return edit;
}

void TFormLayerRegionEdit::SetToggle(TGraphicButton* button, bool pressed) {
  button->SetPressed(pressed);
  if (button == ButtonLasso) SetProgramCursor(*ScrollBox, pressed ? crLasso : crDefault);
}

void TFormLayerRegionEdit::StartRegionEdit(TMask& mask) {
  editor_.Start(mask);
  ScrollBox->SetPicture(editor_.Display());
}

bool TFormLayerRegionEdit::EditModally() {
  if (!editor_.Editing()) return false;
  // Every edit starts with the toggles up and without an answer.
  for (TGraphicButton* toggle : {ButtonEditRegion, ButtonLasso, ButtonGrid}) SetToggle(toggle, false);
  editor_.SetSelectionLimit(false);
  editor_.SetGridOn(false);
  editOk_ = false;
  ModalResult = 0;
  ScrollBox->SetPicture(editor_.Display());
  ShowSkinnedModal(*this);
  return editOk_;
}

void TFormLayerRegionEdit::RefreshRegionDisplay() { ScrollBox->SetPicture(editor_.Display(), true); }

void TFormLayerRegionEdit::GridSlidersChanged() {
  editor_.SetGridCounts(SliderGridCols->Value(), SliderGridRows->Value());
  EditGridCols->setText(QString::number(editor_.GridColumns()));
  EditGridRows->setText(QString::number(editor_.GridRows()));
  SetToggle(ButtonGrid, true);
  RefreshRegionDisplay();
}

void TFormLayerRegionEdit::CommitEdit(QLineEdit* edit) {
  TGraphicSlider* slider = edit == EditTolerance ? SliderTolerance : edit == EditGridCols ? SliderGridCols : SliderGridRows;
  const std::optional<int> value = ParseBoundedCount(edit->text().toStdString(), slider->Min(), slider->Max());
  typingTolerance_ = edit == EditTolerance;
  if (value) slider->SetValue(*value);
  typingTolerance_ = false;
  edit->setText(QString::number(slider->Value()));
}

void TFormLayerRegionEdit::PicturePress(TPoint point, Qt::MouseButton button, Qt::KeyboardModifiers keys) {
  if (!editor_.Editing()) return;
  if (ButtonLasso->Pressed()) {
    if (button == Qt::LeftButton || button == Qt::RightButton) editor_.LassoPress(point, button == Qt::RightButton);
    return;
  }
  // A number typed but not yet confirmed counts for this click.
  CommitEdit(EditTolerance);
  editor_.SeedClick(point, button == Qt::RightButton, SeedKeys(keys));
  RefreshRegionDisplay();
}

void TFormLayerRegionEdit::PictureMove(TPoint point) {
  const std::optional<TPoint> from = editor_.LassoMove(point);
  if (!from) return;
  // The line goes into the shown picture until the release redraws it.
  TBitmap32 shown = ScrollBox->Picture();
  {
    QImage view = WritableImageView(shown);
    QPainter painter(&view);
    painter.setPen(QColor(255, 0, 0));
    const TPoint to = editor_.Mask()->Lasso().back();
    painter.drawLine(from->X, from->Y, to.X, to.Y);
  }
  ScrollBox->SetPicture(std::move(shown), true);
}

void TFormLayerRegionEdit::PictureRelease() {
  if (!editor_.LassoActive()) return;
  editor_.LassoRelease();
  RefreshRegionDisplay();
}

void RegisterFormLayerRegionEdit() {
  RegisterStandingForm("FormLayerRegionEdit", [](QWidget* owner) { return new TFormLayerRegionEdit(owner); }, TStandingPlace::ByScreen);
}
