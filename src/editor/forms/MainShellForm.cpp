#include "editor/forms/MainShellForm.h"

#include <QApplication>
#include <QLabel>

#include "editor/CatalogIndex.h"
#include "editor/MainShell.h"
#include "editor/forms/MusicPlayer.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/ShellOpen.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/FormScreen.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/SkinnedForm.h"
#include "shell/forms/SoundHint.h"
#include "shell/forms/StandingForms.h"
#include "platform/qt/MediaPlayer.h"
#include "shell/forms/TermText.h"

namespace {

class TQtClosePorts : public IMainClosePorts {
 public:
  explicit TQtClosePorts(const TMainShellLinks& links) : links_(links) {}
  bool HasUnsavedWork() override {
    return links_.WorkSaved && !links_.WorkSaved() && links_.LayerCount && links_.LayerCount() > 0;
  }
  ECloseAnswer Ask(const std::string& text) override {
    if (links_.Ask) return links_.Ask(text);
    const int answer = AskYesNoOrCancel(text);
    return answer == kMessageYes ? ECloseAnswer::Yes : answer == kMessageNo ? ECloseAnswer::No : ECloseAnswer::Cancel;
  }
  bool SaveWork() override { return links_.SaveWork && links_.SaveWork(); }
  void ShowTip(const std::string& page) override {
    if (ShellHooks().ShowTip) ShellHooks().ShowTip(page);
  }
  void ProcessMessages() override { QCoreApplication::processEvents(); }

 private:
  const TMainShellLinks& links_;
};

void ApplyTexts(TSkinnedForm& form) {
  const QString title = QString::fromStdString(ApplicationTitle());
  QGuiApplication::setApplicationDisplayName(title);
  if (QWidget* backdrop = BackdropWindow()) backdrop->setWindowTitle(title);
  form.setWindowTitle(title);
  if (auto* label = form.findChild<QLabel*>("LabelProductName")) label->setText(title);
  for (QWidget* control : form.findChildren<QWidget*>()) {
    const std::string name = control->objectName().toStdString();
    if (name.empty()) continue;
    const TMainHint hint = MainHintKey(name);
    control->setToolTip(TermText(hint.Key, hint.Default));
  }
}

void OpenWindow(TGraphicButton& button, const TOpener& opener) {
  auto* window = qobject_cast<TSkinnedForm*>(StandingForm(opener.Window));
  if (!window) return;
  if (opener.Mode == TOpenMode::Modal) {
    if (opener.PressedMeanwhile) button.SetPressed(true);
    ShowSkinnedModal(*window);
    if (opener.PressedMeanwhile) button.SetPressed(false);
    return;
  }
  if (window->isHidden()) {
    window->show();
    if (window->isMinimized()) window->showNormal();
    if (!opener.Page.empty() && ShellHooks().ShowHelp && opener.Window == "FormHelp")
      ShellHooks().ShowHelp(std::string(opener.Page));
  } else if (window->isMinimized()) {
    window->showNormal();
  } else {
    window->close();
  }
}

void BindOpeners(TSkinnedForm& form, const TIniFile& settings) {
  for (const TOpener& opener : MainOpeners()) {
    auto* button = form.findChild<TGraphicButton*>(QString::fromUtf8(opener.Button.data(), int(opener.Button.size())));
    if (!button) continue;
    // Windows made only for the call and windows the program lacks have no
    // factory; a button without its window would do nothing.
    const TOpener* entry = &opener;
    if (opener.CreatedForCall) {
      std::function<void()> run = CallWindow(opener.Window);
      button->setVisible(bool(run));
      if (!run) continue;
      button->OnClick = [button, entry, run] {
        if (entry->PressedMeanwhile) button->SetPressed(true);
        run();
        if (entry->PressedMeanwhile) button->SetPressed(false);
      };
      continue;
    }
    if (!HasStandingForm(opener.Window)) {
      button->hide();
      continue;
    }
    button->OnClick = [button, entry] { OpenWindow(*button, *entry); };
  }
  if (auto* minimize = form.findChild<TGraphicButton*>("ButtonMinimize"))
    minimize->OnClick = [&form] {
      form.showMinimized();
      if (QWidget* backdrop = BackdropWindow()) backdrop->showMinimized();
    };
  for (const char* name : {"ButtonExit", "ButtonExitMain"})
    if (auto* exit = form.findChild<TGraphicButton*>(name))
      exit->OnClick = [exit, &form] {
        exit->SetPressed(true);
        form.close();
        if (exit) exit->SetPressed(false);
      };
  for (const TLinkButton& link : LinkButtons()) {
    auto* button = form.findChild<TGraphicButton*>(QString::fromUtf8(link.Button.data(), int(link.Button.size())));
    if (!button) continue;
    // A link without an address would be a button that does nothing.
    const std::string key(link.Key);
    button->setVisible(!PublisherLink(settings, key).empty());
    button->OnClick = [key, &settings] {
      const std::string url = PublisherLink(settings, key);
      if (url.empty()) return;
      QCoreApplication::processEvents();
      ShellOpen(url);
    };
  }
}

void BindClose(TSkinnedForm& form, const TIniFile& settings, TMainShellLinks links) {
  auto shared = std::make_shared<TMainShellLinks>(std::move(links));
  QPointer<TSkinnedForm> main(&form);
  form.OnCloseQuery = [shared, main, &settings](bool& canClose) {
    TQtClosePorts ports(*shared);
    canClose = MainCloseQuery(ports, settings);
    if (!canClose) return;
    // Closing the backdrop ends the program; it must not ask again.
    if (FormScreen) {
      FormScreen->OnCloseQuery = nullptr;
      FormScreen->close();
    } else {
      TerminateApplication();
    }
  };
  if (FormScreen) {
    FormScreen->OnCloseQuery = [shared, &settings](bool& canClose) {
      TQtClosePorts ports(*shared);
      canClose = MainCloseQuery(ports, settings);
    };
    FormScreen->OnKeyDown = [](int& key, int shift) {
      if (ShellHooks().MainKeyDown) ShellHooks().MainKeyDown(key, shift);
    };
    FormScreen->OnKeyUp = [](int& key, int shift) {
      if (ShellHooks().MainKeyUp) ShellHooks().MainKeyUp(key, shift);
    };
  }
}

// The main window's application events: activated, deactivated, and the backdrop
// activated (a click on it brings the program's windows back over it).
void BindApplicationEvents(TSkinnedForm& form) {
  QPointer<TSkinnedForm> main(&form);
  auto active = std::make_shared<bool>(QGuiApplication::applicationState() == Qt::ApplicationActive);
  QObject::connect(qApp, &QGuiApplication::applicationStateChanged, &form, [main, active](Qt::ApplicationState state) {
    const bool nowActive = state == Qt::ApplicationActive;
    if (!main || nowActive == *active) return;
    *active = nowActive;
    if (!nowActive) {
      for (const auto& handler : MainApplicationEvents().Deactivated) handler();
      return;
    }
    // Restoring the application brings the main window to the front.
    if (main->isMinimized()) {
      main->showNormal();
      main->raise();
    }
    for (const auto& handler : MainApplicationEvents().Activated) handler();
  });
  if (FormScreen)
    FormScreen->OnActivate = [main] {
      if (!main || !main->isVisible()) return;
      main->raise();
      if (QWidget* modal = InnermostSkinnedModal()) modal->raise();
    };
}

}  // namespace

TMainApplicationEvents& MainApplicationEvents() {
  // The application's activation is the process's; the main window fills it.
  static TMainApplicationEvents events;
  return events;
}

void ReadMainWindowData(TMainSettings& settings, TProgramTexts& texts) {
  const TIniFile& ini = settings.Ini;
  ReadDataFolders(ini, settings);
  MakeDataFolders(settings);
  TProgramTexts loaded = LoadProgramTexts(InstallationFolder() + "termins.txt");
  texts.Terms = std::move(loaded.Terms);  // its watch stays
  texts.Loaded = loaded.Loaded;
  if (texts.Loaded) ReadFilterCaptions(texts.Terms, settings);
  ReadMainSettings(ini, settings);
  settings.Content = ReadContentPaths(ini, InstallationFolder());
  ScreenCursors().Load(InstallationFolder());
}

namespace {

// The application's hints show in the sound hint's bubble and speak their sound
// when the settings turn sounds on.
void InstallSoundHint(TSkinnedForm& form, const TMainSettings& settings, const std::function<IMediaPlayer*()>& music) {
  auto* hint = new TSoundHint(&form);
  hint->setObjectName("SoundHint");
  // The window took its interface before the hint existed: its colours now.
  ApplyInterfaceTo(form, *hint);
  hint->PathForWave = DataFolderPath(settings.SoundDir).string();
  // Hint sounds wait for the music, which pauses while they speak.
  hint->SoundAfter = settings.PlayMusic;
  if (settings.PlayMusic && music) hint->BgPlayer = music();
  SetHintSounds(settings.PlaySound);
}

}  // namespace

void SetHintSounds(bool on) {
  TSoundHint* hint = TSoundHint::Current();
  if (!hint) return;
  hint->SoundEnabled = on;
  // The player is made the first time sounds are on, at start or from the settings.
  if (on && !hint->MyPlayer) {
    auto player = std::shared_ptr<IMediaPlayer>(CreateMediaPlayer());
    hint->MyPlayer = player.get();
    QObject::connect(hint, &QObject::destroyed, [player] {});  // the player lives as long as the hint
  }
}

void InstallMainShell(TSkinnedForm& form, const TMainSettings& settings, TMainShellLinks links) {
  InstallSoundHint(form, settings, links.BackgroundMusic);
  if (TextsInUse().Loaded) ApplyTexts(form);
  if (auto* label = form.findChild<QLabel*>("LabelActiveLayerName")) label->clear();
  BindOpeners(form, settings.Ini);
  BindClose(form, settings.Ini, std::move(links));
  BindApplicationEvents(form);
}
