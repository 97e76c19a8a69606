#pragma once
// The post card's text editor: the words, font, size, style, colours, shadow and
// rotation of one text. A skinned modal window: OK ends it with 1, Cancel with 2.
#include <QStringList>

#include "picture/Bitmap32.h"
#include "shell/forms/SkinnedForm.h"

class QComboBox;
class QPlainTextEdit;
class TCaptionBar;
class TColorFace;
class TGraphicButton;
class TGraphicSlider;
class TMyImage;

// One text of a post card as the editor shows it.
struct TCardText {
  QStringList Lines;
  QString FontName;  // "Default" for the program's font
  int Style = 0;     // 0 none, 1 bold, 2 italic, 3 underline, 4 strike-out
  int Size = 24;
  TColor32 Color = Color32(0, 0, 0);
  int ShadowDirection = 5;  // index in the direction list: TDirection - 1
  int ShadowSize = 0;
  TColor32 ShadowColor = Color32(128, 128, 128);
  int Rotation = 0;   // degrees, -180..180, counter-clockwise
  int Alignment = 1;  // 0 left, 1 centre, 2 right
};

class TFormPostCardText : public TSkinnedForm {
  Q_OBJECT

 public:
  explicit TFormPostCardText(QWidget* parent = nullptr);
  ~TFormPostCardText() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  TMyImage* ImageButtons;
  QPlainTextEdit* MemoText;
  QComboBox* ComboBoxFontName;
  QComboBox* ComboBoxFontStyle;
  QComboBox* ComboBoxShadowDirection;
  TGraphicSlider* SliderTextSize;
  TGraphicSlider* SliderShadowSize;
  TGraphicSlider* SliderTextRotation;
  TColorFace* ButtonTextColor;
  TColorFace* ButtonShadowColor;
  TGraphicButton* SpeedButton1;
  TGraphicButton* SpeedButton2;
  TGraphicButton* SpeedButton3;
  TGraphicButton* ButtonOK;
  TGraphicButton* ButtonCancel;

  // The editor's fields from a text, and back.
  void SetText(const TCardText& text);
  TCardText Text() const;
  // Runs the editor modally on `text`; true (and `text` changed) on OK.
  bool Edit(TCardText& text);

 private:
  void UpdateMemoFont();
  void KeepRotationForOneLine();
  void SetAlignment(int alignment);
  int alignment_ = 1;
};

// The font a card text is drawn in.
class QFont;
QFont CardTextFont(const TCardText& text);
