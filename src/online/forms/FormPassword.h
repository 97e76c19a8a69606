#pragma once
// The small modal prompt for the password of a protected gallery work. Its
// caller reads EditPassword after the modal result: 1 confirmed, 2 declined.
#include "shell/forms/SkinnedForm.h"

class QLabel;
class QLineEdit;
class TCaptionBar;
class TGraphicButton;
class TMyImage;

class TFormPassword : public TSkinnedForm {
  Q_OBJECT

 public:
  explicit TFormPassword(QWidget* parent = nullptr);

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  QLabel* LabelPassword;
  QLineEdit* EditPassword;
  TGraphicButton* ButtonYes;
  TGraphicButton* ButtonNo;
  TMyImage* ImageButtons;

  // Closes with `result` (1 confirmed, 2 declined).
  void Finish(int result);

 private:
  int result_ = 2;
};
