// The online hub's gates: which services need a work on the desk or the online
// account, what the user is told, and that the hub stays open when a gate stops.
#include <gtest/gtest.h>

#include "online/forms/FormInetModes.h"
#include "online/forms/OnlineMessages.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/MainSettings.h"
#include "shell/forms/GraphicButton.h"
#include "support/ShippedTexts.h"
#include "support/TestPaths.h"

namespace {

class InetModes : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessagePresenter([](TMessageBoxKind, const std::string&) {});
    SetOnlineMessageSink(RecordShippedMessages(messages_));
    SetProgramFolders(temp_.Path());
    settings_.Ini = TIniFile(temp_ / "Tressary.ini");
    InetModesLinks() = {};
    InetModesLinks().WorkOnDesk = [this] { return workOnDesk_; };
    InetModesLinks().RunPostCard = [] {};
    hub_ = std::make_unique<TFormInetModes>(settings_);
    auto record = [this](const char* name) { return [this, name] { opened_.push_back(name); }; };
    hub_->Services.Register = [this] {
      opened_.push_back("Register");
      if (registers_) {
        for (const char* key : {"FirstName", "SecondName", "EMail", "Serial"})
          settings_.Ini.WriteString("REGISTRATION", key, "7");
      }
    };
    hub_->Services.DownloadElements = record("DownloadElements");
    hub_->Services.FromGallery = record("FromGallery");
    hub_->Services.ToGallery = record("ToGallery");
    hub_->Services.Chat = record("Chat");
    hub_->Services.PostCard = record("PostCard");
    hub_->Services.PublisherMessages = record("PublisherMessages");
    hub_->Services.OpenSite = [this](const std::string& url) { opened_.push_back("site " + url); };
  }
  void TearDown() override {
    hub_.reset();
    InetModesLinks() = {};
    SetOnlineMessageSink({});
    SetMessagePresenter({});
    SetProgramFolders({});
  }

  // Clicks `button` on the shown hub: what opened, what was said, and whether
  // the hub is still open.
  struct TOutcome {
    std::vector<std::string> opened, messages;
    bool hubOpen = false;
  };
  TOutcome Click(TGraphicButton* button) {
    opened_.clear();
    messages_.clear();
    hub_->show();
    EXPECT_TRUE(button->isVisible()) << button->objectName().toStdString();
    button->OnClick();
    TOutcome outcome{opened_, messages_, hub_->isVisible()};
    hub_->close();
    return outcome;
  }
  TMainSettings settings_;

  TempFolder temp_;
  std::unique_ptr<TFormInetModes> hub_;
  std::vector<std::string> opened_, messages_;
  bool workOnDesk_ = false;
  bool registers_ = false;
};

using TList = std::vector<std::string>;

}  // namespace

TEST_F(InetModes, AnEmptyDeskStopsUploadAndPostCardOnly) {
  for (TGraphicButton* button : {hub_->ButtonUploadGallery, hub_->ButtonPostcard}) {
    const auto outcome = Click(button);
    EXPECT_EQ(outcome.messages, TList{"MessageWorkIsEmpty"});
    EXPECT_TRUE(outcome.opened.empty());
    EXPECT_TRUE(outcome.hubOpen);
  }
  const std::pair<TGraphicButton*, const char*> free[] = {{hub_->ButtonDownloadGallery, "FromGallery"},
                                                          {hub_->ButtonChat, "Chat"},
                                                          {hub_->ButtonPublisherMessages, "PublisherMessages"}};
  for (const auto& [button, window] : free) {
    const auto outcome = Click(button);
    EXPECT_EQ(outcome.opened, TList{window});
    EXPECT_TRUE(outcome.messages.empty());
    EXPECT_FALSE(outcome.hubOpen) << window << ": the hub closes before its service opens";
  }
  workOnDesk_ = true;
  EXPECT_EQ(Click(hub_->ButtonPostcard).opened, TList{"PostCard"});
}

TEST_F(InetModes, WithoutAnAccountRegistrationComesFirstAndMustSucceed) {
  workOnDesk_ = true;
  for (TGraphicButton* button : {hub_->ButtonDownloadElements, hub_->ButtonUploadGallery}) {
    const auto outcome = Click(button);
    EXPECT_EQ(outcome.opened, TList{"Register"}) << "no service window without the account";
    EXPECT_TRUE(outcome.hubOpen);
  }
  registers_ = true;
  EXPECT_EQ(Click(hub_->ButtonDownloadElements).opened, (TList{"Register", "DownloadElements"}));
  const auto outcome = Click(hub_->ButtonUploadGallery);
  EXPECT_EQ(outcome.opened, TList{"ToGallery"}) << "registered now: not offered again";
  EXPECT_FALSE(outcome.hubOpen);
}

TEST_F(InetModes, TheSiteAndPostCardButtonsShowOnlyWhenTheyLeadSomewhere) {
  hub_->show();
  EXPECT_FALSE(hub_->ButtonOpenSite->isVisible()) << "no publisher address";
  EXPECT_TRUE(hub_->ButtonPostcard->isVisible());
  hub_->close();
  InetModesLinks().RunPostCard = nullptr;
  settings_.Ini.WriteString("Publisher Links", "PublisherLinks", " https://publisher.example.com/ ");
  hub_->show();
  EXPECT_FALSE(hub_->ButtonPostcard->isVisible()) << "no composer";
  // The buttons shown close up: the site button takes the first place.
  EXPECT_EQ(hub_->ButtonOpenSite->y(), hub_->ButtonDownloadElements->y() - 34);
  EXPECT_EQ(hub_->ButtonPublisherMessages->y(), hub_->ButtonOpenSite->y() + 5 * 34);
  hub_->close();
  EXPECT_EQ(Click(hub_->ButtonOpenSite).opened, TList{"site https://publisher.example.com/"});
}
