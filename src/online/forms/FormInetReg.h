#pragma once
// The registration window: the user's names, e-mail address, birth date, sex and
// country go to the online-services script, which answers with the user's
// number; the account is then stored in the settings ini.
#include <memory>
#include <string>

#include "online/Registration.h"
#include "online/forms/QtOwnerThread.h"
#include "shell/forms/SkinnedForm.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTimer;
class TCaptionBar;
class TGraphicButton;
class TMyImage;
class TTransferContext;
struct TMainSettings;

class TFormInetReg : public TSkinnedForm {
  Q_OBJECT

 public:
  // Offers the choices of `settings` and writes the account into its ini.
  explicit TFormInetReg(TMainSettings& settings, QWidget* parent = nullptr);
  ~TFormInetReg() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  QLabel* LabelFirstName;
  QLabel* LabelSecondName;
  QLabel* LabelEmail;
  QLabel* LabelBirthDate;
  QLineEdit* EditFirstName;
  QLineEdit* EditSecondName;
  QLineEdit* EditEmail;
  QLineEdit* EditBirthDate;  // "dd.mm.yyyy" mask
  QComboBox* ComboBoxCountry;
  QComboBox* ComboBoxSex;
  TGraphicButton* ButtonStartRegistration;
  TGraphicButton* ButtonStopRegistration;
  QProgressBar* ProgressBar;
  QTimer* Timer1;
  TMyImage* ImageButtons;

  TRegistrationInput Input() const;
  // Shows the start button only when every field is filled in.
  void UpdateButtons();
  void ButtonStartRegistrationClick();
  void ButtonStopRegistrationClick();
  bool Transferring() const { return transferring_; }

 private:
  void EndTransfer();

  TMainSettings& settings_;
  TQtOwnerThread owner_;
  std::unique_ptr<TTransferContext> context_;
  std::string cgiServer_;
  bool transferring_ = false;
};

// Shows the registration window modally; "MessageRegistrationNecessary" when it
// closes without an account. The caller asks IsRegistered afterwards.
void EnsureRegistered(TMainSettings& settings);
