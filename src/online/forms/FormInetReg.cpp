#include "online/forms/FormInetReg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPointer>
#include <QTimer>

#include "online/OnlineServers.h"
#include "online/TransferContext.h"
#include "online/forms/OnlineControls.h"
#include "online/forms/OnlineMessages.h"
#include "platform/IniFile.h"
#include "shell/MainSettings.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/TermText.h"

namespace {

// Rows of the window's button sheet ("FormInetRegButtons"): start, stop.
constexpr int kStartRowTop = 0;
constexpr int kStopRowTop = 30;

// The values of a choice-list section ("name=value" lines): the items shown.
void FillChoices(QComboBox* box, const TIniFile& settings, const char* section, const char* captionKey) {
  box->clear();
  box->setPlaceholderText(TermText(captionKey, ""));
  for (const std::string& line : settings.ReadSectionValues(section)) {
    const std::size_t eq = line.find('=');
    box->addItem(QString::fromStdString(eq == std::string::npos ? line : line.substr(eq + 1)));
  }
  box->setCurrentIndex(-1);
}

QLineEdit* NewEdit(QWidget* parent, const char* name, QRect bounds) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setGeometry(bounds);
  return edit;
}

}  // namespace

TFormInetReg::TFormInetReg(TMainSettings& settings, QWidget* parent)
    : TSkinnedForm("FormInetReg", parent), settings_(settings) {
  BuildOnlineFrame(*this, {344, 300, QPoint(75, 55), 324}, ImageButtons, CaptionBar, ButtonExit);

  LabelFirstName = NewOnlineLabel(this, "LabelFirstName", {20, 36, 130, 22});
  EditFirstName = NewEdit(this, "EditFirstName", {160, 36, 164, 24});
  LabelSecondName = NewOnlineLabel(this, "LabelSecondName", {20, 68, 130, 22});
  EditSecondName = NewEdit(this, "EditSecondName", {160, 68, 164, 24});
  LabelEmail = NewOnlineLabel(this, "LabelEmail", {20, 100, 130, 22});
  EditEmail = NewEdit(this, "EditEmail", {160, 100, 164, 24});
  LabelBirthDate = NewOnlineLabel(this, "LabelBirthDate", {20, 132, 130, 22});
  EditBirthDate = NewEdit(this, "EditBirthDate", {160, 132, 164, 24});
  EditBirthDate->setInputMask("99.99.9999");
  ComboBoxSex = new QComboBox(this);
  ComboBoxSex->setObjectName("ComboBoxSex");
  ComboBoxSex->setGeometry(20, 168, 304, 24);
  ComboBoxCountry = new QComboBox(this);
  ComboBoxCountry->setObjectName("ComboBoxCountry");
  ComboBoxCountry->setGeometry(20, 200, 304, 24);
  ProgressBar = NewProgressBar(this, "ProgressBar", {20, 236, 304, 12});
  ButtonStartRegistration = NewSheetButton(this, "ButtonStartRegistration", ImageButtons, kStartRowTop,
                                           {127, 258, 90, 30});
  ButtonStartRegistration->OnClick = [this] { ButtonStartRegistrationClick(); };
  ButtonStopRegistration = NewSheetButton(this, "ButtonStopRegistration", ImageButtons, kStopRowTop,
                                          {127, 258, 90, 30});
  ButtonStopRegistration->OnClick = [this] { ButtonStopRegistrationClick(); };
  Timer1 = NewProgressTimer(this, ProgressBar);

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName", ""));
  CaptionBar->Caption = TermText("FormRegistrationCaption", "Registration");
  LabelFirstName->setText(TermText("FormRegistrationLabelFirstNameCaption", "First name"));
  LabelSecondName->setText(TermText("FormRegistrationLabelSecondNameCaption", "Second name"));
  LabelEmail->setText(TermText("FormRegistrationLabelEmailCaption", "E-mail"));
  LabelBirthDate->setText(TermText("FormRegistrationLabelBirthDateCaption", "Birth date"));
  HintPrefix = "FormRegistration";
  cgiServer_ = ReadOnlineServers(settings_.Ini, false).CGIServer;
  FillChoices(ComboBoxCountry, settings_.Ini, "T Country", "FormRegistrationItemCountryCaption");
  FillChoices(ComboBoxSex, settings_.Ini, "T Sex", "FormRegistrationItemSexCaption");
  context_ = std::make_unique<TTransferContext>(ETransferUse::Registration, owner_);

  for (QLineEdit* edit : {EditFirstName, EditSecondName, EditEmail, EditBirthDate})
    connect(edit, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
  for (QComboBox* box : {ComboBoxCountry, ComboBoxSex})
    connect(box, &QComboBox::currentIndexChanged, this, [this] { UpdateButtons(); });

  Skins = {"FormInetReg.Skin", "FormIReg.psd", "FormInetRegButtons", "ButInet.psd"};
  OnShow = [this] {
    UpdateButtons();
  };
  OnClose = [this] {
    if (transferring_) ButtonStopRegistrationClick();
  };
}

TFormInetReg::~TFormInetReg() = default;

TRegistrationInput TFormInetReg::Input() const {
  return {EditFirstName->text().toStdString(),   EditSecondName->text().toStdString(),
          EditEmail->text().toStdString(),       EditBirthDate->text().toStdString(),
          ComboBoxSex->currentIndex(),           ComboBoxCountry->currentIndex()};
}

void TFormInetReg::UpdateButtons() {
  if (transferring_) return;
  ButtonStartRegistration->setVisible(RegistrationComplete(Input()));
  ButtonStopRegistration->setVisible(false);
}

void TFormInetReg::ButtonStartRegistrationClick() {
  if (transferring_ || IsConnectionError(context_->AttemptConnect())) return;
  transferring_ = true;
  ProgressBar->setValue(0);
  ButtonStartRegistration->hide();
  ButtonStopRegistration->show();
  Timer1->start();
  QPointer<TFormInetReg> self(this);
  const ERegistrationResult result = RunRegistration(*context_, settings_.Ini, cgiServer_, Input());
  if (!self) return;
  EndTransfer();
  if (result == ERegistrationResult::Registered) {
    ShowOnlineMessage("MessageRegistrationSuccessful");
    ModalResult = 1;
    close();
  } else if (result == ERegistrationResult::Refused) {
    // A stopped registration did not reach the server either.
    ShowOnlineMessage("MessageNoAccessToServer");
  }
}

void TFormInetReg::ButtonStopRegistrationClick() {
  if (!transferring_) {
    close();
    return;
  }
  context_->Stop();
  EndTransfer();
}

void TFormInetReg::EndTransfer() {
  transferring_ = false;
  Timer1->stop();
  ProgressBar->setValue(0);
  UpdateButtons();
}

void EnsureRegistered(TMainSettings& settings) {
  auto form = std::make_unique<TFormInetReg>(settings);
  if (ShowSkinnedModal(*form) != 1) ShowOnlineMessage("MessageRegistrationNecessary");
  form->close();
}
