// The gallery windows against the stand-in publisher, opened directly: the
// upload window's send state, its refusal to close mid-upload, and the browser's
// tree, search, password, viewer and downloads.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QProgressBar>
#include <QRegularExpression>
#include <QGroupBox>
#include <algorithm>
#include <set>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "editor/MainShell.h"
#include "online/Registration.h"
#include "online/forms/FormFromGallery.h"
#include "online/forms/FormToGallery.h"
#include "online/forms/FormViewWork.h"
#include "online/forms/OnlineMessages.h"
#include "picture/Jpeg.h"
#include "picture/LoadedWork.h"
#include "picture/WorkFile.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/MainSettings.h"
#include "shell/forms/GraphicButton.h"
#include "support/ShippedTexts.h"
#include "support/StandInPublisher.h"
#include "support/TestPaths.h"

namespace {

std::string Text(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

class GalleryForms : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessagePresenter([](TMessageBoxKind, const std::string&) {});
    SetOnlineMessageSink(RecordShippedMessages(messages_));
    SetProgramFolders(temp_.Path());
    settings_.Ini = TIniFile(temp_ / "Tressary.ini");
    for (const char* section : {"T Sex", "T Age", "T Skin Color", "T Hair Color", "T Eyes Color", "T Portrait Type"})
      for (int i = 0; i < 12; ++i) settings_.Ini.WriteString(section, "V" + std::to_string(i), "Item " + std::to_string(i));
    settings_.Ini.WriteString("Servers", "GalleryServer", publisher_.GalleryUrl());
    settings_.Ini.WriteString("Servers", "ServerPost", publisher_.UploadUrl());
    settings_.Ini.WriteString("Registration", "FirstName", "Anna");
    settings_.Ini.WriteString("Registration", "SecondName", "Berg");
    settings_.Ini.WriteString("Registration", "EMail", "anna@example.com");
    settings_.Ini.WriteString("Registration", "Serial", "1");
    picture_ = TBitmap32(80, 60, Color32(30, 60, 220));
    TWorkHeader header;
    header.Version = "test";
    TLayerRecord record;
    record.Id = "00000001";
    record.Caption = "Layer";
    record.Width = 80;
    record.Height = 60;
    header.Layers.push_back(record);
    work_ = BuildCompressedWork(header, {{&picture_, {}}}, picture_);
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
  TBitmap32 picture_;
  std::vector<std::uint8_t> work_;
};

TEST_F(GalleryForms, UploadWindowSendsOnlyCompleteInputsAndStaysOpenWhileSending) {
  TFormToGallery form{settings_};
  form.ExportPicture = [this] { return picture_; };
  form.CompressedWork = [this] { return TFileResult<std::vector<std::uint8_t>>(work_); };
  form.show();
  // While a send runs the bar moves on by one a second.
  form.ProgressBar->setValue(98);
  form.Timer1->start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.ProgressBar->value() != 98; }, 5000));
  EXPECT_EQ(form.ProgressBar->value(), 99);
  EXPECT_EQ(form.Timer1->interval(), 1000);
  form.Timer1->stop();
  EXPECT_FALSE(form.ButtonStartDownload->isVisible()) << "no name yet";
  QTest::keyClicks(form.EditWorkName, "Blue;>");
  EXPECT_EQ(form.EditWorkName->text(), "Blue") << "the record's delimiters cannot be typed";
  EXPECT_TRUE(form.ButtonStartDownload->isVisible());
  form.ButtonSendAsPrivate->OnClick();
  EXPECT_TRUE(form.EditPassword->isVisible());
  EXPECT_FALSE(form.ButtonStartDownload->isVisible()) << "a private work without a password";
  QTest::keyClicks(form.EditPassword, "pw");
  EXPECT_TRUE(form.ButtonStartDownload->isVisible());
  form.ButtonSendAsPublic->OnClick();
  EXPECT_TRUE(form.EditPassword->text().isEmpty()) << "public clears the password";
  form.ComboBoxes[3]->setCurrentIndex(11);
  form.ButtonSendAsWork->OnClick();

  // A script that never answers: closing is refused until the user stops.
  publisher_.Server().Route("/cgi-bin/kzpost", [](const TServedRequest&) {
    THttpReply reply;
    reply.silent = true;
    return reply;
  });
  QTimer::singleShot(300, &form, [&form] {
    form.close();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.ButtonStopDownload->isVisible());
    form.ButtonStopDownload->OnClick();
  });
  form.ButtonStartDownload->OnClick();
  EXPECT_FALSE(form.Uploading());
  EXPECT_EQ(messages_, (std::vector<std::string>{"MessageWaitUntilUploadFinished", "MessageNoAccessToServer"}));
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.EditWorkName->text(), "Blue") << "the inputs stay after a failure";

  // The stand-in's own script: sent, split and listed.
  messages_.clear();
  TStandInPublisher gallery;
  settings_.Ini.WriteString("Servers", "ServerPost", gallery.UploadUrl());
  TFormToGallery second{settings_};
  second.ExportPicture = [this] { return picture_; };
  second.CompressedWork = [this] { return TFileResult<std::vector<std::uint8_t>>(work_); };
  second.show();
  QTest::keyClicks(second.EditWorkName, "  Blue  ");
  second.ComboBoxes[3]->setCurrentIndex(11);
  second.ButtonSendAsWork->OnClick();
  second.ButtonStartDownload->OnClick();
  EXPECT_EQ(messages_, std::vector<std::string>{"MessageSendSuccess"});
  EXPECT_EQ(second.ModalResult, 1);
  EXPECT_FALSE(second.isVisible());
  const auto uploads = gallery.Uploads();
  ASSERT_EQ(uploads.size(), 1u);
  EXPECT_EQ(RecordField(uploads[0].Record, 6), "Blue");
  EXPECT_EQ(AttributeDigitAt(RecordField(uploads[0].Record, 3), 3), 11);
  EXPECT_EQ(uploads[0].Full, Text(work_));
}

TEST_F(GalleryForms, BrowserFindsWorksOpensPrivateOnesByPasswordAndSavesDownloads) {
  const auto preview = EncodeJpeg(TBitmap32(150, 150, Color32(250, 200, 0)), 70);
  const auto full = EncodeJpeg(picture_, 90);
  publisher_.AddGalleryUser("Anna;Berg;u@example.com;1;;1;1.1.1990;;JQ;2;;");
  publisher_.AddGalleryUser("Carl;Dorn;u@example.com;12;;1;1.1.1990;;JQ;1;;");
  publisher_.AddGalleryWork("1-1;0;000000;;0;Sunny;5.10;" + std::to_string(full.size()) + ";");
  publisher_.AddGalleryWork("1-2;1;010000;pw;0;Secret;5.10;" + std::to_string(work_.size()) + ";");
  publisher_.AddGalleryWork("12-1;0;100000;;0;Other;5.10;;");
  for (const char* id : {"1-1", "1-2", "12-1"}) publisher_.AddGalleryFile(std::string(id) + ".jpg", Text(preview));
  publisher_.AddGalleryFile("1-1.jpeg", Text(full));
  publisher_.AddGalleryFile("12-1.jpeg", Text(full));
  publisher_.AddGalleryFile("1-2.tsc", Text(work_));

  TFormFromGallery form(settings_);
  std::vector<std::string> typed = {"PW", "pw", "pw"};
  int asked = 0;
  form.AskPassword = [&]() -> std::optional<std::string> { return typed[std::size_t(asked++)]; };
  form.AskYesNo = [](const std::string& key) { return key == "ConfirmDownloadWork"; };
  form.show();
  EXPECT_FALSE(form.ButtonRequest->isVisible()) << "search waits for the lists";
  form.TreeView->expandItem(form.Root());
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.ListsLoaded(); }, 10000));
  EXPECT_TRUE(form.ButtonRequest->isVisible());
  EXPECT_FALSE(form.Root()->isExpanded()) << "the expansion that loads the lists is refused";
  form.TreeView->expandItem(form.Root());
  EXPECT_TRUE(form.Root()->isExpanded());
  ASSERT_EQ(form.Root()->childCount(), 2);
  EXPECT_EQ(form.Root()->child(0)->text(0), "Carl Dorn") << "sorted by field 10";
  ASSERT_EQ(form.Root()->child(0)->childCount(), 1) << "author 12 has only its own work";
  ASSERT_EQ(form.AuthorNode("Anna Berg")->childCount(), 2) << "author 1 does not get author 12's work";

  form.ButtonRequest->OnClick();
  EXPECT_TRUE(form.GroupBoxRequest->isVisible());
  form.CheckLists[1]->item(1)->setCheckState(Qt::Checked);  // age 1: the private work only
  ASSERT_EQ(form.ResultWorks(), std::vector<std::size_t>{1});
  EXPECT_TRUE(form.ResultPage->findChild<QWidget*>("ImageF1"));
  form.CheckLists[1]->item(1)->setCheckState(Qt::Unchecked);
  ASSERT_EQ(form.ResultWorks().size(), 3u);
  const auto listed = publisher_.Fetched();
  EXPECT_EQ(std::count(listed.begin(), listed.end(), "/gallery/1-2.jpg"), 0) << "a private preview waits for the password";

  // A wrong password opens nothing; the right one shows the preview, and then the
  // work downloads into the works folder after the question.
  form.OpenWork(1);
  const auto fetched = publisher_.Fetched();
  EXPECT_EQ(std::count(fetched.begin(), fetched.end(), "/gallery/1-2.jpg"), 0);
  form.OpenWork(1);
  EXPECT_EQ(asked, 2);
  form.OpenWork(1);
  EXPECT_EQ(asked, 3) << "each opening asks";
  const fs::path workFile = temp_ / "Works" / "Anna Berg - Secret.tsc";
  ASSERT_EQ(form.LastSaved(), workFile);
  const auto loaded = TLoadedWork::Read(*ReadFileBytes(workFile), true, workFile);
  EXPECT_TRUE(loaded) << loaded.Error().Text();
  EXPECT_EQ(messages_, std::vector<std::string>{"MessageWorkSuccess"});

  // A picture shows in the viewer at its size and is saved as a JPEG.
  form.OpenWork(0);
  ASSERT_TRUE(form.Viewer()->isVisible());
  EXPECT_EQ(form.Viewer()->size(), QSize(80, 60));
  EXPECT_TRUE(form.Viewer()->HasPicture());
  const auto saved = ReadFileBytes(temp_ / "ImageOut" / "Anna Berg - Sunny.jpg");
  ASSERT_TRUE(saved);
  const auto info = ReadJpegInfo(*saved);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->Width, 80);
  QTest::keyClick(form.Viewer(), Qt::Key_Escape);
  EXPECT_FALSE(form.Viewer()->isVisible());
  EXPECT_FALSE(form.Viewer()->HasPicture());

  // The selection: an author's works; in tree mode the start button fetches them
  // and empties it.
  form.ButtonTree->OnClick();
  form.SelectNode(form.Root()->child(0));
  ASSERT_EQ(form.ListBox->count(), 1);
  EXPECT_TRUE(form.ListBox->item(0)->text().startsWith("Carl Dorn : Other"));
  form.ButtonStartDownloadClick();
  EXPECT_EQ(form.ListBox->count(), 0);
  EXPECT_TRUE(fs::exists(temp_ / "ImageOut" / "Carl Dorn - Other.jpg"));
}

TEST_F(GalleryForms, SearchPreviewsComeWhenAskedAndProgressNamesTheWork) {
  const auto preview = EncodeJpeg(TBitmap32(150, 150, Color32(250, 200, 0)), 70);
  const auto full = EncodeJpeg(TBitmap32(300, 200, Color32(20, 90, 200)), 90);
  publisher_.AddGalleryUser("Anna;Berg;u@example.com;10001;;1;1.1.1990;;JQ;2;;");
  publisher_.AddGalleryWork("10001w0001;0;000000;;0;Sunny;5.10;" + std::to_string(full.size()) + ";");
  publisher_.AddGalleryWork("10001w0002;0;000000;pw;0;Hidden;5.10;;");
  for (const char* id : {"10001w0001", "10001w0002"}) publisher_.AddGalleryFile(std::string(id) + ".jpg", Text(preview));
  publisher_.AddGalleryFile("10001w0001.jpeg", Text(full));

  TFormFromGallery form(settings_);
  form.show();
  ASSERT_TRUE(form.GetGalleryDB());
  QTreeWidgetItem* anna = form.AuthorNode("Anna Berg");
  ASSERT_NE(anna, nullptr) << "a letter after the author's number";
  ASSERT_EQ(anna->childCount(), 2);
  // Private works are told by their image, not by red text.
  const QImage open = anna->child(0)->icon(0).pixmap(16, 16).toImage();
  const QImage locked = anna->child(1)->icon(0).pixmap(16, 16).toImage();
  EXPECT_FALSE(open.isNull());
  EXPECT_FALSE(locked.isNull());
  EXPECT_NE(open, locked);
  EXPECT_FALSE(anna->child(1)->data(0, Qt::ForegroundRole).isValid());

  // Without previews asked for, the search shows its page and fetches nothing,
  // and Start downloads the selection.
  form.ButtonRequest->OnClick();
  form.CheckBox2->setChecked(false);
  EXPECT_FALSE(form.DownloadPreviews());
  EXPECT_FALSE(form.ButtonDownloadPreview->Pressed());
  form.FindClick();
  EXPECT_EQ(form.ResultWorks().size(), 2u);
  auto fetchedPreviews = [this] {
    const auto fetched = publisher_.Fetched();
    return std::count(fetched.begin(), fetched.end(), "/gallery/10001w0001.jpg");
  };
  EXPECT_EQ(fetchedPreviews(), 0);
  form.SelectNode(anna->child(0));
  std::set<QString> labels;
  QTimer sampler;
  QObject::connect(&sampler, &QTimer::timeout, [&] { labels.insert(form.LabelProgress->text()); });
  sampler.start(0);
  form.ButtonStartDownloadClick();
  sampler.stop();
  EXPECT_TRUE(fs::exists(temp_ / "ImageOut" / "Anna Berg - Sunny.jpg"));
  EXPECT_TRUE(form.Selection().empty());
  EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](const QString& text) {
    return QRegularExpression("^Anna Berg : Sunny: \\d+ / \\d+$").match(text).hasMatch();
  })) << "the progress label names the work";
  EXPECT_TRUE(form.LabelProgress->text().isEmpty());

  // Asked for, the previews of the page come; Start then shows the page again
  // instead of downloading.
  form.ButtonDownloadPreview->OnClick();
  EXPECT_TRUE(form.CheckBox2->isChecked());
  EXPECT_EQ(fetchedPreviews(), 1);
  form.SelectNode(anna->child(0));
  form.ButtonStartDownloadClick();
  EXPECT_EQ(form.Selection().size(), 1u);
  form.CheckBox1->setChecked(true);
  EXPECT_TRUE(form.ButtonElementsPreview->Pressed());
  EXPECT_EQ(form.ListBox->iconSize(), QSize(28, 28));
}

}  // namespace

TEST_F(GalleryForms, TheBrowserWithNoGalleryServerSaysSoAndTriesNoConnection) {
  settings_.Ini.WriteString("Servers", "GalleryServer", " ");
  TFormFromGallery form(settings_);
  form.show();
  EXPECT_FALSE(form.GetGalleryDB());
  EXPECT_EQ(messages_, std::vector<std::string>{"MessageNoGalleryServer"});
  EXPECT_EQ(form.Root()->childCount(), 0);
}
