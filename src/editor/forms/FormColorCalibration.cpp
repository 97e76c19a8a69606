#include "editor/forms/FormColorCalibration.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include "editor/ColorCalibration.h"
#include "editor/MainShell.h"
#include "editor/PortraitToolDesign.h"
#include "editor/forms/PortraitScroll.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/ColorFace.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/TermText.h"

namespace d = portrait_tool;

namespace {

constexpr int kFaceSide = 40;

QLabel* ValueLabel(QWidget* form, const char* name, int left, int top) {
  auto* label = new QLabel("0", form);
  label->setObjectName(name);
  label->setGeometry(left, top, 34, 16);
  label->setStyleSheet("color: #e8f2f4;");
  return label;
}

void ShowChannels(QLabel* red, QLabel* green, QLabel* blue, TColor32 color) {
  red->setText(QString::number(RedOf(color)));
  green->setText(QString::number(GreenOf(color)));
  blue->setText(QString::number(BlueOf(color)));
  for (QLabel* label : {red, green, blue}) label->repaint();
}

}  // namespace

TFormColorCalibration::TFormColorCalibration(const TBitmap32& portrait, TMainSettings& settings, QWidget* parent)
    : TPortraitToolForm("FormColorCalibration", "ButtonOK", parent), portrait_(portrait), settings_(settings) {
  PlaceFromFrame({40, 30});
  ButtonExit->OnClick = [this] { close(); };
  ImageLayer = NewPicture("ImageLayer");
  SetProgramCursor(*ImageLayer, crPipette);
  ImageLayer->OnMove = [this](TPoint p, Qt::MouseButtons) { ShowCurrentColor(p); };
  ImageLayer->OnRelease = [this](TPoint p, Qt::MouseButton) { CalibrateAt(p); };

  const int left = d::kButtonLeft;
  auto caption = [this, left](const char* name, int top, const QString& text) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    label->setGeometry(left, top, d::kButtonWidth, 16);
    // A caption longer than the column is set smaller, never cut.
    QFont font = label->font();
    font.setBold(true);
    while (QFontMetrics(font).horizontalAdvance(text) > label->width() && font.pointSizeF() > 6)
      font.setPointSizeF(font.pointSizeF() - 0.5);
    label->setStyleSheet(
        QString("color: #e8f2f4; font-weight: bold; font-size: %1pt;").arg(font.pointSizeF()));
  };
  caption("LabelCalibrationColor", 34, TermText("FormColorCalibrationLabelCalibrationColorCaption", "Calibration colour"));
  ButtonCalibrationColor = new TColorFace(this, "ButtonCalibrationColor", QRect(left, 54, kFaceSide, kFaceSide));
  LabelCalibrationRed = ValueLabel(this, "LabelCalibrationRed", left + kFaceSide + 8, 52);
  LabelCalibrationGreen = ValueLabel(this, "LabelCalibrationGreen", left + kFaceSide + 8, 66);
  LabelCalibrationBlue = ValueLabel(this, "LabelCalibrationBlue", left + kFaceSide + 8, 80);
  caption("LabelCurrentColor", 110, TermText("FormColorCalibrationLabelCurrentColorCaption", "Colour here"));
  ButtonCurrentColor = new TColorFace(this, "ButtonCurrentColor", QRect(left, 130, kFaceSide, kFaceSide));
  LabelCurrentRed = ValueLabel(this, "LabelCurrentRed", left + kFaceSide + 8, 128);
  LabelCurrentGreen = ValueLabel(this, "LabelCurrentGreen", left + kFaceSide + 8, 142);
  LabelCurrentBlue = ValueLabel(this, "LabelCurrentBlue", left + kFaceSide + 8, 156);

  ButtonDefaultColor = NewToolButton("ButtonDefaultColor", 190, TermText("FormColorCalibrationButtonDefaultColorCaption", "Standard"));
  ButtonUndoCalibration = NewToolButton("ButtonUndoCalibration", 232, TermText("FormColorCalibrationButtonUndoCalibrationCaption", "Undo"));

  ButtonCalibrationColor->OnClick = [this] {
    if (const auto chosen = ChooseColor(this, ButtonCalibrationColor->Color())) SetCalibrationColor(*chosen);
  };
  ButtonDefaultColor->OnClick = [this] { SetCalibrationColor(Color32(252, 217, 188)); };
  ButtonUndoCalibration->OnClick = [this] { ButtonUndoCalibrationClick(); };
  ButtonOK->OnClick = [this] {
    ModalResult = 1;
    close();
  };
  ButtonCancel->OnClick = [this] { close(); };

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName"));
  CaptionBar->Caption = TermText("FormColorCalibrationCaption");

  SetCalibrationColor(Color32(settings_.CalibrationRed, settings_.CalibrationGreen, settings_.CalibrationBlue));
  ShowChannels(LabelCurrentRed, LabelCurrentGreen, LabelCurrentBlue, ButtonCurrentColor->Color());
  ImageLayer->SetPicture(portrait_);
  Skins = {"FormColorCalibration.Skin", "FormClbr.psd", "FormColorCalibrationButtons", "ButClbr.psd"};
  OnClose = [this] {
    if (ModalResult == 0) ModalResult = 2;
  };
}

TFormColorCalibration::~TFormColorCalibration() = default;

const TBitmap32& TFormColorCalibration::Calibrated() const { return ImageLayer->Picture(); }

void TFormColorCalibration::SetCalibrationColor(TColor32 color) {
  // The colour stays for the rest of the run, whatever the window's result.
  settings_.CalibrationRed = RedOf(color);
  settings_.CalibrationGreen = GreenOf(color);
  settings_.CalibrationBlue = BlueOf(color);
  ButtonCalibrationColor->SetColor(color);
  ShowChannels(LabelCalibrationRed, LabelCalibrationGreen, LabelCalibrationBlue, color);
}

void TFormColorCalibration::ShowCurrentColor(TPoint p) {
  const TBitmap32& picture = ImageLayer->Picture();
  if (!picture.Contains(p.X, p.Y)) return;
  const TColor32 color = picture.Pixel(p.X, p.Y) | 0xFF000000u;
  ButtonCurrentColor->SetColor(color);
  ShowChannels(LabelCurrentRed, LabelCurrentGreen, LabelCurrentBlue, color);
}

bool TFormColorCalibration::CalibrateAt(TPoint p) {
  TBitmap32 picture = ImageLayer->Picture();
  SetProgramCursor(*this, crHourGlass);
  const bool done = CalibrateColors(
      picture, p.X, p.Y, Color32(settings_.CalibrationRed, settings_.CalibrationGreen, settings_.CalibrationBlue));
  if (done) ImageLayer->SetPicture(std::move(picture), true);
  SetProgramCursor(*this, crDefault);
  return done;
}

void TFormColorCalibration::ButtonUndoCalibrationClick() { ImageLayer->SetPicture(portrait_, true); }

std::optional<TBitmap32> CalibratePortrait(const TBitmap32& portrait, TMainSettings& settings) {
  TFormColorCalibration form(portrait, settings);
  if (ShowSkinnedModal(form) != 1) return std::nullopt;
  return form.Calibrated();
}
