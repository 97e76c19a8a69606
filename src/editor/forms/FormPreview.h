#pragma once
// The portrait preview: the fitted portrait drawn to fit the window, beside the
// main window.
#include "picture/Bitmap32.h"
#include "shell/forms/SkinnedForm.h"

class TCaptionBar;
class TGraphicButton;
class TMyImage;
class TFormMain;

class TFormPreview : public TSkinnedForm {
  Q_OBJECT

 public:
  explicit TFormPreview(QWidget* parent = nullptr);
  ~TFormPreview() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonMinimize;
  TGraphicButton* ButtonExit;
  QWidget* ResImage;
  TMyImage* ImageButtons;
  // The interface keeps ResImage where it put it instead of filling the window.
  bool LockResImage = false;
  // The main window whose desk decides whether there is a portrait, handed in as
  // the window is made (ConnectMainWindow); null: none, the preview stays white.
  TFormMain* MainWindow = nullptr;

  // Draws the picture fitted into the preview; white for none or an empty one.
  void ShowPortrait(const TBitmap32* picture);
  const TBitmap32& PreviewBitmap() const { return bitmap_; }

 private:
  TFormMain* Main() const;
  void ShowCurrentPortrait();
  TBitmap32 bitmap_;
};

// The standing portrait preview (null before it is created).
extern TFormPreview* FormPreview;
void RegisterFormPreview();
