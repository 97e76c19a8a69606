#include "editor/forms/MainShellForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

#include "editor/MainShell.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/ShellOpen.h"
#include "platform/qt/FileDialogFilters.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/InterfaceInfo.h"
#include "shell/MainSettings.h"
#include "shell/Termins.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/SkinnedForm.h"
#include "shell/forms/SoundHint.h"
#include "support/qt/FakeMediaPlayer.h"
#include "support/TestPaths.h"
#include "support/RecordingOpener.h"
#include "support/TestTexts.h"

namespace {

TGraphicButton* AddButton(QWidget& form, const char* name) {
  auto* button = new TGraphicButton(&form);
  button->setObjectName(name);
  return button;
}

// Every player made from now on is a fake; `last` points at the latest.
void RecordPlayersIn(TFakeMediaPlayer*& last) {
  SetMediaPlayerFactory([&last] {
    auto player = std::make_unique<TFakeMediaPlayer>();
    last = player.get();
    return player;
  });
}

}  // namespace

TEST(MainShellForm, ButtonsOpenTheirWindowsOrStayHidden) {
  TMainSettings settings;
  TSkinnedForm main("FormMain");
  TSkinnedForm queries("FormQueries");
  TGraphicButton* toggle = AddButton(main, "ButtonQueries");
  TGraphicButton* missing = AddButton(main, "ButtonSetup");
  TGraphicButton* made = AddButton(main, "ButtonShopping");
  TGraphicButton* link = AddButton(main, "ButtonSubscribe");
  TGraphicButton* noLink = AddButton(main, "ButtonMoreGames");
  link->hide();
  settings.Ini = TIniFile(
      TIniFile::FromText("[Publisher Links]\nSubscribeURL= https://example.com/news \nMoreGamesURL=\n"));
  InstallMainShell(main, settings, {});
  main.show();

  EXPECT_TRUE(missing->isHidden());  // no settings window yet: no dead button
  EXPECT_TRUE(made->isHidden());
  EXPECT_FALSE(toggle->isHidden());
  ASSERT_TRUE(toggle->OnClick);
  toggle->OnClick();
  EXPECT_TRUE(queries.isVisible());
  toggle->OnClick();
  EXPECT_FALSE(queries.isVisible());

  TRecordingOpener opener;
  SetShellOpener(&opener);
  EXPECT_FALSE(link->isHidden());
  EXPECT_TRUE(noLink->isHidden());  // no address, no button
  link->OnClick();
  EXPECT_EQ(opener.opened, (std::vector<std::string>{"https://example.com/news"}));
  SetShellOpener(nullptr);
}

TEST(MainShellForm, CloseIsCancelledWhenTheWorkCannotBeSaved) {
  TMainSettings settings;
  TSkinnedForm main("FormMain");
  int saves = 0;
  std::vector<std::string> asked;
  InstallMainShell(main, settings, {[] { return 2; }, [&] { return ++saves, false; },
                          [&](const std::string& text) { return asked.push_back(text), ECloseAnswer::Yes; },
                          nullptr, [] { return false; }});
  ASSERT_TRUE(main.OnCloseQuery);
  bool canClose = true;
  main.OnCloseQuery(canClose);
  EXPECT_FALSE(canClose);
  EXPECT_EQ(asked.size(), 1u);  // the save question only
  EXPECT_EQ(saves, 1);
}

TEST(MainShellForm, ClosingTheSaveQuestionByItsCrossOrEscStaysWithTheWork) {
  TMainSettings settings;
  SetMessagePresenter([](TMessageBoxKind, const std::string&) {});  // no skins here
  TSkinnedForm main("FormMain");
  int saves = 0;
  TMainShellLinks links;
  links.LayerCount = [] { return 2; };
  links.SaveWork = [&] { return ++saves, true; };
  links.WorkSaved = [] { return false; };
  InstallMainShell(main, settings, std::move(links));
  // Each question the box shows, closed as `close` closes it.
  std::vector<std::string> asked;
  auto closeEachQuestion = [&asked](std::function<void()> close) {
    auto* poll = new QTimer(&MessageForm());
    QObject::connect(poll, &QTimer::timeout, [&asked, close] {
      if (!FormMessage->isVisible()) return;
      asked.push_back(FormMessage->LabelMessage->text().toStdString());
      close();
    });
    poll->start(10);
    return poll;
  };
  const std::function<void()> ways[] = {
      [] { FormMessage->ButtonExit->OnClick(); },
      [] {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
        QApplication::sendEvent(FormMessage, &esc);
      }};
  for (const auto& way : ways) {
    asked.clear();
    QTimer* poll = closeEachQuestion(way);
    bool canClose = true;
    main.OnCloseQuery(canClose);
    delete poll;
    EXPECT_FALSE(canClose);
    EXPECT_EQ(asked.size(), 1u) << "no exit question after the save question was closed";
    EXPECT_EQ(saves, 0);
  }
  SetMessagePresenter(nullptr);
}

TEST(MainShellForm, QtFiltersFromTheWindowsForm) {
  EXPECT_EQ(QtNameFilterList("Pictures|*.png;*.jpg|All files (*.*)|*.*"),
            (QStringList{"Pictures (*.png *.PNG *.jpg *.JPG)", "All files (*)"}));
}

TEST(MainShellForm, CreatingTheMainWindowLoadsTheProgramsCursorsAndContentFolders) {
  TMainSettings settings;
  ScreenCursors().Load("/nonexistent/");  // whatever earlier tests loaded is gone
  SetProgramFolders(BuildDir() / "Tressary");
  TempFolder config;
  const ScopedEnv home("XDG_CONFIG_HOME", config.Path().string());
  WriteTestFile(config / "Tressary" / "registry.ini", "[SOFTWARE\\Tessaly\\Tressary 5.10]\nHDPath=/media/hd\n");
  TTestTexts texts;
  ReadMainWindowData(settings, texts.Texts);
  EXPECT_EQ(ScreenCursors().PictureCount(), int(kProgramCursors.size()));
  EXPECT_EQ(ProgramCursor(crHandInfo).shape(), Qt::BitmapCursor);
  // The content folders come with the settings the windows are handed.
  EXPECT_EQ(settings.Content.HDPath, "/media/hd\\");
  EXPECT_EQ(settings.Content.CDPath, InstallationFolder());
  SetProgramFolders({});
}

TEST(MainShellForm, HintsShowInTheSoundHintAndSpeakTheirSoundWhenSoundsAreOn) {
  TMainSettings settings;
  TempFolder dir;
  WriteTestFile(dir / "termins.txt", "ButtonLayerUndoHint=Undo the last step@undo.wav\nProductName=Tressary@x.wav\n");
  SetProgramFolders(dir.Path());
  settings.Ini = TIniFile(
      TIniFile::FromText("[SOUND]\nPlaySound=YES\n[DIRECTORIES]\nSoundFilesDirName=Voices\n"));
  TFakeMediaPlayer* voice = nullptr;
  RecordPlayersIn(voice);
  TTestTexts texts;
  ReadMainWindowData(settings, texts.Texts);
  TSkinnedForm main("FormMain");
  TGraphicButton* undo = AddButton(main, "ButtonLayerUndo");
  undo->setGeometry(10, 10, 40, 20);
  auto* label = new QLabel(&main);
  label->setObjectName("LabelProductName");
  InstallMainShell(main, settings, {});
  main.show();

  TSoundHint* hint = TSoundHint::Current();
  ASSERT_NE(hint, nullptr);
  EXPECT_EQ(hint->parent(), &main);  // made with the main window, gone with it
  EXPECT_EQ(label->text(), "Tressary");  // a caption never shows a sound's name
  ASSERT_NE(voice, nullptr);
  // The mouse comes to the button: after the hint pause the bubble shows its hint
  // and the sound from the sound folder plays.
  QEvent enter(QEvent::Enter);
  QApplication::sendEvent(undo, &enter);
  QEventLoop wait;
  QTimer::singleShot(hint->Pause + 200, &wait, &QEventLoop::quit);
  wait.exec();
  ASSERT_TRUE(hint->HintWindow()->isVisible());
  EXPECT_EQ(hint->HintWindow()->Caption(), "Undo the last step");
  EXPECT_EQ(voice->calls, (std::vector<std::string>{"open:" + (dir / "Voices" / "undo.wav").string(), "play"}));
  hint->HideHint();

  SetMediaPlayerFactory({});
  SetProgramFolders({});
}

// Sounds switched on in the settings speak from the next hint on, and the
// interface's hint colours reach the bubble made after the window's interface.
TEST(MainShellForm, SoundsSwitchedOnLaterSpeakAndTheInterfaceColoursTheBubble) {
  TMainSettings settings;
  TempFolder dir;
  WriteTestFile(dir / "termins.txt", "ButtonLayerUndoHint=Undo the last step@undo.wav\n");
  SetProgramFolders(dir.Path());
  settings.Ini = TIniFile::FromText("[SOUND]\nPlaySound=NO\n");
  TInterface look;
  TUseInterface useLook(look);
  look.Info.LoadLines({"SECTION FormMain TFormMain", "  OBJECT SoundHint TSoundHint",
                       "    HintBgColor = 0x0000FF; HintTextColor = 0x00FF00;", "  END", "END"});
  TFakeMediaPlayer* voice = nullptr;
  RecordPlayersIn(voice);
  TTestTexts texts;
  ReadMainWindowData(settings, texts.Texts);
  TSkinnedForm main("FormMain");
  TGraphicButton* undo = AddButton(main, "ButtonLayerUndo");
  InstallMainShell(main, settings, {});
  TSoundHint* hint = TSoundHint::Current();
  ASSERT_NE(hint, nullptr);
  EXPECT_EQ(hint->HintBgColor, QColor(255, 0, 0));
  EXPECT_EQ(hint->HintTextColor, QColor(0, 255, 0));
  hint->ActivateHint(QPoint(50, 50), undo->toolTip());
  EXPECT_EQ(voice, nullptr);  // silent while sounds are off

  SetHintSounds(true);
  ASSERT_NE(voice, nullptr);
  hint->ActivateHint(QPoint(50, 50), undo->toolTip());
  EXPECT_EQ(voice->calls, (std::vector<std::string>{"open:" + (dir / "Sound" / "undo.wav").string(), "play"}));
  SetHintSounds(false);
  voice->calls.clear();
  hint->ActivateHint(QPoint(50, 50), undo->toolTip());
  EXPECT_TRUE(voice->calls.empty());
  hint->HideHint();

  SetMediaPlayerFactory({});
  SetProgramFolders({});
}

TEST(MainShellForm, TheApplicationsActivationReachesTheMainWindowOncePerChange) {
  TMainSettings settings;
  TSkinnedForm main("FormMain");
  InstallMainShell(main, settings, {});
  int activated = 0, deactivated = 0;
  MainApplicationEvents().Activated.push_back([&] { ++activated; });
  MainApplicationEvents().Deactivated.push_back([&] { ++deactivated; });
  const bool startedActive = QGuiApplication::applicationState() == Qt::ApplicationActive;
  for (Qt::ApplicationState state : {Qt::ApplicationActive, Qt::ApplicationInactive, Qt::ApplicationInactive,
                                     Qt::ApplicationActive, Qt::ApplicationActive})
    emit qApp->applicationStateChanged(state);
  EXPECT_EQ(deactivated, 1);
  EXPECT_EQ(activated, startedActive ? 1 : 2);
  MainApplicationEvents() = {};
}
