#include "shell/forms/FormHelp.h"

#include "platform/IniFile.h"
#include "platform/ShellOpen.h"
#include "platform/qt/VirtualKeys.h"
#include "shell/HelpPages.h"
#include "shell/MainSettings.h"
#include "shell/Termins.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/HtmlViewer.h"
#include "shell/forms/PageWindow.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/TermText.h"

TFormHelp* FormHelp = nullptr;

namespace {
constexpr int kWidth = 660;
constexpr int kHeight = 540;

constexpr TStripButton kStrip[] = {
    {"ButtonContents", "Contents"}, {"ButtonStepBack", "Back"}, {"ButtonPrint", "Print"},
    {"ButtonTips", "Tips"},         {"ButtonAbout", "About"},
};

// Help is asked for before its window is made (F1 anywhere): the hook makes it.
void HookHelp() { ShellHooks().ShowHelp = [](const std::string& topic) { ShowHelp(topic); }; }
}  // namespace

TFormHelp::TFormHelp(TMainSettings& settings, QWidget* parent)
    : TPageForm("FormHelp", kWidth, kHeight, parent), settings_(settings) {
  FormHelp = this;
  setWindowTitle("Help");
  const std::vector<TGraphicButton*> strip = BuildButtonStrip(kStrip);
  ButtonContents = strip[0];
  ButtonStepBack = strip[1];
  ButtonPrint = strip[2];
  ButtonTips = strip[3];
  ButtonAbout = strip[4];
  // Over the middle of the main window, where the page is easy to read.
  if (const QWidget* frame = LayoutFrame()) PlaceFromFrame({(frame->width() - kWidth) / 2, (frame->height() - kHeight) / 2});
  ButtonContents->OnClick = [] { ShowHelp("Contents"); };
  ButtonAbout->OnClick = [] { ShowHelp("About"); };
  ButtonStepBack->OnClick = [this] { HTMLViewer->GoBack(); };
  ButtonPrint->OnClick = [this] { PrintPage(); };
  ButtonTips->OnClick = [this] {
    ButtonTips->SetPressed(!ButtonTips->Pressed());
    SwitchTips(settings_, ButtonTips->Pressed(), "FormHelp");
  };

  ApplyInterface(this);
  TakeCaption("FormHelpCaption", "Help");
  HTMLViewer->SetBaseFolder(PageFolder(settings_.HelpDir));
  HTMLViewer->OnHotSpotClick = HandlePageLink;

  Skins = {"FormHelp.Skin", "FormHelp.psd", "FormHelpButtons", "ButHelp.psd"};
  OnShow = [this] {
    SetFrameButtonPressed(*this, "ButtonHelp", true);
    ButtonTips->SetPressed(settings_.ShowTips);
  };
  OnClose = [this] {
    SetFrameButtonPressed(*this, "ButtonHelp", false);
  };
  HookHelp();
}

TFormHelp::~TFormHelp() {
  if (FormHelp != this) return;
  FormHelp = nullptr;
  ShellHooks().ShowHelp = nullptr;
}

void TFormHelp::PrintPage() {
  PrintShownPage("MessageHelpNotPrinted", "The help page could not be printed.");
}

void ShowHelp(std::string_view topic, bool isLink) {
  TFormHelp* help = StandingForm<TFormHelp>("FormHelp");
  if (!help) return;
  THtmlViewer& viewer = *help->HTMLViewer;
  const TTopicPages pages{help->Settings().Ini, kHelpTopics, viewer.BaseFolder(), "Contents"};
  if (isLink)
    ShowPageOrFallback(viewer, pages, HelpLinkFile(viewer.BaseFolder(), topic), false);
  else
    ShowTopicPage(viewer, pages, topic, false);
  if (help->isHidden()) help->show();
  if (help->isMinimized()) help->showNormal();
  help->raise();
  help->activateWindow();
}

bool HandlePageLink(const std::string& link) {
  const TPageLink route = RoutePageLink(link);
  switch (route.Route) {
    case TLinkRoute::Shell:
      ShellOpen(route.Target);
      return true;
    case TLinkRoute::HelpPage:
      ShowHelp(link, true);
      return true;
    case TLinkRoute::Video:
      if (ShellHooks().PlayVideoClip)
        ShellHooks().PlayVideoClip(route.Target);
      else
        ShowMessageBox("MessageVideoNotAvailable", mbkOKCancel, false,
                       "This version of the program cannot play video clips yet.");
      return true;
    case TLinkRoute::Refused: return true;
    case TLinkRoute::Viewer: return false;
  }
  return false;
}

void RegisterFormHelp(TMainSettings& settings) {
  RegisterStandingForm("FormHelp", [&settings] { return new TFormHelp(settings); });
  HookHelp();
}
