#include "shell/forms/FormTips.h"

#include "platform/IniFile.h"
#include "shell/HelpPages.h"
#include "shell/MainSettings.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormHelp.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/HtmlViewer.h"
#include "shell/forms/PageWindow.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/TermText.h"
#include "platform/qt/VirtualKeys.h"

TFormTips* FormTips = nullptr;

namespace {
constexpr int kWidth = 440;
constexpr int kHeight = 320;
constexpr TStripButton kStrip[] = {{"ButtonBack", "Back"}};

// Tips are asked for before their window is made: the hooks make it, and ask
// `settings` whether tips are on until then.
void HookTips(const TMainSettings& settings) {
  ShellHooks().ShowTip = [&settings](const std::string& topic) { ShowTip(settings, topic); };
  ShellHooks().ShowWelcomeTip = [&settings] { ShowTip(settings, "Welcome"); };
}

}  // namespace

TFormTips::TFormTips(TMainSettings& settings, QWidget* parent)
    : TPageForm("FormTips", kWidth, kHeight, parent), settings_(settings) {
  FormTips = this;
  // A tip accompanies the window the user works in: it never takes the focus.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setWindowTitle("Tips");
  ButtonBack = BuildButtonStrip(kStrip).front();
  ButtonBack->OnClick = [this] { HTMLViewer->GoBack(); };
  PlaceFromFrame({488, 20});

  ApplyInterface(this);
  TakeCaption("FormTipsCaption", "Tips");
  HTMLViewer->SetBaseFolder(PageFolder(settings.TipsDir));
  HTMLViewer->OnHotSpotClick = HandlePageLink;

  Skins = {"FormTips.Skin", "FormTips.psd", "FormTipsButtons", "ButTips.psd"};
  OnShow = [this] {
    HTMLViewer->setFocus();
    SetWindowButtonPressed("FormSetup", "ButtonShowTips", true);
    SetWindowButtonPressed("FormHelp", "ButtonTips", true);
  };
  OnClose = [this] {
    SetWindowButtonPressed("FormSetup", "ButtonShowTips", false);
    SetWindowButtonPressed("FormHelp", "ButtonTips", false);
    // Closing the tips is the user's way of saying no more tips (until the
    // setting is turned on again); the ini keeps its value.
    settings_.ShowTips = false;
  };

  HookTips(settings_);
}

TFormTips::~TFormTips() {
  if (FormTips != this) return;
  FormTips = nullptr;
  ShellHooks().ShowTip = nullptr;
  ShellHooks().ShowWelcomeTip = nullptr;
}

void ShowTip(const TMainSettings& settings, std::string_view topic, bool userRequest, bool onlyIfFound) {
  // Unmade, the window would hold `settings`: no tip is made for nothing.
  if (!userRequest && !(FormTips ? FormTips->TipsOn() : settings.ShowTips)) return;
  TFormTips* tips = StandingForm<TFormTips>("FormTips");
  if (!tips) return;
  const TTopicPages pages{tips->Settings().Ini, kTipsTopics, tips->HTMLViewer->BaseFolder(), "Welcome"};
  if (!ShowTopicPage(*tips->HTMLViewer, pages, topic, onlyIfFound)) return;
  if (tips->isHidden()) tips->show();
  if (userRequest && tips->isMinimized()) tips->showNormal();
  tips->raise();
}

void RegisterFormTips(TMainSettings& settings) {
  RegisterStandingForm("FormTips", [&settings] { return new TFormTips(settings); });
  HookTips(settings);
}
