#include "online/forms/FormPassword.h"

#include <QLabel>
#include <QLineEdit>

#include "online/forms/OnlineControls.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/Skins.h"
#include "shell/forms/TermText.h"

namespace {
// Rows of the message box's button sheet, whose picture this prompt shares.
constexpr int kYesRowTop = 0;
constexpr int kNoRowTop = 24;
}  // namespace

TFormPassword::TFormPassword(QWidget* parent) : TSkinnedForm("FormPassword", parent) {
  BuildOnlineFrame(*this, {400, 200, std::nullopt, 173, 30}, ImageButtons, CaptionBar, ButtonExit);
  ButtonExit->OnClick = [this] { Finish(2); };
  LabelPassword = NewOnlineLabel(this, "LabelPassword", {40, 60, 320, 24});
  EditPassword = new QLineEdit(this);
  EditPassword->setObjectName("EditPassword");
  EditPassword->setGeometry(40, 92, 320, 26);
  EditPassword->setEchoMode(QLineEdit::Password);
  connect(EditPassword, &QLineEdit::returnPressed, this, [this] { Finish(1); });
  ButtonYes = NewSheetButton(this, "ButtonYes", ImageButtons, kYesRowTop, {128, 162, 48, 24});
  ButtonYes->OnClick = [this] { Finish(1); };
  ButtonNo = NewSheetButton(this, "ButtonNo", ImageButtons, kNoRowTop, {224, 162, 48, 24});
  ButtonNo->OnClick = [this] { Finish(2); };

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName", ""));
  CaptionBar->Caption = TermText("FormPasswordCaption", "Password");
  ButtonYes->setToolTip(TermText("ButtonOKHint", "OK"));
  ButtonNo->setToolTip(TermText("ButtonCloseHint", "Cancel"));
  LabelPassword->setText(TermText("FormPasswordLabelPasswordCaption", "Password:"));

  Skins = {"FormPassword.Skin", "FormMess.psd", "FormMessageButtons", "FormMessBtn.psd"};
  OnShow = [this] {
    PlaceOverAsker(*this);  // over the window that asks, as the message box
    result_ = 2;
    EditPassword->setFocus();
  };
  OnClose = [this] {
    ModalResult = result_;
  };
  OnKeyPress = [this](char& key) {
    if (key == 13) Finish(1);
    if (key == 27) Finish(2);
    if (key == 13 || key == 27) key = 0;
  };
}

void TFormPassword::Finish(int result) {
  result_ = result;
  ModalResult = result;
  close();
}
