// The settings window over a settings file of its own and a music machine that
// plays nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>

#include "editor/BackgroundMusic.h"
#include "editor/MainShell.h"
#include "editor/forms/FormSetup.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "shell/InterfaceInfo.h"
#include "shell/MainSettings.h"
#include "shell/forms/GraphicButton.h"
#include "support/SaveGuarantee.h"
#include "support/ShippedTexts.h"
#include "support/TestPaths.h"
#include "support/qt/MessageAnswer.h"

namespace {

class SilentPlayer : public IMusicPlayer {
 public:
  bool playing = false;
  bool SoundDeviceAvailable() const override { return true; }
  bool PlayFile(const fs::path&) override { return playing = true; }
  void Stop() override { playing = false; }
  void Pause() override { playing = false; }
  void Resume() override { playing = true; }
  bool Playing() const override { return playing; }
  bool CanPlay(const fs::path&) override { return false; }
};

class FormSetupTest : public ::testing::Test {
 protected:
  FormSetupTest() {
    SetProgramFolders(BuildDir() / "Tressary");
    interface_.Dir = "Intfaces\\";
    interface_.ResolutionIndex = 2;
    WriteTestFile(dir / "Tressary.ini", "[INTERFACES]\r\nInterface1=DEFAULT;Tressary;1;\r\nInterface2=Gone;Gone;0;\r\n");
    settings.Ini = TIniFile(dir / "Tressary.ini");
    interface_.Name = ReadInterfaceList(settings.Ini).Active;
    form.SetMusic(&music);
    form.show();
  }
  ~FormSetupTest() override {
    form.close();
    settings.Ini = TIniFile::FromText("");
    SetProgramFolders({});
  }

  TMainSettings settings;
  TInterface interface_;
  TUseInterface useInterface_{interface_};
  TempFolder dir;
  SilentPlayer player;
  TBackgroundMusic music{player, settings.PlayMusic};
  TFormSetup form{settings};
};

}  // namespace

TEST_F(FormSetupTest, EditsThatAreNoNumbersOrOutOfRangeAreSavedAndShownAsTheDefaults) {
  ASSERT_EQ(form.ComboBoxInterfaceName->count(), 3);
  EXPECT_EQ(form.ComboBoxInterfaceName->currentIndex(), 1);
  form.EditMailPort->setText("smtp");
  form.EditLeftRightMargins->setText("50");
  form.EditTopBottomMargins->setText("-3");
  form.ButtonSaveSettingsClick();
  EXPECT_EQ(form.EditMailPort->text(), "25");
  EXPECT_EQ(form.EditLeftRightMargins->text(), "5");
  EXPECT_EQ(form.EditTopBottomMargins->text(), "10");
  const TIniFile saved(dir / "Tressary.ini", false);
  EXPECT_EQ(saved.ReadString("MAIL", "Port", ""), "25");
  EXPECT_EQ(saved.ReadString("PRINT", "LeftRightMargin", ""), "5");
  EXPECT_EQ(saved.ReadString("INTERFACES", "Interface1", ""), "DEFAULT;Tressary;1;");
  EXPECT_FALSE(form.isVisible());
}

TEST_F(FormSetupTest, SettingsThatCannotBeWrittenSayWhereAndWhy) {
  FullDisk disk;
  const fs::path file = disk.Path() / "Tressary.ini";
  settings.Ini = TIniFile(file, false);
  std::string message;
  AnswerNextMessage(message);
  if (disk.Full()) {
    form.ButtonSaveSettingsClick();
    EXPECT_NE(message.find("There is no space left on the disk."), std::string::npos) << message;
  } else {
    // No mount allowed here: a file size limit stands in for the full disk.
    SaveUnderSizeLimit(10, [&] {
      form.ButtonSaveSettingsClick();
      return true;
    });
    EXPECT_NE(message.find("The file is larger than the system allows."), std::string::npos) << message;
  }
  EXPECT_EQ(message.rfind("The settings could not be written.", 0), 0u) << message;
  EXPECT_NE(message.find(file.string()), std::string::npos) << message;
}

// An entry dropped on another takes its place; a drop beside the items is refused.
TEST_F(FormSetupTest, APlayListEntryMovesOnlyWhenDroppedOnAnother) {
  for (const char* name : {"a.wav", "b.wav", "c.wav"}) {
    WriteTestFile(dir / name, "RIFF");
    form.AddMusicFiles({QString::fromStdString((dir / name).string())});
  }
  QListWidget& list = *form.CheckListBoxMusicFiles;
  ASSERT_EQ(list.count(), 3);
  // Without a drag in progress Qt delivers no drag events: they go straight to
  // the handler the list's view passes them to.
  auto drop = [this](QPoint at) {
    QMimeData data;
    QDragMoveEvent move(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    form.DropOnPlayList(move);
    QDropEvent dropped(QPointF(at), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    form.DropOnPlayList(dropped);
    return move.isAccepted();
  };
  auto order = [&] {
    std::string names;
    for (const auto& entry : music.List()) names += fs::path(entry->FileName).stem().string();
    for (int i = 0; i < list.count(); ++i) names += list.item(i)->text().left(1).toStdString();
    return names;
  };
  list.setCurrentRow(0);
  EXPECT_FALSE(drop(QPoint(5, list.viewport()->height() - 3)));  // below the last item
  EXPECT_EQ(order(), "abcabc");
  list.setCurrentRow(0);
  EXPECT_TRUE(drop(list.visualItemRect(list.item(2)).center()));
  EXPECT_EQ(order(), "bcabca");
  EXPECT_EQ(list.currentRow(), 2);
}

TEST_F(FormSetupTest, ThePlayListKeepsOneEntryANameAndRefusesASemicolon) {
  WriteTestFile(dir / "song.wav", "RIFF");
  form.AddMusicFiles({QString::fromStdString((dir / "song.wav").string())});
  form.AddMusicFiles({QString::fromStdString((dir / "other" / "song.wav").string())});
  ASSERT_EQ(form.CheckListBoxMusicFiles->count(), 1);
  EXPECT_EQ(form.CheckListBoxMusicFiles->item(0)->checkState(), Qt::Checked);
  std::string message;
  AnswerNextMessage(message);
  form.AddMusicFiles({QString::fromStdString((dir / "a;b.wav").string())});
  EXPECT_NE(message.find(";"), std::string::npos);
  EXPECT_EQ(music.List().size(), 1u);

  // Music on, then the playing entry deleted: nothing is left to play.
  form.ButtonPlayMusic->OnClick();
  EXPECT_TRUE(settings.PlayMusic);
  EXPECT_TRUE(player.playing);
  form.CheckListBoxMusicFiles->setCurrentRow(0);
  QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
  QApplication::sendEvent(form.CheckListBoxMusicFiles, &del);
  EXPECT_EQ(form.CheckListBoxMusicFiles->count(), 0);
  EXPECT_EQ(music.Current(), nullptr);
  EXPECT_FALSE(settings.PlayMusic);
  EXPECT_FALSE(player.playing);
}

TEST_F(FormSetupTest, MusicSwitchedOnWithNothingToPlaySaysWhyInTheShippedWords) {
  TTestTexts texts(ShippedTermins());
  std::string said;
  AnswerNextMessage(said);
  form.ButtonPlayMusic->OnClick();
  EXPECT_EQ(said, "The play list is empty: add a music file first.");
  EXPECT_FALSE(settings.PlayMusic);
  EXPECT_FALSE(form.ButtonPlayMusic->Pressed());

  WriteTestFile(dir / "song.wav", "RIFF");
  form.AddMusicFiles({QString::fromStdString((dir / "song.wav").string())});
  form.CheckListBoxMusicFiles->item(0)->setCheckState(Qt::Unchecked);
  AnswerNextMessage(said);
  form.ButtonPlayMusic->OnClick();
  EXPECT_EQ(said, "No track of the play list is checked: check the tracks to play.");
  EXPECT_FALSE(settings.PlayMusic);
}
