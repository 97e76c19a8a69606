#include "shell/forms/FormMessage.h"

#include <QApplication>
#include <QEventLoop>
#include <QScreen>
#include <algorithm>
#include <QLabel>
#include <QPalette>

#include "shell/Termins.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/TermText.h"

TFormMessage* FormMessage = nullptr;

namespace {

#ifdef NDEBUG
constexpr bool kRefuseEmptyMessages = false;
#else
constexpr bool kRefuseEmptyMessages = true;
#endif

// Rows of the box's button sheet ("FormMessageButtons"): three frames each, normal,
// hover, pressed.
constexpr int kYesRowTop = 0;
constexpr int kNoRowTop = 24;
constexpr int kExitRowTop = 48;

TGraphicButton* SheetButton(QWidget* parent, const char* name, TMyImage* sheet, int rowTop, QRect bounds) {
  TGraphicButton* button = NewSheetButton(parent, name, sheet, rowTop, bounds);
  button->SetActiveAlpha(128);
  return button;
}

void SetTextColour(QWidget* widget, QColor colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  widget->setPalette(palette);
}

}  // namespace

void PlaceOverAsker(QWidget& box) {
  const QWidget* asker = OpeningWindow(&box);
  const QRect over = asker ? asker->frameGeometry() : QRect();
  QScreen* screen = asker ? asker->screen() : QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
  const QPoint centre = asker ? over.center() : area.center();
  QRect placed(QPoint(0, 0), box.size());
  placed.moveCenter(centre);
  placed.moveLeft(std::clamp(placed.left(), area.left(), std::max(area.left(), area.right() + 1 - placed.width())));
  placed.moveTop(std::clamp(placed.top(), area.top(), std::max(area.top(), area.bottom() + 1 - placed.height())));
  box.move(placed.topLeft());
}

TFormMessage::TFormMessage(QWidget* parent) : TSkinnedForm("FormMessage", parent) {
  // Laid out for the default skin: a 30-pixel title strip, the text in the dark well
  // below it, the two buttons in the strip at the bottom.
  FormMessage = this;
  resize(400, 200);
  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, 400, 30);
  SetTextColour(CaptionBar, QColor(240, 248, 248));
  ButtonExit = SheetButton(CaptionBar, "ButtonExit", ImageButtons, kExitRowTop, {173, 0, 19, 20});
  TakeMainWindowLooks(*ButtonExit);
  ButtonExit->OnClick = [this] { Answer(kMessageClosed); };
  LabelMessage = new QLabel(this);
  LabelMessage->setObjectName("LabelMessage");
  LabelMessage->setGeometry(24, 48, 352, 98);
  LabelMessage->setAlignment(Qt::AlignCenter);
  LabelMessage->setWordWrap(true);
  SetTextColour(LabelMessage, QColor(225, 230, 236));
  ButtonYes = SheetButton(this, "ButtonYes", ImageButtons, kYesRowTop, {128, 162, 48, 24});
  ButtonYes->OnClick = [this] { Answer(kMessageYes); };
  ButtonNo = SheetButton(this, "ButtonNo", ImageButtons, kNoRowTop, {224, 162, 48, 24});
  ButtonNo->OnClick = [this] { Answer(kMessageNo); };

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName", ""));
  CaptionBar->Caption = TermText("FormMessageCaption", "");
  ButtonYes->setToolTip(TermText("ButtonYesHint", ""));
  ButtonNo->setToolTip(TermText("ButtonNoHint", ""));

  Skins = {"FormMessage.Skin", "FormMess.psd", "FormMessageButtons", "FormMessBtn.psd"};
  OnShow = [this] {
    PlaceOverAsker(*this);  // the skin gives the box its size
    MessageResult = kMessageClosed;
  };
  // However the box goes away, the question it showed has its answer.
  OnHide = [this] {
    if (pendingAnswer_) *pendingAnswer_ = MessageResult;
    pendingAnswer_ = nullptr;
    busy_ = false;
  };
  OnKeyPress = [this](char& key) {
    if (key == 13) Answer(kMessageYes);
    if (key == 27) Answer(kMessageClosed);
    if (key == 13 || key == 27) key = 0;
  };
}

TFormMessage::~TFormMessage() {
  if (FormMessage == this) FormMessage = nullptr;
}

void TFormMessage::Answer(int result) {
  MessageResult = result;
  close();
}

void TFormMessage::SetKind(int kind) {
  if (kind == mbkYesNo) {
    ButtonNo->setVisible(true);
    ButtonYes->setToolTip(TermText("ButtonYesHint", "Yes"));
    ButtonNo->setToolTip(TermText("ButtonNoHint", "No"));
  } else if (kind == mbkOKCancel) {
    ButtonNo->setVisible(true);
    ButtonYes->setToolTip(TermText("ButtonOKHint", "OK"));
    ButtonNo->setToolTip(TermText("ButtonCloseHint", "Cancel"));
  }
}

int TFormMessage::Ask(const QString& text, int kind) {
  QPointer<TFormMessage> self(this);
  // A question asked while another is up runs inside that one's loop: it waits for
  // the earlier question's answer, then takes the box over.
  while (self && busy_ && !ApplicationTerminated()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  if (!self || ApplicationTerminated()) return kMessageClosed;
  int answer = kMessageClosed;
  busy_ = true;
  pendingAnswer_ = &answer;
  LabelMessage->setText(text);
  SetKind(kind);
  ShowSkinnedModal(*this);
  if (self && pendingAnswer_ == &answer) {
    // The loop ended without the box hiding (the application is ending).
    answer = MessageResult;
    pendingAnswer_ = nullptr;
    busy_ = false;
  }
  QCoreApplication::processEvents();
  return answer;
}

TFormMessage& MessageForm() {
  if (!FormMessage) new TFormMessage();
  return *FormMessage;
}

void RegisterFormMessage() {
  RegisterStandingForm("FormMessage", [] { return static_cast<QWidget*>(&MessageForm()); });
}

namespace {

// A box is never empty: an empty question above all leaves the user guessing,
// and a key without a text is a fault of the installation or of the caller.
QString ShowableText(std::string text, std::string_view named) {
  if (text.empty()) {
    if (kRefuseEmptyMessages) qFatal("The message box was given no text: %.*s", int(named.size()), named.data());
    qCritical("The message box was given no text: %.*s", int(named.size()), named.data());
    text = named;
  }
  return DisplayText(text);
}

}  // namespace

int ShowMessageBox(std::string_view keyOrText, int kind, bool isLiteral, std::string_view defaultText) {
  const std::string text = isLiteral ? std::string(keyOrText) : WithoutSound(GetTerm(keyOrText, ProgramTexts(), defaultText));
  const int answer = MessageForm().Ask(ShowableText(text, isLiteral ? "(an empty text)" : keyOrText), kind);
  return answer == kMessageYes ? kMessageYes : kMessageNo;
}

int AskYesNoOrCancel(std::string_view text) {
  return MessageForm().Ask(ShowableText(std::string(text), "(an empty question)"), mbkYesNo);
}
