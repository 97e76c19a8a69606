#pragma once
// The help window: the help page of a topic (a window's Name on F1, "Contents",
// "About"), its links, its history, printing, and the switch for tips.
#include <string>
#include <string_view>

#include "shell/forms/PageWindow.h"

class TGraphicButton;
struct TMainSettings;

class TFormHelp : public TPageForm {
  Q_OBJECT

 public:
  // Shows the pages of the help folder of `settings`; its tips switch turns
  // their ShowTips on and off.
  explicit TFormHelp(TMainSettings& settings, QWidget* parent = nullptr);
  ~TFormHelp() override;

  TGraphicButton* ButtonContents;
  TGraphicButton* ButtonStepBack;
  TGraphicButton* ButtonPrint;
  TGraphicButton* ButtonTips;
  TGraphicButton* ButtonAbout;

  // Prints the page shown; a failure is reported in the message box.
  void PrintPage();

  const TMainSettings& Settings() const { return settings_; }

 private:
  TMainSettings& settings_;
};

// The standing help window (null before it is created).
extern TFormHelp* FormHelp;
void RegisterFormHelp(TMainSettings& settings);

// Shows the help page of `topic` ("Contents" when it has none); with `isLink`,
// `topic` is a "help://" link naming the page itself.
void ShowHelp(std::string_view topic, bool isLink = false);

// What a link clicked in a tips or help page does: web and mail addresses go to
// the desktop, "help://" pages to the help window, video clips to the clip
// player; true when the link was dealt with (the viewer follows none of these).
bool HandlePageLink(const std::string& link);
