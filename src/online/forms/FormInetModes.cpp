#include "online/forms/FormInetModes.h"

#include <QCoreApplication>

#include "editor/MainShell.h"
#include "online/Registration.h"
#include "online/forms/FormChat.h"
#include "online/forms/FormDownloadElements.h"
#include "online/forms/FormFromGallery.h"
#include "online/forms/FormInetReg.h"
#include "online/forms/FormPublisherMessages.h"
#include "online/forms/FormToGallery.h"
#include "online/forms/OnlineControls.h"
#include "online/forms/OnlineMessages.h"
#include "platform/ShellOpen.h"
#include "shell/MainSettings.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/TermText.h"

namespace {

constexpr int kWidth = 272;
constexpr int kButtonLeft = 26;
constexpr int kButtonWidth = 220;
constexpr int kButtonHeight = 30;
// All seven buttons fit the skin's well (from 42 to 282 of 330) when the
// site button shows too.
constexpr int kFirstButtonTop = 45;
constexpr int kButtonStep = 34;

template <class TWindow, class... TArgs>
void RunModal(const std::function<void(TWindow&)>& prepare = {}, TArgs&... args) {
  TWindow window(args...);
  if (prepare) prepare(window);
  ShowSkinnedModal(window);
  window.close();
}

}  // namespace

TInetModesLinks& InetModesLinks() {
  // Filled by the program's run (RegisterProgramWindows) for its whole life.
  static TInetModesLinks links;
  return links;
}

TFormInetModes::TFormInetModes(TMainSettings& settings, QWidget* parent)
    : TSkinnedForm("FormInetModes", parent), settings_(settings) {
  InSkinnedModal = true;
  BuildOnlineFrame(*this, {kWidth, 330, QPoint(120, 85), 253}, ImageButtons, CaptionBar, ButtonExit);

  struct TButton {
    TGraphicButton** Button;
    const char* Name;
    const char* HintKey;
    const char* HintDefault;
    const char* Caption;
    void (TFormInetModes::*Click)();
  };
  const TButton buttons[] = {
      {&ButtonOpenSite, "ButtonOpenSite", "ButtonOpenSiteHint", "", "Publisher's web site",
       &TFormInetModes::ButtonOpenSiteClick},
      {&ButtonDownloadElements, "ButtonDownloadElements", "ButtonDownloadElementsHint", "", "New elements",
       &TFormInetModes::ButtonDownloadElementsClick},
      {&ButtonDownloadGallery, "ButtonDownloadGallery", "ButtonDownloadGalleryHint", "", "Gallery",
       &TFormInetModes::ButtonDownloadGalleryClick},
      {&ButtonUploadGallery, "ButtonUploadGallery", "ButtonUploadGalleryHint", "", "Send to the gallery",
       &TFormInetModes::ButtonUploadGalleryClick},
      {&ButtonChat, "ButtonChat", "ButtonChatHint", "", "Chat", &TFormInetModes::ButtonChatClick},
      {&ButtonPostcard, "ButtonPostcard", "ButtonPostCardHint", "", "Post card", &TFormInetModes::ButtonPostcardClick},
      {&ButtonPublisherMessages, "ButtonPublisherMessages", "ButtonMessagesHint", "Publisher's Messages",
       "Publisher's messages", &TFormInetModes::ButtonPublisherMessagesClick},
  };
  int top = kFirstButtonTop;
  for (const TButton& b : buttons) {
    *b.Button = NewSheetButton(this, b.Name, ImageButtons, 0, {kButtonLeft, top, kButtonWidth, kButtonHeight});
    const auto click = b.Click;
    (*b.Button)->OnClick = [this, click] { (this->*click)(); };
    top += kButtonStep;
  }

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName", ""));
  CaptionBar->Caption = TermText("FormInetModesCaption", "Online");
  for (const TButton& b : buttons) {
    (*b.Button)->setToolTip(TermText(b.HintKey, b.HintDefault));
    (*b.Button)->SetCaption(TermText(std::string(b.Name) + "Caption", b.Caption));
  }

  Services.Register = [this] { EnsureRegistered(settings_); };
  Services.DownloadElements = [this] { RunModal<TFormDownloadElements>({}, settings_); };
  Services.FromGallery = [this] { RunModal<TFormFromGallery>({}, settings_); };
  Services.ToGallery = [this] {
    RunModal<TFormToGallery>(
        [](TFormToGallery& window) {
          if (InetModesLinks().PrepareUpload) InetModesLinks().PrepareUpload(window);
        },
        settings_);
  };
  Services.Chat = [this] { ChatConnectAndLogin(settings_); };
  Services.PostCard = [] {
    if (InetModesLinks().RunPostCard) InetModesLinks().RunPostCard();
  };
  Services.PublisherMessages = [this] {
    SetFrameButtonPressed(*this, "ButtonMessages", true);
    RunPublisherMessages(settings_);
    SetFrameButtonPressed(*this, "ButtonMessages", false);
  };
  Services.OpenSite = [](const std::string& url) { ShellOpen(url); };

  Skins = {"FormInetModes.Skin", "FormIMod.psd", "FormInetModesButtons", "ButIMode.psd"};
  OnShow = [this] {
    ArrangeButtons();
    SetFrameButtonPressed(*this, "ButtonInternet", true);
  };
  OnClose = [this] {
    SetFrameButtonPressed(*this, "ButtonInternet", false);
  };
}

void TFormInetModes::ArrangeButtons() {
  // The site button needs an address; post cards need the composer.
  ButtonOpenSite->setVisible(!PublisherLink(settings_.Ini, "PublisherLinks").empty());
  ButtonPostcard->setVisible(bool(InetModesLinks().RunPostCard));
  int top = kFirstButtonTop;
  for (TGraphicButton* button : {ButtonOpenSite, ButtonDownloadElements, ButtonDownloadGallery, ButtonUploadGallery,
                                 ButtonChat, ButtonPostcard, ButtonPublisherMessages}) {
    if (button->isHidden()) continue;
    button->move(kButtonLeft, top);
    top += kButtonStep;
  }
}

bool TFormInetModes::WorkOnDesk() const { return InetModesLinks().WorkOnDesk && InetModesLinks().WorkOnDesk(); }

bool TFormInetModes::EnsureAccount() {
  if (IsRegistered(settings_.Ini)) return true;
  if (Services.Register) Services.Register();
  return IsRegistered(settings_.Ini);
}

void TFormInetModes::CloseAndRun(const std::function<void()>& open) {
  hide();
  close();
  QCoreApplication::processEvents();
  if (open) open();
}

void TFormInetModes::ButtonOpenSiteClick() {
  const std::string url = PublisherLink(settings_.Ini, "PublisherLinks");
  if (url.empty()) return;
  CloseAndRun([this, url] { Services.OpenSite(url); });
}

void TFormInetModes::ButtonDownloadElementsClick() {
  if (!EnsureAccount()) return;
  CloseAndRun(Services.DownloadElements);
}

void TFormInetModes::ButtonDownloadGalleryClick() { CloseAndRun(Services.FromGallery); }

void TFormInetModes::ButtonUploadGalleryClick() {
  if (!WorkOnDesk()) {
    ShowOnlineMessage("MessageWorkIsEmpty");
    return;
  }
  if (!EnsureAccount()) return;
  CloseAndRun(Services.ToGallery);
}

void TFormInetModes::ButtonChatClick() { CloseAndRun(Services.Chat); }

void TFormInetModes::ButtonPostcardClick() {
  if (!WorkOnDesk()) {
    ShowOnlineMessage("MessageWorkIsEmpty");
    return;
  }
  CloseAndRun(Services.PostCard);
}

void TFormInetModes::ButtonPublisherMessagesClick() { CloseAndRun(Services.PublisherMessages); }

void RegisterFormInetModes(TMainSettings& settings) {
  RegisterStandingForm("FormInetModes", [&settings](QWidget* owner) { return new TFormInetModes(settings, owner); });
  RegisterCallWindow("FormPublisherMessages", [&settings] { RunPublisherMessages(settings); });
}
