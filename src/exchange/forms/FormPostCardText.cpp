#include "exchange/forms/FormPostCardText.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>

#include "editor/PortraitToolDesign.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/ColorFace.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/GraphicSlider.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/TermText.h"

namespace d = portrait_tool;

namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 330;
constexpr int kRight = 300;  // the column of sliders and buttons

TGraphicSlider* NewSlider(QWidget& form, TMyImage* sheet, const char* name, int top, int min, int max, int value) {
  auto* slider = new TGraphicSlider(&form);
  slider->setObjectName(name);
  slider->setGeometry(kRight, top, d::kToolSlider.Width(), d::kToolSlider.Height());
  slider->Resource().SetImage(sheet);
  slider->Resource().SetTop(d::kSheetToolTrackTop);
  slider->Resource().SetWidth(d::kToolSlider.Width());
  slider->Resource().SetHeight(d::kToolSlider.Height());
  slider->Resource().SetCols(2);
  slider->Resource().AutoPressed = -1;
  slider->SetSlideButton(
      NewSheetButton(&form, QString(name) + "Thumb", sheet, d::kSheetThumbTop, {0, 0, d::kThumbSide, d::kThumbSide}));
  slider->SetAllValues(min, max, value);
  return slider;
}

QComboBox* NewCombo(QWidget& form, const char* name, QRect bounds) {
  auto* box = new QComboBox(&form);
  box->setObjectName(name);
  box->setGeometry(bounds);
  return box;
}

// "Default" and every scalable face the system has, sorted, each once.
QStringList FontNames() {
  QStringList names;
  for (const QString& family : QFontDatabase::families())
    if (QFontDatabase::isSmoothlyScalable(family) &&
        (names.isEmpty() || names.back().compare(family, Qt::CaseInsensitive) != 0))
      names << family;
  names.sort(Qt::CaseInsensitive);
  names.prepend("Default");
  return names;
}

}  // namespace

QFont CardTextFont(const TCardText& text) {
  QFont font = QApplication::font();
  if (!text.FontName.isEmpty() && text.FontName != "Default") font.setFamily(text.FontName);
  font.setPixelSize(std::max(1, text.Size));
  font.setBold(text.Style == 1);
  font.setItalic(text.Style == 2);
  font.setUnderline(text.Style == 3);
  font.setStrikeOut(text.Style == 4);
  return font;
}

TFormPostCardText::TFormPostCardText(QWidget* parent) : TSkinnedForm("FormPostCardText", parent) {
  resize(kWidth, kHeight);
  PlaceFromFrame({150, 120});
  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, kWidth, d::kCaptionHeight);
  ButtonExit = NewSheetButton(CaptionBar, "ButtonExit", ImageButtons, d::kSheetExitTop, {kWidth - 30, 0, 20, 19});
  TakeMainWindowLooks(*ButtonExit);
  ButtonExit->OnClick = [this] { close(); };

  MemoText = new QPlainTextEdit(this);
  MemoText->setObjectName("MemoText");
  MemoText->setGeometry(10, 30, 280, 150);
  ComboBoxFontName = NewCombo(*this, "ComboBoxFontName", {10, 188, 280, 24});
  ComboBoxFontStyle = NewCombo(*this, "ComboBoxFontStyle", {10, 218, 136, 24});
  ComboBoxShadowDirection = NewCombo(*this, "ComboBoxShadowDirection", {154, 218, 136, 24});
  ComboBoxFontName->addItems(FontNames());
  // Each with its own words, so no line stays blank where the text table lacks one.
  for (const auto& [key, words] : {std::pair{"FormPostCardTextNormal", "Normal"}, {"FormPostCardTextBold", "Bold"},
                                   {"FormPostCardTextItalic", "Italic"}, {"FormPostCardTextUnderline", "Underline"},
                                   {"FormPostCardTextStrikeOut", "Strike out"}})
    ComboBoxFontStyle->addItem(TermText(key, words));
  for (const auto& [key, words] :
       {std::pair{"FormPostCardTextUp", "Up"}, {"FormPostCardTextDown", "Down"}, {"FormPostCardTextLeft", "Left"},
        {"FormPostCardTextRight", "Right"}, {"FormPostCardTextUpLeft", "Up left"},
        {"FormPostCardTextUpRight", "Up right"}, {"FormPostCardTextDownLeft", "Down left"},
        {"FormPostCardTextDownRight", "Down right"}})
    ComboBoxShadowDirection->addItem(TermText(key, words));
  ComboBoxShadowDirection->setCurrentIndex(5);

  auto caption = [this](const char* name, int top, const QString& text) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    label->setGeometry(kRight, top, d::kButtonWidth, 16);
    label->setStyleSheet("color: #e8f2f4;");
    return label;
  };
  const QString sizeCaption = TermText("FormPostCardTextSize", "Size");
  const QString shadowCaption = TermText("FormPostCardTextShadowSize", "Shadow");
  const QString angleCaption = TermText("FormPostCardTextAngle", "Angle");
  caption("LabelTextSize", 30, sizeCaption);
  SliderTextSize = NewSlider(*this, ImageButtons, "SliderTextSize", 48, 6, 96, 24);
  caption("LabelShadowSize", 70, shadowCaption);
  SliderShadowSize = NewSlider(*this, ImageButtons, "SliderShadowSize", 88, 0, 16, 0);
  caption("LabelTextRotation", 110, angleCaption);
  SliderTextRotation = NewSlider(*this, ImageButtons, "SliderTextRotation", 128, -180, 180, 0);
  // A slider's hint tells its value.
  for (auto [slider, text] : {std::pair{SliderTextSize, sizeCaption}, std::pair{SliderShadowSize, shadowCaption},
                              std::pair{SliderTextRotation, angleCaption}}) {
    slider->setToolTip(QString("%1 %2").arg(slider->Value()).arg(text));
    slider->OnChange = [this, slider, text] {
      slider->setToolTip(QString("%1 %2").arg(slider->Value()).arg(text));
      if (slider == SliderTextSize) UpdateMemoFont();
      if (slider == SliderTextRotation) KeepRotationForOneLine();
    };
  }

  ButtonTextColor = new TColorFace(this, "ButtonTextColor", QRect(kRight, 156, 44, 28));
  ButtonShadowColor = new TColorFace(this, "ButtonShadowColor", QRect(kRight + 56, 156, 44, 28));
  ButtonShadowColor->SetColor(Color32(128, 128, 128));
  ButtonTextColor->OnClick = [this] {
    if (const auto chosen = ChooseColor(this, ButtonTextColor->Color())) {
      ButtonTextColor->SetColor(*chosen);
      UpdateMemoFont();
    }
  };
  ButtonShadowColor->OnClick = [this] {
    if (const auto chosen = ChooseColor(this, ButtonShadowColor->Color())) ButtonShadowColor->SetColor(*chosen);
  };

  const char* alignNames[] = {"SpeedButton1", "SpeedButton2", "SpeedButton3"};
  const char* alignCaptions[] = {"<", "=", ">"};
  TGraphicButton** alignButtons[] = {&SpeedButton1, &SpeedButton2, &SpeedButton3};
  for (int i = 0; i < 3; ++i) {
    TGraphicButton* b = NewSheetButton(this, alignNames[i], ImageButtons, d::kSheetButtonTop, {10 + i * 34, 250, 30, 24});
    b->SetTag(i);
    b->SetCaption(alignCaptions[i]);
    b->OnClick = [this, i] { SetAlignment(i); };
    *alignButtons[i] = b;
  }
  ButtonOK = NewSheetButton(this, "ButtonOK", ImageButtons, d::kSheetButtonTop, {kRight, 250, d::kButtonWidth, d::kButtonHeight});
  ButtonOK->SetCaption(TermText("ButtonOKCaption", "OK"));
  ButtonOK->OnClick = [this] {
    ModalResult = 1;
    close();
  };
  ButtonCancel = NewSheetButton(this, "ButtonCancel", ImageButtons, d::kSheetButtonTop,
                                {kRight, 250 + d::kButtonHeight + 8, d::kButtonWidth, d::kButtonHeight});
  ButtonCancel->SetCaption(TermText("ButtonCancelCaption", "Cancel"));
  ButtonCancel->OnClick = [this] {
    ModalResult = 2;
    close();
  };

  QObject::connect(ComboBoxFontName, &QComboBox::currentIndexChanged, this, [this] { UpdateMemoFont(); });
  QObject::connect(ComboBoxFontStyle, &QComboBox::currentIndexChanged, this, [this] { UpdateMemoFont(); });
  QObject::connect(MemoText, &QPlainTextEdit::textChanged, this, [this] { KeepRotationForOneLine(); });

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName"));
  CaptionBar->Caption = TermText("FormPostCardTextCaption", "Text");

  Skins = {"FormPostCardText.Skin", "FormPctx.psd", "FormPostCardTextButtons", "ButPctx.psd"};
  OnShow = [this] {
    UpdateMemoFont();
  };
  SetAlignment(1);
}

TFormPostCardText::~TFormPostCardText() = default;

void TFormPostCardText::UpdateMemoFont() {
  const TCardText text = Text();
  MemoText->setFont(CardTextFont(text));
  QPalette palette = MemoText->palette();
  palette.setColor(QPalette::Text, QColor(RedOf(text.Color), GreenOf(text.Color), BlueOf(text.Color)));
  MemoText->setPalette(palette);
}

// Only a one-line text turns.
void TFormPostCardText::KeepRotationForOneLine() {
  if (MemoText->blockCount() >= 2 && SliderTextRotation->Value() != 0) SliderTextRotation->SetValue(0);
}

void TFormPostCardText::SetAlignment(int alignment) {
  alignment_ = alignment;
  for (TGraphicButton* b : {SpeedButton1, SpeedButton2, SpeedButton3}) b->SetPressed(b->Tag() == alignment);
  QTextOption option = MemoText->document()->defaultTextOption();
  option.setAlignment(alignment == 0 ? Qt::AlignLeft : alignment == 2 ? Qt::AlignRight : Qt::AlignHCenter);
  MemoText->document()->setDefaultTextOption(option);
}

void TFormPostCardText::SetText(const TCardText& text) {
  MemoText->setPlainText(text.Lines.join('\n'));
  const int font = ComboBoxFontName->findText(text.FontName);
  ComboBoxFontName->setCurrentIndex(font < 0 ? 0 : font);
  ComboBoxFontStyle->setCurrentIndex(std::clamp(text.Style, 0, 4));
  SliderTextSize->SetValue(text.Size);
  ButtonTextColor->SetColor(text.Color);
  ComboBoxShadowDirection->setCurrentIndex(std::clamp(text.ShadowDirection, 0, 7));
  SliderShadowSize->SetValue(text.ShadowSize);
  ButtonShadowColor->SetColor(text.ShadowColor);
  SliderTextRotation->SetValue(text.Rotation);
  SetAlignment(text.Alignment);
  KeepRotationForOneLine();
  UpdateMemoFont();
}

TCardText TFormPostCardText::Text() const {
  TCardText text;
  const QString plain = MemoText->toPlainText();
  if (!plain.isEmpty()) text.Lines = plain.split('\n');
  text.FontName = ComboBoxFontName->currentText();
  text.Style = std::max(0, ComboBoxFontStyle->currentIndex());
  text.Size = SliderTextSize->Value();
  text.Color = ButtonTextColor->Color();
  text.ShadowDirection = std::max(0, ComboBoxShadowDirection->currentIndex());
  text.ShadowSize = SliderShadowSize->Value();
  text.ShadowColor = ButtonShadowColor->Color();
  text.Rotation = SliderTextRotation->Value();
  text.Alignment = alignment_;
  return text;
}

bool TFormPostCardText::Edit(TCardText& text) {
  SetText(text);
  ModalResult = 0;
  if (ShowSkinnedModal(*this) != 1) return false;
  text = Text();
  return true;
}
