// Every text a window asks for while it is made, keys the code builds from window
// and control names, from tables and from the settings included, has a text in the
// table that ships: a user never meets an empty caption, hint or label.
#include <gtest/gtest.h>

#include <QPointer>
#include <set>
#include <string>

#include "editor/CatalogIndex.h"
#include "editor/EditorGlobals.h"
#include "editor/MontageDesk.h"
#include "editor/forms/FormAdjust.h"
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
#include "platform/qt/MessageBoxes.h"
#include "shell/InterfaceInfo.h"
#include "shell/ShellGlobals.h"
#include "shell/forms/FormHelp.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/FormTips.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/StandingForms.h"
#include "support/FakeWorkPicture.h"
#include "support/ShippedTexts.h"
#include "support/TestPaths.h"

namespace {

class WindowTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    SetTermLookupWatch([this](std::string_view key) { asked_.emplace(key); });
    ResetShellGlobals();
    ResetEditorGlobals();
    ExePath = (BuildDir() / "Tressary").string() + "/";
    InterfaceDir = "Intfaces\\";
    MainIni = std::make_unique<TIniFile>(ExePath + "Tressary.ini", false);
    InitInterfaceInfo(1024, 768, nullptr);  // the installation's interface, as the start-up reads it
    UpdateDeskView();
    SetMessagePresenter([](TMessageBoxKind, const std::string&) {});
    SetOnlineMessageSink(RecordShippedMessages(messages_));
    // The standing windows, made as the start-up makes them.
    ClearStandingForms();
    ReadMainWindowData();
    for (void (*reg)() : {RegisterMainWindow, RegisterFormAdjust, RegisterFormPreview, RegisterFormLayers,
                          RegisterFormMask, RegisterFormLoadSave, RegisterFormPrint, RegisterFormShopList,
                          RegisterFormCamera, RegisterFormEmail, RegisterFormQueries, RegisterFormTemplates,
                          RegisterFormSetup, RegisterFormInetModes, RegisterFormLayerRegions,
                          RegisterFormLayerRegionEdit, RegisterFormMessage, RegisterFormHelp, RegisterFormTips})
      reg();
    CreateStandingForms();
    RegisterVideoPlayers();
    RegisterFormCatalog();
  }
  void TearDown() override {
    std::vector<QPointer<QWidget>> forms;
    for (QWidget* form : ScreenForms()) forms.emplace_back(form);
    for (const QPointer<QWidget>& form : forms) delete form.data();
    ClearStandingForms();
    SetTermLookupWatch({});
    SetOnlineMessageSink({});
    SetMessagePresenter(nullptr);
    ResetEditorGlobals();
    ResetShellGlobals();
  }

  std::set<std::string> asked_;
  std::vector<std::string> messages_;
};

}  // namespace

TEST_F(WindowTexts, EveryTextTheWindowsAskForShips) {
  // Besides the standing windows, those made for a call, made as their callers make them.
  auto* main = qobject_cast<TFormMain*>(FindScreenForm("FormMain"));
  ASSERT_NE(main, nullptr);
  FakeWork work;
  work.picture = TBitmap32(60, 60, Color32(200, 40, 40));
  TFormPostCard card(work, ProgramSettings());
  TFormShopList shops(BuildDir() / "Tressary", {}, ProgramSettings());
  TFormVideoClip clip;
  TFormVideo videos;
  const TBitmap32 portrait(40, 40, Color32(210, 170, 150));
  TFormBaldHead bald(portrait, {20, 20}, {0, 0});
  TFormColorCalibration calibration(portrait, ProgramSettings());
  TMontageDesk& desk = main->DeskWindow()->Desk();
  auto layer = std::make_unique<TLayer>(desk, TBitmap32(30, 20, Color32(120, 80, 40)), TNewLayer{"Hair"});
  TLayer* hair = layer.get();
  desk.InsertLayer(std::move(layer));
  TFormLayerSave save(desk, hair);
  TFormInetReg registration;
  TFormPassword password;
  TFormDownloadElements elements;
  TFormFromGallery gallery(ProgramSettings());
  TFormToGallery upload;
  TFormPublisherMessages publisherMessages;
  TFormViewWork viewer;
  TFormChat chat;
  TFormChatReg account(chat.Client());
  chat.OpenTalkWith("bob");
  ShowCatalogPage("Index");

  const std::set<std::string> asked = std::move(asked_);
  SetTermLookupWatch({});
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
