#pragma once
// The help window: the help page of a topic (a window's Name on F1, "Contents",
// "About"), its links, its history, printing, and the switch for tips.
#include <QPrinter>
#include <memory>
#include <string>
#include <string_view>

#include "shell/forms/SkinnedForm.h"

class TCaptionBar;
class TGraphicButton;
class THtmlViewer;
class TMyImage;

class TFormHelp : public TSkinnedForm {
  Q_OBJECT

 public:
  explicit TFormHelp(QWidget* parent = nullptr);
  ~TFormHelp() override;

  TMyImage* ImageButtons;
  TGraphicButton* ButtonContents;
  TGraphicButton* ButtonStepBack;
  TGraphicButton* ButtonPrint;
  TGraphicButton* ButtonTips;
  TGraphicButton* ButtonAbout;
  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonMinimize;
  TGraphicButton* ButtonExit;
  THtmlViewer* HTMLViewer;

  // The printer the Print button uses: the system's default until a caller (a
  // test, a print set-up) changes it.
  QPrinter& Printer();
  // Prints the page shown; a failure is reported in the message box.
  void PrintPage();

 private:
  std::unique_ptr<QPrinter> printer_;
};

// The standing help window (null before it is created).
extern TFormHelp* FormHelp;
void RegisterFormHelp();

// Shows the help page of `topic` ("Contents" when it has none); with `isLink`,
// `topic` is a "help://" link naming the page itself.
void ShowHelp(std::string_view topic, bool isLink = false);

// What a link clicked in a tips or help page does: web and mail addresses go to
// the desktop, "help://" pages to the help window, video clips to the clip
// player; true when the link was dealt with (the viewer follows none of these).
bool HandlePageLink(const std::string& link);
