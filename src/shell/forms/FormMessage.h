#pragma once
// The one skinned message box through which every notice and yes/no question
// reaches the user, with its texts from the UI-text table.
#include <QString>
#include <string>
#include <string_view>

#include "shell/forms/SkinnedForm.h"

class QLabel;
class TCaptionBar;
class TGraphicButton;
class TMyImage;

enum TMessageKind { mbkYesNo = 0, mbkOKCancel = 1 };

// The answers: yes (or OK) and no (or cancel); a box closed by its caption's x,
// Esc or any other way without a button is kMessageClosed.
constexpr int kMessageYes = 6;
constexpr int kMessageNo = 7;
constexpr int kMessageClosed = 2;

class TFormMessage : public TSkinnedForm {
  Q_OBJECT

 public:
  explicit TFormMessage(QWidget* parent = nullptr);
  ~TFormMessage() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  QLabel* LabelMessage;
  TGraphicButton* ButtonYes;
  TGraphicButton* ButtonNo;
  TMyImage* ImageButtons;
  int MessageResult = kMessageClosed;

  // Shows `text` with the buttons and hints of `kind` modally; the answer, 6, 7
  // or kMessageClosed.
  // A call made while the box is up (from a timer, a worker's result) waits until
  // the question before it is answered, then asks its own.
  int Ask(const QString& text, int kind);
  bool Busy() const { return busy_; }

 private:
  void Answer(int result);
  void SetKind(int kind);

  bool busy_ = false;
  int* pendingAnswer_ = nullptr;
};

// Centres `box` over the window that asks (the innermost skinned modal window,
// else the active one, else the main window; over the screen when there is
// none), kept on that screen; placed by the program itself, so it holds with or
// without a window manager.
void PlaceOverAsker(QWidget& box);

// The standing message box (created at start-up; made on first use otherwise).
extern TFormMessage* FormMessage;
TFormMessage& MessageForm();
void RegisterFormMessage();

// Shows the message box: with `isLiteral` clear, `keyOrText` is a UI-text key looked
// up in the texts in use with `defaultText` as its default; with it set, the text itself.
// Returns 6 for yes (or OK) and 7 for no (or cancel, or any other way of closing).
// A box is never empty: a text that comes out empty stops a debug build, and
// otherwise shows its key.
int ShowMessageBox(std::string_view keyOrText, int kind = mbkOKCancel, bool isLiteral = false,
                   std::string_view defaultText = "");
// A yes/no question that closing answers apart: the text itself; 6, 7, or
// kMessageClosed when the box was closed without a button (Cancel).
int AskYesNoOrCancel(std::string_view text);
