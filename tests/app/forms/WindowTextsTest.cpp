// Every text a window asks for while it is made, keys the code builds from window
// and control names, from tables and from the settings included, has a text in the
// table that ships: a user never meets an empty caption, hint or label.
#include <gtest/gtest.h>

#include <QPointer>
#include <map>
#include <set>
#include <string>

#include "app/Program.h"
#include "editor/CatalogIndex.h"
#include "editor/MontageDesk.h"
#include "editor/forms/FormAdjust.h"
#include "editor/forms/MainWindowLinks.h"
#include "editor/forms/FormBaldHead.h"
#include "editor/forms/FormCatalog.h"
#include "editor/forms/FormColorCalibration.h"
#include "editor/forms/FormLayerRegionEdit.h"
#include "editor/forms/FormLayerRegions.h"
#include "editor/forms/FormLayerSave.h"
#include "editor/forms/FormLayers.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMask.h"
#include "editor/forms/FormMontage.h"
#include "editor/forms/FormPreview.h"
#include "editor/forms/FormQueries.h"
#include "editor/forms/FormSetup.h"
#include "editor/forms/FormTemplates.h"
#include "editor/forms/FormVideo.h"
#include "editor/forms/MainShellForm.h"
#include "exchange/forms/FormCamera.h"
#include "exchange/forms/FormEmail.h"
#include "exchange/forms/FormLoadSave.h"
#include "exchange/forms/FormPostCard.h"
#include "exchange/forms/FormPrint.h"
#include "exchange/forms/FormShopList.h"
#include "online/forms/FormChat.h"
#include "online/forms/FormDownloadElements.h"
#include "online/forms/FormFromGallery.h"
#include "online/forms/FormInetModes.h"
#include "online/forms/FormInetReg.h"
#include "online/forms/FormPassword.h"
#include "online/forms/FormPublisherMessages.h"
#include "online/forms/FormToGallery.h"
#include "online/forms/FormViewWork.h"
#include "online/forms/OnlineMessages.h"
#include "picture/Layer.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/InterfaceInfo.h"
#include "shell/MainSettings.h"
#include "shell/Termins.h"
#include "shell/forms/FormHelp.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/FormTips.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/SkinnedForm.h"
#include "shell/forms/TermText.h"
#include "shell/forms/StandingForms.h"
#include "support/FakeWorkPicture.h"
#include "support/ShippedTexts.h"
#include "support/TestPaths.h"

namespace {

class WindowTexts : public ::testing::Test {
 protected:
  TInterface interface_;
  TUseInterface useInterface_{interface_};
  TTestTexts texts_;  // the program's texts, loaded below as the start-up loads them
  void SetUp() override {
    texts_.Texts.Watch = [this](std::string_view key) { asked_.emplace(key); };
    SetProgramFolders(BuildDir() / "Tressary");
    interface_.Dir = "Intfaces\\";
    settings_.Ini = TIniFile(InstallationFolder() + "Tressary.ini", false);
    LoadInterface(interface_, settings_.Ini, 1024, 768, nullptr);  // the installation's interface, as the start-up reads it
    SetMessagePresenter([](TMessageBoxKind, const std::string&) {});
    SetOnlineMessageSink(RecordShippedMessages(messages_));
    // The standing windows, made as the start-up and their first use make them.
    ClearStandingForms();
    ReadMainWindowData(settings_, texts_.Texts);
    RegisterProgramWindows(settings_, templates_);
    auto* main = qobject_cast<TFormMain*>(CreateStandingForms());
    ASSERT_NE(main, nullptr);
    ConnectMainWindow(*main);  // the adjust window is made over the main window's desk
    MakeStandingForms();
    RegisterVideoPlayers(settings_);
    RegisterFormCatalog(settings_, catalog_);
  }
  void TearDown() override {
    while (!made_.empty()) {
      delete made_.back().data();
      made_.pop_back();
    }
    std::vector<QPointer<QWidget>> forms;
    for (QWidget* form : ScreenForms()) forms.emplace_back(form);
    for (const QPointer<QWidget>& form : forms) delete form.data();
    ClearStandingForms();
    // What the registrations left holding this test's settings.
    SetCatalogPresenter(nullptr);
    ShellHooks().PlayVideoClip = nullptr;
    ShellHooks().ShowTip = nullptr;
    ShellHooks().ShowWelcomeTip = nullptr;
    SetOnlineMessageSink({});
    SetMessagePresenter(nullptr);
    SetProgramFolders({});
  }

  // Besides the standing windows, those made for a call, made as their callers make them.
  void MakeCallWindows() {
    auto* main = qobject_cast<TFormMain*>(FindScreenForm("FormMain"));
    ASSERT_NE(main, nullptr);
    work_.picture = TBitmap32(60, 60, Color32(200, 40, 40));
    Make<TFormPostCard>(work_, settings_);
    Make<TFormShopList>(BuildDir() / "Tressary", std::vector<TShopListLayer>{}, settings_);
    Make<TFormVideoClip>();
    Make<TFormVideo>();
    Make<TFormBaldHead>(portrait_, TPoint{20, 20}, TPoint{0, 0});
    Make<TFormColorCalibration>(portrait_, settings_);
    TMontageDesk& desk = main->DeskWindow()->Desk();
    auto layer = std::make_unique<TLayer>(desk, TBitmap32(30, 20, Color32(120, 80, 40)), TNewLayer{"Hair"});
    TLayer* hair = layer.get();
    desk.InsertLayer(std::move(layer));
    Make<TFormLayerSave>(desk, hair, settings_, main->Templates());
    Make<TFormInetReg>(settings_);
    Make<TFormPassword>();
    Make<TFormDownloadElements>(settings_);
    Make<TFormFromGallery>(settings_);
    Make<TFormToGallery>(settings_);
    Make<TFormPublisherMessages>(settings_);
    Make<TFormViewWork>();
    auto* chat = Make<TFormChat>(settings_);
    Make<TFormChatReg>(chat->Client());
    chat->OpenTalkWith("bob");
    ShowCatalogPage("Index");
  }
  template <typename T, typename... A>
  T* Make(A&&... args) {
    auto* form = new T(std::forward<A>(args)...);
    made_.emplace_back(form);
    return form;
  }

  TMainSettings settings_;
  TProgramTemplates templates_;
  TCatalogIndex catalog_;
  FakeWork work_;
  const TBitmap32 portrait_{40, 40, Color32(210, 170, 150)};
  std::vector<QPointer<QWidget>> made_;  // deleted with the other windows
  std::set<std::string> asked_;
  std::vector<std::string> messages_;
};

}  // namespace

TEST_F(WindowTexts, EveryTextTheWindowsAskForShips) {
  MakeCallWindows();
  // The controls' hints are taken as each window is readied to show.
  for (QWidget* form : ScreenForms()) form->ensurePolished();

  texts_.Texts.Watch = nullptr;
  const std::set<std::string> asked = std::move(asked_);
  // Empty on purpose: a saved template is named after its layer as it stands.
  const std::set<std::string> emptyByDesign = {"FormLayerSaveTemplateNamePrefix", "FormLayerSaveTemplateNamePostfix"};
  // A picture, a panel or a label of the main window takes a hint when the table
  // gives one; a control a user acts on always has its own.
  auto decoration = [](const std::string& key) {
    return key.ends_with("Hint") && (key.starts_with("Image") || key.starts_with("Panel") || key.starts_with("Label"));
  };
  for (const std::string& key : asked) {
    if (emptyByDesign.contains(key) || decoration(key)) continue;
    EXPECT_FALSE(WithoutSound(GetTerm(key, ShippedTermins(), "")).empty()) << key << " has no text in data/termins.txt";
  }
  // Keys built at run time were among them.
  for (const char* built :
       {"FormSetupButtonPlayMusicHint", "ButtonLoadCameraHint", "FormHelpButtonAboutCaption", "ButtonVideoStepCaption",
        "ButtonTemplateHairWHint", "FormMainButtonShoppingHint", "SliderOpacityHint", "PaletteButtonColorHint",
        "FormRegistrationItemCountryCaption", "FormFromGalleryEyeColor"})
    EXPECT_TRUE(asked.contains(built)) << built;
}

TEST_F(WindowTexts, EachControlTakesTheHintKeyedByItsWindowsAndItsOwnName) {
  MakeCallWindows();
  // Each named control's hint, by the key its window and its name make.
  std::map<std::string, QString> hints;
  for (QWidget* widget : ScreenForms()) {
    auto* form = qobject_cast<TSkinnedForm*>(widget);
    if (!form) continue;
    form->ensurePolished();
    for (QWidget* control : form->findChildren<QWidget*>())
      if (!control->objectName().isEmpty())
        hints[form->HintPrefix.value_or(form->Topic()) + control->objectName().toStdString() + "Hint"] =
            control->toolTip();
  }
  // The controls whose windows named these keys one by one before, by the keys' prefix.
  const std::pair<std::string_view, std::vector<std::string_view>> named[] = {
      {"",
       {"ButtonFace", "ButtonHand", "ButtonBody", "ButtonOK", "ButtonCancel", "ButtonStartDownload", "ButtonStopDownload",
        "ButtonElementsPreview", "ButtonLoadImage", "ButtonLoadClipboard", "ButtonLoadCamera", "ButtonLoadTwain",
        "ButtonSaveImage", "ButtonSaveClipboard", "ButtonLoadWork", "ButtonSaveWork", "ButtonSendImage",
        "ButtonSendWork"}},
      {"FormRegistration", {"ButtonStartRegistration", "ButtonStopRegistration"}},
      {"FormBaldHead", {"ButtonBaldHeadMode", "ButtonCancel", "ButtonEraserMode", "ButtonFillBlank", "SliderEraserSize"}},
      {"FormCamera", {"ButtonVideoSource", "ButtonVideoFormat", "ButtonVideoDisplay", "ButtonSnapshot"}},
      {"FormCatalog", {"ButtonContents", "ButtonPrint", "ButtonStepBack"}},
      {"FormColorCalibration",
       {"ButtonCalibrationColor", "ButtonCancel", "ButtonCurrentColor", "ButtonDefaultColor", "ButtonOK",
        "ButtonUndoCalibration"}},
      {"FormEmail", {"ButtonCancel", "ButtonOK"}},
      {"FormFromGallery", {"ButtonRequest", "ButtonTree"}},
      {"FormHelp", {"ButtonAbout", "ButtonContents", "ButtonPrint", "ButtonStepBack", "ButtonTips"}},
      {"FormLayerRegionEdit", {"ButtonCancel", "ButtonClear", "ButtonEditRegion", "ButtonGrid", "ButtonLasso", "ButtonOK"}},
      {"FormLayerRegions", {"ButtonEditRegion", "ButtonSaveRegion"}},
      {"FormLayerSave", {"ButtonCancel", "ButtonOK"}},
      {"FormPostCard", {"ButtonAddText", "ButtonPrint", "ButtonSave", "ButtonSend"}},
      {"FormPostCardBack",
       {"ButtonBackgroundColor", "ButtonCenter", "ButtonLoadImage", "ButtonSetColor", "ButtonStretch", "ButtonTile"}},
      {"FormPostCardText", {"ButtonCancel", "ButtonOK", "ButtonShadowColor", "ButtonTextColor"}},
      {"FormPrint",
       {"ButtonCancel", "ButtonChangeDir", "ButtonPrint", "ButtonPrintSetup", "FileListBox", "ButtonPage1", "ButtonPage2",
        "ButtonPage3", "ButtonPage4"}},
      {"FormSetup",
       {"ButtonAddMusicFile", "ButtonCurrentCalibrationColor", "ButtonDefaultCalibrationColor", "ButtonOK",
        "ButtonPlayMusic", "ButtonSaveSettings", "ButtonShowTips", "ButtonSoundEffects"}},
      {"FormTemplates", {"ButtonReplaceSameType", "LabelNumPartsShow", "LabelNumPartsTotal"}},
      {"FormTips", {"ButtonBack"}},
      {"FormToGallery", {"ButtonSendAsJpeg", "ButtonSendAsPrivate", "ButtonSendAsPublic", "ButtonSendAsWork"}},
  };
  for (const auto& [prefix, controls] : named)
    for (std::string_view control : controls) {
      const std::string key = std::string(prefix) + std::string(control) + "Hint";
      ASSERT_TRUE(HasTerm(key, ShippedTermins())) << key << " is not in data/termins.txt";
      ASSERT_TRUE(hints.contains(key)) << key << " reaches no control";
      EXPECT_EQ(hints[key], TermText(key)) << key;
    }
}

