#include "exchange/forms/FormEmail.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>

#include "editor/MainShell.h"
#include "exchange/WorkMailer.h"
#include "exchange/mail/SendMail.h"
#include "platform/Text.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/TermText.h"

TFormEmail* FormEmail = nullptr;

namespace {

constexpr int kClientWidth = 500;
constexpr int kClientHeight = 420;
// Rows of the OK and cancel frames in the message box's button sheet, which the
// window shares.
constexpr int kOKRowTop = 0;
constexpr int kCancelRowTop = 24;

void ShowMessage(std::string_view key) { ShowMessageBox(key, mbkOKCancel, false, MailMessageDefault(key)); }

QLabel* NewLabel(QWidget* parent, const char* name, int top) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setGeometry(24, top, 140, 20);
  label->setStyleSheet("color: #e8f2f4;");  // light on the skin's dark well
  return label;
}

QLineEdit* NewEdit(QWidget* parent, const char* name, int top) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setGeometry(170, top, 306, 22);
  return edit;
}

}  // namespace

TFormEmail::TFormEmail(const TMainSettings& settings, QWidget* parent)
    : TSkinnedForm("FormEmail", parent), settings_(settings) {
  FormEmail = this;
  resize(kClientWidth, kClientHeight);
  PlaceFromFrame({106, 70});

  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, kClientWidth, 24);
  ButtonExit = NewSheetButton(CaptionBar, "ButtonExit", ImageButtons, 48, {kClientWidth - 27, 2, 19, 20});
  TakeMainWindowLooks(*ButtonExit);
  ButtonExit->OnClick = [this] { ButtonExitClick(); };

  LabelEmailAddress = NewLabel(this, "LabelEmailAddress", 46);
  EditEmailAddress = NewEdit(this, "EditEmailAddress", 44);
  LabelName = NewLabel(this, "LabelName", 76);
  EditName = NewEdit(this, "EditName", 74);
  LabelFromName = NewLabel(this, "LabelFromName", 106);
  EditFromName = NewEdit(this, "EditFromName", 104);
  LabelSubject = NewLabel(this, "LabelSubject", 136);
  EditSubject = NewEdit(this, "EditSubject", 134);
  LabelLetter = NewLabel(this, "LabelLetter", 166);
  Memo = new QPlainTextEdit(this);
  Memo->setObjectName("Memo");
  Memo->setGeometry(24, 188, 452, 150);
  ProgressBar = new QProgressBar(this);
  ProgressBar->setObjectName("ProgressBar");
  ProgressBar->setGeometry(24, 348, 452, 14);
  ProgressBar->setRange(0, 100);
  ProgressBar->setTextVisible(false);
  ProgressBar->hide();
  ButtonOK = NewSheetButton(this, "ButtonOK", ImageButtons, kOKRowTop, {330, 376, 48, 24});
  ButtonOK->OnClick = [this] { ButtonSendClick(); };
  ButtonCancel = NewSheetButton(this, "ButtonCancel", ImageButtons, kCancelRowTop, {410, 376, 48, 24});
  ButtonCancel->OnClick = [this] { close(); };

  Mail = new SendMail(this);
  Mail->setObjectName("SendMail");
  Mail->OnMailInfo = [this](SendMail*, SendMailInfo info, const std::string& text) { MailInfo(info, text); };
  Mail->OnMailError = [this](SendMail*, SendMailError, const std::string& text) { MailError(text); };
  Mail->OnDone = [this](SendMail*) { MailDone(); };

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName"));
  CaptionBar->Caption = TermText("FormEmailCaption");
  LabelEmailAddress->setText(TermText("FormEmailLabelEmailAddressCaption"));
  LabelName->setText(TermText("FormEmailLabelNameCaption"));
  LabelFromName->setText(TermText("FormEmailLabelFromNameCaption"));
  LabelSubject->setText(TermText("FormEmailLabelSubjectCaption"));
  LabelLetter->setText(TermText("FormEmailLabelLetterCaption"));

  LookUpAccount();
  Skins = {"FormEmail.Skin", "FormEMail.psd", "FormEmailButtons", "FormMessBtn.psd"};
  OnShow = [this] { FormShow(); };
  OnClose = [this] { FormClose(); };
}

TFormEmail::~TFormEmail() {
  Mail->OnMailInfo = nullptr;
  Mail->OnMailError = nullptr;
  Mail->OnDone = nullptr;
  if (FormEmail == this) FormEmail = nullptr;
}

TMailAccount TFormEmail::SendingAccountNow() const {
  return SendingAccount(account_, settings_.MailServer, settings_.MailPort, settings_.MailFromAddress);
}

void TFormEmail::LookUpAccount() {
  account_ = DefaultMailAccount();
  const TMailAccount sending = SendingAccountNow();
  Mail->SetSMTP_Server(sending.Server);
  Mail->SMTP_Port = static_cast<std::uint16_t>(sending.Port);
  Mail->FROM_Address = sending.Address;
  Mail->FROM_Name = sending.Name;
}

bool TFormEmail::Sending() const { return Mail->Busy(); }

void TFormEmail::FormShow() {
  if (Sending()) return;
  // A mail account set up while the program runs counts from the next mail.
  LookUpAccount();
  EditName->clear();
  EditFromName->setText(QString::fromStdString(Mail->FROM_Name));
  EditSubject->setText(TermText("FormEmailDefaultSubjectText"));
  Memo->clear();
  // The previous recipient stays, for the next mail to the same person.
  EditEmailAddress->setFocus();
}

void TFormEmail::FormClose() {
  // A send must not go on unseen behind a closed window.
  if (Sending()) {
    announceSuccess_ = false;
    Mail->SetAction(TMailAction::Cancel_SendMail);
  }
}

void TFormEmail::ButtonExitClick() { close(); }

void TFormEmail::SendWithAttachment(const TMailAttachment* attachment) {
  if (Sending()) return;
  Mail->ClearAttachments();
  if (attachment) Mail->AddAttachment(*attachment);
  ModalResult = 0;
  ShowSkinnedModal(*this);
  // A window closed without a send leaves no attachment behind for the next.
  if (!Sending()) Mail->ClearAttachments();
}

void TFormEmail::SetSendingControls(bool sending) {
  for (QWidget* control : std::initializer_list<QWidget*>{EditEmailAddress, EditName, EditFromName, EditSubject, Memo,
                                                          ButtonOK, ButtonCancel})
    control->setEnabled(!sending);
  ProgressBar->setValue(0);
  ProgressBar->setVisible(sending);
}

void TFormEmail::ButtonSendClick() {
  if (Sending()) return;
  // The settings may have changed since the window was made.
  const TMailAccount sending = SendingAccountNow();
  const std::string address = Trim(EditEmailAddress->text().toStdString());
  if (sending.Server.empty() || address.empty() || !Contains(address, "@") || !Contains(address, ".")) {
    ShowMessage("MessageIncorrectEmailAddress");
    return;
  }
  // Servers refuse mail from an empty sender ("MAIL FROM:<>" is for bounces).
  if (sending.Address.empty()) {
    ShowMessage("MessageMailNoSenderAddress");
    return;
  }
  announceSuccess_ = true;
  errorSeen_ = false;
  SetSendingControls(true);
  Mail->SetSMTP_Server(sending.Server);
  Mail->SMTP_Port = static_cast<std::uint16_t>(sending.Port);
  Mail->FROM_Address = sending.Address;
  Mail->TO_Address = address;
  Mail->TO_Name = EditName->text().toStdString();
  Mail->FROM_Name = EditFromName->text().toStdString();
  Mail->Subject = EditSubject->text().toStdString();
  Mail->MailText.clear();
  const QStringList lines = Memo->toPlainText().split('\n');
  if (!Memo->toPlainText().isEmpty())
    for (const QString& line : lines) Mail->MailText.push_back(line.toStdString());
  Mail->SetAction(TMailAction::Send_Mail);
}

void TFormEmail::MailInfo(int info, const std::string& text) {
  if (info == kMailInfoAttachment) {
    ProgressBar->setValue(0);
  } else if (info == kMailInfoBase64Size) {
    ProgressBar->setMaximum(std::max(0, ParseIntDef(text, 0)));
  } else if (info == kMailInfoBase64Progress) {
    ProgressBar->setValue(ParseIntDef(text, 0));
  }
}

void TFormEmail::MailError(const std::string& text) {
  errorSeen_ = true;
  ShowMessageBox(text, mbkOKCancel, true);
  EditName->clear();
  Memo->clear();
}

void TFormEmail::MailDone() {
  SetSendingControls(false);
  Mail->ListTo.clear();
  Mail->ClearAttachments();
  close();
  if (!errorSeen_ && announceSuccess_) {
    announceSuccess_ = false;
    ShowMessage("MessageMailSentOK");
  }
}

void RegisterFormEmail(TMainSettings& settings) {
  RegisterStandingForm("FormEmail", [&settings](QWidget* owner) { return new TFormEmail(settings, owner); });
}
