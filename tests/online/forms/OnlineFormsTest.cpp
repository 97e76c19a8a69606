// The registration window, the password prompt and the element-download window
// against the stand-in publisher, opened directly.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "editor/TemplateBase.h"
#include "online/Registration.h"
#include "online/forms/FormDownloadElements.h"
#include "online/forms/FormInetReg.h"
#include "online/forms/FormPassword.h"
#include "online/forms/OnlineControls.h"
#include "online/forms/OnlineMessages.h"
#include "picture/PackedPicture.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/InterfaceInfo.h"
#include "shell/MainSettings.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/SkinnedForm.h"
#include "support/PictureCompare.h"
#include "support/PictureJudges.h"
#include "support/ShippedTexts.h"
#include "support/StandInPublisher.h"
#include "support/TestPaths.h"

namespace {

std::string Packed(int size, std::uint8_t shade) {
  const auto bytes = PackBitmap32(TBitmap32(size, size, Color32(shade, 100, 50)), 90);
  return std::string(bytes.begin(), bytes.end());
}

class OnlineForms : public ::testing::Test {
 protected:
  void SetUp() override {
    // Skins are not installed here: their notes are recorded, not shown.
    SetMessagePresenter([](TMessageBoxKind, const std::string&) {});
    SetOnlineMessageSink(RecordShippedMessages(messages_));
    SetProgramFolders(temp_.Path());
    fs::create_directories(temp_ / "Intfaces" / "DEFAULT");
    settings_.Ini = TIniFile(temp_ / "Tressary.ini");
    settings_.Ini.WriteString("T Sex", "Sex1", "Female");
    settings_.Ini.WriteString("T Sex", "Sex2", "Male");
    settings_.Ini.WriteString("T Country", "C1", "Atlantis");
    settings_.Ini.WriteString("T Country", "C2", "Lemuria");
    settings_.Ini.WriteString("Servers", "CGIServer", publisher_.CgiServer());
    settings_.Ini.WriteString("TEMPLATE TYPES", "Type1", "1;HairW;Hairstyles for women;40;F;");
    settings_.Ini.WriteString("DIRECTORIES", "InterfaceDirName", "Intfaces");
    settings_.Ini.WriteString("Publishers", "Server1", publisher_.BaseUrl() + ";Stand-in;local;");
  }
  void TearDown() override {
    SetOnlineMessageSink({});
    SetMessagePresenter({});
    SetProgramFolders({});
  }
  TMainSettings settings_;

  TempFolder temp_;
  TStandInPublisher publisher_;
  std::vector<std::string> messages_;
};

TEST_F(OnlineForms, RegistrationStoresTheAccountOnlyWithASerial) {
  TFormInetReg form{settings_};
  form.show();
  EXPECT_EQ(form.ComboBoxCountry->count(), 2);
  EXPECT_EQ(form.ComboBoxSex->itemText(1), "Male");
  EXPECT_EQ(form.ComboBoxSex->currentIndex(), -1);
  QTest::keyClicks(form.EditFirstName, "Anna");
  QTest::keyClicks(form.EditSecondName, "Smith");
  QTest::keyClicks(form.EditEmail, "anna@example.com");
  form.ComboBoxSex->setCurrentIndex(0);
  form.ComboBoxCountry->setCurrentIndex(1);
  EXPECT_FALSE(form.ButtonStartRegistration->isVisible()) << "the birth date is still the empty mask";
  QTest::keyClicks(form.EditBirthDate, "01021990");
  EXPECT_TRUE(form.ButtonStartRegistration->isVisible());

  publisher_.SetSerial("");
  form.ButtonStartRegistrationClick();
  EXPECT_EQ(messages_, std::vector<std::string>{"MessageNoAccessToServer"});
  EXPECT_FALSE(IsRegistered(settings_.Ini));
  EXPECT_TRUE(form.isVisible()) << "the window stays for another try";
  EXPECT_TRUE(form.ButtonStartRegistration->isVisible());

  publisher_.SetSerial("4711");
  form.ButtonStartRegistrationClick();
  EXPECT_EQ(messages_.back(), "MessageRegistrationSuccessful");
  EXPECT_EQ(form.ModalResult, 1);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(publisher_.Registrations().back(), "Anna;Smith;anna@example.com;;;0;01.02.1990;1;JQ;0;0;");
  EXPECT_TRUE(IsRegistered(settings_.Ini));
  EXPECT_EQ(settings_.Ini.ReadString("REGISTRATION", "Serial", ""), "4711");
}

TEST_F(OnlineForms, AStoppedRegistrationSaysTheServerWasNotReached) {
  publisher_.Server().Route("/cgi-bin/kzserver", [](const TServedRequest&) {
    THttpReply reply;
    reply.silent = true;
    return reply;
  });
  TFormInetReg form{settings_};
  form.show();
  QTest::keyClicks(form.EditFirstName, "Anna");
  QTest::keyClicks(form.EditSecondName, "Smith");
  QTest::keyClicks(form.EditEmail, "anna@example.com");
  QTest::keyClicks(form.EditBirthDate, "01021990");
  form.ComboBoxSex->setCurrentIndex(0);
  form.ComboBoxCountry->setCurrentIndex(1);
  QTimer::singleShot(300, &form, [&form] { form.ButtonStopRegistrationClick(); });
  form.ButtonStartRegistrationClick();
  EXPECT_EQ(messages_, std::vector<std::string>{"MessageNoAccessToServer"});
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(form.ButtonStartRegistration->isVisible());
}

TEST_F(OnlineForms, ClosingTheRegistrationUnregisteredSaysItIsNecessary) {
  QTimer::singleShot(200, [] {
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* form = qobject_cast<TFormInetReg*>(widget); form && form->isVisible()) form->ButtonExit->OnClick();
  });
  EnsureRegistered(settings_);
  EXPECT_EQ(messages_, std::vector<std::string>{"MessageRegistrationNecessary"});
  EXPECT_FALSE(IsRegistered(settings_.Ini));
}

TEST_F(OnlineForms, TheFrameSitsByTheMainWindowAndItsExitClosesTheWindow) {
  TMyImage* sheet = nullptr;
  TCaptionBar* bar = nullptr;
  TGraphicButton* exit = nullptr;
  TSkinnedForm loose("FormLoose");
  loose.move(33, 44);
  BuildOnlineFrame(loose, {300, 200, QPoint(40, 30), 278}, sheet, bar, exit);
  EXPECT_EQ(loose.pos(), QPoint(33, 44)) << "no main window: left where it was";

  TSkinnedForm main("FormMain");
  main.move(100, 80);
  TSkinnedForm form("FormOnline", &main);
  BuildOnlineFrame(form, {300, 200, QPoint(40, 30), 278}, sheet, bar, exit);
  EXPECT_EQ(form.geometry(), QRect(140, 110, 300, 200));
  ASSERT_TRUE(sheet && bar && exit);
  EXPECT_EQ(sheet->objectName(), "ImageButtons");
  EXPECT_EQ(bar->geometry(), QRect(0, 0, 300, 20));
  EXPECT_EQ(exit->parentWidget(), bar);
  EXPECT_EQ(exit->geometry(), QRect(278, 0, 19, 20));
  TSkinnedForm unplaced("FormPrompt");
  unplaced.move(5, 6);
  BuildOnlineFrame(unplaced, {400, 200, std::nullopt, 173, 30}, sheet, bar, exit);
  EXPECT_EQ(unplaced.geometry(), QRect(5, 6, 400, 200)) << "a window without a place keeps its own";
  EXPECT_EQ(bar->height(), 30);

  form.show();
  ASSERT_TRUE(form.isVisible());
  exit = form.findChild<TGraphicButton*>("ButtonExit");
  exit->OnClick();
  EXPECT_FALSE(form.isVisible());
}

TEST_F(OnlineForms, ThePasswordPromptAnswersOneOrTwo) {
  TFormPassword form;
  form.show();
  QTest::keyClicks(form.EditPassword, "secret");
  EXPECT_EQ(form.EditPassword->displayText().toStdString().find("secret"), std::string::npos);
  form.ButtonExit->OnClick();
  EXPECT_EQ(form.ModalResult, 2) << "closed by its close button even with a password typed";
  form.show();
  EXPECT_EQ(form.EditPassword->text(), "secret");
  QTest::keyClick(form.EditPassword, Qt::Key_Return);
  EXPECT_EQ(form.ModalResult, 1);
  EXPECT_FALSE(form.isVisible());
}

TEST_F(OnlineForms, ThePasswordPromptOpensOverItsOwner) {
  TSkinnedForm owner("FormFromGallery");
  owner.setGeometry(20, 50, 500, 400);
  QRect placed;
  QTimer::singleShot(100, [&] {
    TFormPassword prompt;
    QTimer::singleShot(100, [&] {
      placed = prompt.frameGeometry();
      prompt.ButtonExit->OnClick();
    });
    ShowSkinnedModal(prompt);
    owner.close();
  });
  ShowSkinnedModal(owner);
  ASSERT_FALSE(placed.isEmpty());
  EXPECT_LE((placed.center() - owner.frameGeometry().center()).manhattanLength(), 2)
      << placed.x() << "," << placed.y();
}

TEST_F(OnlineForms, TheDownloadWindowListsTheNewAndInstallsTheChecked) {
  WriteTestFile(temp_ / "PartBase.txt", "1;0;0;old.psd;Old;\r\n");
  TTemplateBase shown;  // the list a shown template browser holds
  ASSERT_TRUE(shown.LoadList(temp_.Path(), nullptr));
  const std::string bob = Packed(10, 200), kim = Packed(12, 30);
  publisher_.AddFile("hairw/bob.fll", bob);
  publisher_.AddFile("hairw/kim.fll", kim);
  publisher_.AddFile("hairw/bob.sht", bob);
  publisher_.AddIndexLines("partbase", {"1;0;0;Bob;Bob;;1;1500", "1;0;0;Kim;Kim;;1;400", "1;0;0;Old;Old;;1;1"});
  publisher_.AddIndexLines("messages", {"news1;Spring news;200"});
  publisher_.Publish();

  TFormDownloadElements form{settings_};
  form.show();
  ASSERT_EQ(form.TreeView->topLevelItemCount(), 1);
  QTreeWidgetItem* root = form.Root(0);
  EXPECT_EQ(root->text(0), "Stand-in");
  ASSERT_EQ(root->childCount(), 1);
  EXPECT_EQ(root->child(0)->text(0), "Nothing");
  EXPECT_FALSE(form.ButtonStartDownload->isVisible());

  ASSERT_TRUE(form.ExpandPublisher(root));
  EXPECT_TRUE(root->isExpanded());
  ASSERT_EQ(root->childCount(), 2);
  EXPECT_EQ(root->child(0)->text(0), "Messages (1)");
  EXPECT_EQ(root->child(0)->child(0)->text(0), "Messages: Spring news");
  QTreeWidgetItem* hair = root->child(1);
  EXPECT_EQ(hair->text(0), "Hairstyles for women (2)") << "the installed one is not offered";
  EXPECT_TRUE(form.ExpandPublisher(root));
  EXPECT_EQ(publisher_.Fetched(), std::vector<std::string>{"/pub/server.eng"}) << "an analysed root is not fetched again";

  form.FetchPreviews(hair->child(0));
  ASSERT_NE(form.NodeOf(hair->child(0)), nullptr);
  EXPECT_FALSE(form.NodeOf(hair->child(0))->Preview.isNull());

  form.SetChecked(hair, true);
  EXPECT_EQ(form.ListBox->count(), 2) << "a group checks every element below it";
  EXPECT_EQ(form.LabelProcessTotal->text(), "Total: 2K");
  EXPECT_TRUE(form.ButtonStartDownload->isVisible());
  form.SetChecked(hair->child(0), false);
  EXPECT_EQ(form.ListBox->count(), 1);
  EXPECT_EQ(form.LabelProcessTotal->text(), "Total: 1K") << "400 bytes show as 1K";
  form.SetChecked(hair->child(0), true);

  form.ButtonStartDownloadClick();
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  EXPECT_TRUE(fs::exists(temp_ / "hairw" / "Bob.psd"));
  EXPECT_TRUE(fs::exists(temp_ / "hairw" / "Kim.psd"));
  EXPECT_TRUE(shown.ListChanged(temp_.Path())) << "the template browser reloads its list";
  ASSERT_EQ(form.TreeView->topLevelItemCount(), 1);
  ASSERT_EQ(root->childCount(), 1) << "installed elements and their emptied group leave the tree";
  EXPECT_EQ(root->child(0)->text(0), "Messages (1)");
  EXPECT_EQ(form.ListBox->count(), 0);
  EXPECT_FALSE(form.ButtonStartDownload->isVisible());
  EXPECT_EQ(publisher_.Reports().size(), 1u);
  const auto fetched = publisher_.Fetched();
  EXPECT_EQ(std::count(fetched.begin(), fetched.end(), "/pub/hairw/bob.fll"), 1);
}

TEST_F(OnlineForms, TheBarsEndEmptyAfterAnAnalysisAndPreviewsCountTheirBytes) {
  publisher_.AddFile("hairw/small.sht", Packed(10, 200));
  publisher_.AddFile("hairw/large.sht", Packed(12, 30));
  publisher_.AddIndexLines("partbase", {"1;0;0;Small;Small;;1;1000", "1;0;0;Large;Large;;1;9000"});
  publisher_.Publish();
  TFormDownloadElements form{settings_};
  form.show();
  form.ProgressBarTotal->setValue(40);
  ASSERT_TRUE(form.ExpandPublisher(form.Root(0)));
  EXPECT_EQ(form.ProgressBarFile->value(), 0) << "the index's own bar is emptied";
  EXPECT_EQ(form.ProgressBarTotal->value(), 0);

  std::vector<int> totals;
  QObject::connect(form.ProgressBarTotal, &QProgressBar::valueChanged, [&](int value) { totals.push_back(value); });
  form.FetchPreviews(form.Root(0)->child(0));
  EXPECT_EQ(totals, (std::vector<int>{1000 * 100 / 10001, 10000 * 100 / 10001, 0}))
      << "the small element's preview is a tenth of the bytes, not half of the elements";
  EXPECT_EQ(form.ProgressBarFile->value(), 0);
}

TEST_F(OnlineForms, PreviewsThatAreNotSquareKeepTheirPixels) {
  // Pictures that already fit the preview are taken as they are.
  const std::vector<std::pair<int, int>> sizes = {{80, 100}, {100, 75}};
  std::vector<std::string> lines;
  std::vector<TBitmap32> served;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    const std::string name = "p" + std::to_string(i);
    const auto packed = PackBitmap32(TestPicture(sizes[i].first, sizes[i].second, false), 90);
    publisher_.AddFile("hairw/" + name + ".sht", std::string(packed.begin(), packed.end()));
    served.push_back(*UnpackBitmap32(packed));
    lines.push_back("1;0;0;" + name + ";" + name + ";;1;10");
  }
  publisher_.AddIndexLines("partbase", lines);
  publisher_.Publish();
  TFormDownloadElements form{settings_};
  form.show();
  ASSERT_TRUE(form.ExpandPublisher(form.Root(0)));
  QTreeWidgetItem* hair = form.Root(0)->child(0);
  form.FetchPreviews(hair);
  // Memory freed by the fetch is taken and written over again.
  std::vector<std::vector<std::uint8_t>> churn;
  for (int i = 0; i < 64; ++i) churn.emplace_back(80 * 100 * 4, std::uint8_t(0xA5 + i));
  for (int i = 0; i < 2; ++i) {
    const QImage& preview = form.NodeOf(hair->child(i))->Preview;
    ASSERT_EQ(preview.size(), QSize(sizes[std::size_t(i)].first, sizes[std::size_t(i)].second));
    const fs::path file = temp_ / ("preview" + std::to_string(i) + ".png");
    ASSERT_TRUE(preview.save(QString::fromStdString(file.string())));
    EXPECT_TRUE(SamePicture(PillowRead(file).Picture, served[std::size_t(i)])) << "preview " << i;
  }
}

TEST_F(OnlineForms, PreviewsAnswerDoubleClicksAndDropsOverTheSkinsBlank) {
  TInterface look;
  TUseInterface useLook(look);
  look.Dir = "Intfaces\\";
  look.ResolutionIndex = 2;  // the 1024-768 folder
  const fs::path skins = temp_ / "Intfaces" / "DEFAULT" / "1024-768";
  fs::create_directories(skins);
  fs::copy_file(BuildDir() / "Tressary" / "Intfaces" / "DEFAULT" / "1024-768" / "BlankPub.psd", skins / "BlankPub.psd");
  publisher_.AddFile("hairw/shown.sht", Packed(20, 90));
  publisher_.AddIndexLines("partbase", {"1;0;0;Shown;Shown;;1;10", "1;0;0;Blank;Blank;;1;10"});
  publisher_.Publish();
  TFormDownloadElements form{settings_};
  form.show();
  ASSERT_TRUE(form.ExpandPublisher(form.Root(0)));
  QTreeWidgetItem* hair = form.Root(0)->child(0);
  QTreeWidgetItem* shown = hair->child(0);
  QTreeWidgetItem* blank = hair->child(1);

  // Expanding a group makes it the current node, whose elements the box shows.
  hair->setExpanded(false);
  form.TreeView->setCurrentItem(form.Root(0));
  hair->setExpanded(true);
  EXPECT_EQ(form.TreeView->currentItem(), hair);
  ASSERT_EQ(form.ScrollBoxPreview->count(), 2);
  // An element without its preview shows the skin's blank: navy frame, not white.
  const QImage icon = form.ScrollBoxPreview->item(1)->icon().pixmap(64, 64).toImage();
  bool navy = false;
  for (int y = 0; y < icon.height(); ++y)
    for (int x = 0; x < icon.width(); ++x) {
      const QColor c = icon.pixelColor(x, y);
      navy = navy || (c.alpha() > 200 && c.blue() > 90 && c.red() < 60 && c.green() < 60);
    }
  EXPECT_TRUE(navy);

  // A double click on the preview picture toggles the element it shows.
  form.FetchPreviews(shown);
  form.ShowPreviewOf(shown);
  ASSERT_EQ(form.PreviewNode(), shown);
  QTest::mouseDClick(form.ImagePreview, Qt::LeftButton);
  EXPECT_EQ(shown->checkState(0), Qt::Checked);
  QTest::mouseDClick(form.ImagePreview, Qt::LeftButton);
  EXPECT_EQ(shown->checkState(0), Qt::Unchecked);

  // A node dropped on the box becomes current there, with its preview asked for.
  form.TreeView->clearSelection();
  blank->setSelected(true);
  form.ScrollBoxPreview->OnDropFromTree();
  EXPECT_EQ(form.TreeView->currentItem(), blank);
  EXPECT_EQ(publisher_.Fetched().back(), "/pub/hairw/blank.sht");
}

TEST_F(OnlineForms, TheDownloadWindowSaysWhatItRefusedAndWhatFailed) {
  publisher_.AddIndexLines("partbase", {"1;0;0;..\\..\\up;Up;;1;1"});
  publisher_.AddIndexLines("interfaces", {"[Gone;GONE]", "1024-768;1;10"});
  publisher_.Publish();
  TFormDownloadElements form{settings_};
  form.show();
  ASSERT_TRUE(form.ExpandPublisher(form.Root(0)));
  EXPECT_EQ(messages_, std::vector<std::string>{"MessageElementsRefused"});
  form.SetChecked(form.Root(0), true);
  ASSERT_EQ(form.ListBox->count(), 1);
  messages_.clear();
  form.ButtonStartDownloadClick();
  EXPECT_EQ(messages_, std::vector<std::string>{"MessageElementsNotInstalled"});
  EXPECT_FALSE(fs::exists(temp_ / "Intfaces" / "GONE"));
}

TEST_F(OnlineForms, AnUnreachablePublisherKeepsItsRootClosed) {
  settings_.Ini.WriteString("Publishers", "Server1", "http://127.0.0.1:1/pub/;Gone;gone;");
  TFormDownloadElements form{settings_};
  form.show();
  QTreeWidgetItem* root = form.Root(0);
  EXPECT_FALSE(form.ExpandPublisher(root));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(messages_[0] == "MessageNoAccessToServerT" || messages_[0] == "MessageConnectionLost") << messages_[0];
  EXPECT_FALSE(root->isExpanded());
  ASSERT_EQ(root->childCount(), 1);
  EXPECT_EQ(root->child(0)->text(0), "Nothing");
}

}  // namespace
