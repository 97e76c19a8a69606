// The load-and-save window on its real dialogs, message box and clipboard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "editor/MainShell.h"
#include "editor/SourcePicture.h"
#include "editor/forms/FormAdjust.h"
#include "exchange/forms/ClipboardPicture.h"
#include "exchange/forms/FormLoadSave.h"
#include "exchange/forms/ScannerSourceDialog.h"
#include "picture/PsdFile.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/StandingForms.h"
#include "support/FakeAdjustHost.h"
#include "support/FakeWorkPicture.h"
#include "support/PictureCompare.h"
#include "support/PictureJudges.h"
#include "support/TestPaths.h"
#include "support/qt/MessageAnswer.h"

namespace {

class FormLoadSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessagePresenter([](TMessageBoxKind, const std::string&) {});  // no skins installed here
    form_.Actions().PictureName = &pictureName_;
    RegisterFormAdjust(adjustHost_);
    form_.Work = &work_;
    form_.Saved = &saved_;
    form_.show();
  }
  void TearDown() override {
    form_.close();
    delete FormAdjust;  // made over this test's host
    ClearStandingForms();
    SetMessagePresenter({});
  }
  // Runs `step` once the next modal loop (a dialog, the message box) is running.
  static void Soon(std::function<void()> step) { QTimer::singleShot(0, qApp, std::move(step)); }
  // Runs `step` once `dialog` shows.
  static void WhenShown(QWidget* dialog, std::function<void()> step) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [dialog, poll, step] {
      if (!dialog->isVisible()) return;
      poll->deleteLater();
      poll->stop();
      step();
    });
    poll->start(10);
  }
  // Answers the next message box once it is up, remembering its text.
  void AnswerMessage() { AnswerNextMessage(message_); }
  void Choose(QFileDialog* dialog, const fs::path& file) {
    Soon([dialog, file] {
      dialog->selectFile(QString::fromStdString(file.string()));
      static_cast<QDialog*>(dialog)->accept();
    });
  }

  TMainSettings settings_;
  TempFolder dir_;
  FakeAdjustHost adjustHost_;
  FakeWork work_;
  TSavedFlags saved_;
  std::string pictureName_;
  TFormLoadSave form_{settings_};
  std::string message_;
};

TEST_F(FormLoadSaveTest, PictureDialogsStartInTheSettingsFolders) {
  fs::create_directories(dir_ / "Photos" / "New");
  const std::string exePath = InstallationFolder();
  SetProgramFolders(dir_.Path());
  settings_.LoadImageDir = "photos\\new\\";
  settings_.SaveImageDir = "";
  TFormLoadSave form(settings_);
  EXPECT_EQ(form.Actions().ImageOpenFolder, dir_ / "Photos" / "New");
  EXPECT_EQ(form.Actions().ImageSaveFolder.lexically_normal(), fs::path(InstallationFolder()).lexically_normal());
  SetProgramFolders(exePath);
}

TEST_F(FormLoadSaveTest, TheDialogsAreMadeWhenFirstNeededAndKept) {
  // Each would load its icons (a file dialog list its folder) while the program starts.
  EXPECT_TRUE(form_.findChildren<QDialog*>().isEmpty());
  EXPECT_EQ(form_.ScannerSourceDialog(), form_.ScannerSourceDialog());
  QFileDialog* save = form_.ImageSaveDialog();
  EXPECT_EQ(form_.ImageSaveDialog(), save);
  EXPECT_NE(form_.ImageOpenDialog(), form_.WorkOpenDialog());
  EXPECT_EQ(form_.findChildren<QFileDialog*>().size(), 3);
}

TEST_F(FormLoadSaveTest, EveryButtonOfTheWindowIsThere) {
  for (const char* name : {"ButtonExit", "ButtonLoadImage", "ButtonLoadClipboard", "ButtonLoadCamera",
                           "ButtonLoadTwain", "ButtonSaveImage", "ButtonSaveClipboard", "ButtonLoadWork",
                           "ButtonSaveWork", "ButtonSendImage", "ButtonSendWork"})
    EXPECT_NE(form_.findChild<QWidget*>(name), nullptr) << name;
  for (const char* name : {"ButtonSendImage", "ButtonSendWork"}) {
    auto* button = form_.findChild<QWidget*>(name);
    ASSERT_NE(button, nullptr) << name;
    EXPECT_TRUE(button->isVisible()) << name;
  }
}

TEST_F(FormLoadSaveTest, AFileChosenInTheDialogBecomesTheSourceAndOpensTheAdjustWindow) {
  const TBitmap32 picture(60, 80, Color32(10, 100, 200, 0));
  ASSERT_TRUE(SavePsdFile(picture, dir_ / "PORTRAIT.PSD"));
  Choose(form_.ImageOpenDialog(), dir_ / "PORTRAIT.PSD");
  form_.ButtonLoadImageClick();
  EXPECT_FALSE(form_.isVisible());
  ASSERT_NE(FormAdjust, nullptr);
  EXPECT_TRUE(FormAdjust->isVisible());
  const TSourcePicture& source = FormAdjust->Source();
  ASSERT_EQ(source.Picture.Width(), 60);
  EXPECT_EQ(source.Picture.Pixel(5, 5), Color32(10, 100, 200));  // all-zero alpha loads opaque
  EXPECT_TRUE(source.HasAlpha);
}

TEST_F(FormLoadSaveTest, AnUnreadableFileIsToldAndTheWindowStaysForAnotherTry) {
  WriteTestFile(dir_ / "broken.png", "not a picture");
  ShowFormAdjust({TBitmap32(3, 3, Color32(1, 2, 3))});
  ASSERT_NE(FormAdjust, nullptr);
  FormAdjust->close();
  Choose(form_.ImageOpenDialog(), dir_ / "broken.png");
  AnswerMessage();
  form_.ButtonLoadImageClick();
  EXPECT_TRUE(form_.isVisible());
  EXPECT_FALSE(message_.empty());
  EXPECT_FALSE(FormAdjust->isVisible());
  EXPECT_TRUE(SamePicture(FormAdjust->Source().Picture, TBitmap32(3, 3, Color32(1, 2, 3))));
}

TEST_F(FormLoadSaveTest, SavingWritesTheChosenFileAndMarksThePictureSaved) {
  work_.picture = TBitmap32(8, 6, Color32(50, 60, 70));
  saved_.Image = false;
  Choose(form_.ImageSaveDialog(), dir_ / "look.tif");
  form_.ButtonSaveImageClick();
  EXPECT_TRUE(fs::exists(dir_ / "look.tif"));
  EXPECT_TRUE(saved_.Image);
  EXPECT_EQ(pictureName_, "look");
  EXPECT_FALSE(form_.isVisible());
}

TEST_F(FormLoadSaveTest, ABareNameIsSavedAsTheTypeChosenInTheDialog) {
  work_.picture = TBitmap32(8, 6, Color32(50, 60, 70));
  form_.Actions().ImageSaveFolder = dir_.Path();
  // The seven types in the dialog's order, as ImageMagick names what it finds.
  const std::vector<std::pair<std::string, std::string>> types = {
      {"bmp", "BMP3"}, {"jpg", "JPEG"}, {"psd", "PSD"}, {"tif", "TIFF"},
      {"pcx", "PCX"}, {"tga", "TGA"},  {"png", "PNG"}};
  // Backwards, so no type is only the one left over from the run before.
  for (int i = int(types.size()) - 1; i >= 0; --i) {
    const std::string name = "look" + std::to_string(i);
    WhenShown(form_.ImageSaveDialog(), [this, i, name] {
      // As a user does it: the type from the dialog's list, a name without extension.
      auto* typeList = form_.ImageSaveDialog()->findChild<QComboBox*>("fileTypeCombo");
      auto* nameEdit = form_.ImageSaveDialog()->findChild<QLineEdit*>("fileNameEdit");
      ASSERT_TRUE(typeList && nameEdit);
      typeList->setCurrentIndex(i);
      emit typeList->activated(i);
      emit typeList->textActivated(typeList->itemText(i));
      nameEdit->setText(QString::fromStdString(name));
      static_cast<QDialog*>(form_.ImageSaveDialog())->accept();
    });
    form_.show();
    form_.ButtonSaveImageClick();
    const fs::path file = dir_ / (name + "." + types[i].first);
    ASSERT_TRUE(fs::exists(file)) << file;
    EXPECT_EQ(Identify(file, "%m %w %h"), types[i].second + " 8 6") << file;
  }
}

TEST_F(FormLoadSaveTest, AnEmptyDeskIsToldBeforeAnyDialog) {
  AnswerMessage();
  form_.ButtonSaveImageClick();
  EXPECT_FALSE(message_.empty());
  EXPECT_TRUE(form_.isVisible());
}

TEST_F(FormLoadSaveTest, TheWorkGoesToTheClipboardAndComesBackAsASource) {
  work_.picture = TBitmap32(5, 4, Color32(9, 8, 7, 0));
  form_.ButtonSaveClipboardClick();
  EXPECT_FALSE(form_.isVisible());
  form_.show();
  form_.ButtonLoadClipboardClick();
  ASSERT_NE(FormAdjust, nullptr);
  const TSourcePicture& source = FormAdjust->Source();
  ASSERT_EQ(source.Picture.Width(), 5);
  EXPECT_EQ(source.Picture.Pixel(2, 2), Color32(9, 8, 7));
  EXPECT_FALSE(source.HasAlpha);
}

TEST_F(FormLoadSaveTest, TheScannerDialogListsTheDevicesAndGivesTheChosenName) {
  TScannerSourceDialog& dialog = *form_.ScannerSourceDialog();
  Soon([&] {
    EXPECT_EQ(dialog.ListSources->count(), 2);
    dialog.ListSources->setCurrentRow(1);
    dialog.accept();
  });
  EXPECT_EQ(dialog.Choose({{"test:0", "Noname", "frontend-tester", "virtual device"},
                           {"test:1", "Noname", "frontend-tester", "virtual device"}}),
            "test:1");
  Soon([&] {
    EXPECT_FALSE(dialog.ButtonSelect->isEnabled());
    ASSERT_EQ(dialog.ListSources->count(), 1);
    EXPECT_EQ(dialog.ListSources->item(0)->text().toStdString(), "No scanner was found.");
    EXPECT_EQ(dialog.ListSources->item(0)->flags(), Qt::NoItemFlags);
    dialog.accept();  // even forced, nothing is chosen
  });
  EXPECT_FALSE(dialog.Choose({}));
}

}  // namespace
