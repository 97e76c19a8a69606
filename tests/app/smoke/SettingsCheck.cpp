// settings-check change|restart: the program started as a person starts it,
// driven through its windows with the mouse and keyboard.
//   change   the main window's settings button; in the settings window the
//            second interface chosen, margins 12 and 20 and a port that is no
//            number typed, and saved; the message that the interface comes with
//            the next start answered. The settings file must hold it all.
//   restart  the second interface is in force (its palette grid of 2 x 2 slots),
//            so are the margins, and the settings window shows them; then a
//            palette slot tints the portrait on the desk, on the real screen.
// Exits 0 when all holds; prints what it saw otherwise.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <string>

#include "app/Program.h"
#include "editor/MainShell.h"
#include "editor/MontageDesk.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMontage.h"
#include "editor/forms/FormSetup.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/Text.h"
#include "shell/InterfaceInfo.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "support/qt/DrawnPortrait.h"
#include "support/qt/MessageAnswer.h"
#include "support/qt/ScreenTestLoop.h"

namespace {

int failures = 0;
void Check(bool ok, const std::string& what) {
  if (ok) return;
  ++failures;
  std::fprintf(stderr, "FAIL %s\n", what.c_str());
}

void Click(QWidget* widget) {
  QTest::mousePress(widget, Qt::LeftButton, {}, widget->rect().center());
  QTest::mouseRelease(widget, Qt::LeftButton, {}, widget->rect().center());
}

void Type(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, text);
}

// Runs `step` once the settings window is up, from inside its modal loop.
void WhenSetupShows(std::function<void()> step) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, [poll, step] {
    if (!FormSetup || !FormSetup->isVisible()) return;
    poll->deleteLater();
    QTest::qWait(200);
    step();
  });
  poll->start(20);
}

void Change(TFormMain& main) {
  std::string message;
  WhenSetupShows([&message] {
    QComboBox* combo = FormSetup->ComboBoxInterfaceName;
    const int night = combo->findText("Night");
    Check(night > 0, "the settings window lists the second interface");
    // The combo's own keys choose it, as a person would.
    combo->setFocus();
    for (int i = combo->currentIndex(); i < night; ++i) QTest::keyClick(combo, Qt::Key_Down);
    Type(FormSetup->EditLeftRightMargins, "12");
    Type(FormSetup->EditTopBottomMargins, "20");
    Type(FormSetup->EditMailPort, "smtp");
    AnswerNextMessage(message);
    Click(FormSetup->ButtonSaveSettings);
  });
  Click(main.Button("ButtonSetup"));
  Check(message.find("next start") != std::string::npos, "the new interface is announced for the next start: \"" +
                                                              message + "\"");
  const TIniFile saved(InstallationFolder() + "Tressary.ini", false);
  Check(saved.ReadString("PRINT", "LeftRightMargin", "") == "12", "the left and right margins are saved");
  Check(saved.ReadString("PRINT", "TopBottomMargin", "") == "20", "the top and bottom margins are saved");
  Check(saved.ReadString("MAIL", "Port", "") == "25", "a port that is no number is saved as 25");
  Check(saved.ReadString("INTERFACES", "Interface2", "") == "NIGHT;Night;1;", "the second interface is chosen");
  Check(saved.ReadString("INTERFACES", "Interface1", "") == "DEFAULT;Tressary;0;", "the first is no longer");
}

QRgb ScreenPixel(QPoint global) {
  return QGuiApplication::primaryScreen()->grabWindow(0, global.x(), global.y(), 1, 1).toImage().pixel(0, 0);
}

void Restart(TFormMain& main) {
  const std::string running = InterfaceInUse().Name;
  Check(UpperAscii(running) == "NIGHT\\", "the program runs the second interface, not " + running);
  Check(main.PaletteSlots().size() == 4, "the second interface's 2 x 2 palette grid is built");
  Check(main.Settings().LeftRightMargin == 12 && main.Settings().TopBottomMargin == 20, "the saved margins are in force");
  WhenSetupShows([] {
    Check(FormSetup->EditLeftRightMargins->text() == "12", "the settings window shows the left and right margins");
    Check(FormSetup->EditTopBottomMargins->text() == "20", "the settings window shows the top and bottom margins");
    Check(FormSetup->ComboBoxInterfaceName->currentText() == "Night", "the settings window shows the interface");
    Click(FormSetup->ButtonOK);
  });
  Click(main.Button("ButtonSetup"));

  Check(PutDrawnPortrait(main), "a portrait on the desk");
  TMontageDesk& desk = main.DeskWindow()->Desk();
  desk.SelectLayer(0);
  Click(main.Button("ButtonColoration"));
  QTest::qWait(300);
  TGraphicButton* slot = main.PaletteSlots()[0];
  Check(slot->isVisible(), "the palette's first slot shows in the colour mode");
  // The middle of the face, on the screen.
  const QPoint face = main.DeskWindow()->mapToGlobal(main.DeskWindow()->rect().center());
  const QRgb before = ScreenPixel(face);
  Click(slot);
  QTest::qWait(500);
  const int tint = main.Palette().Colors[0].Color;
  Check(desk.Layer(0).Color() == tint, "the portrait takes the slot's colour");
  Check(desk.Layer(0).History().size() == 1, "the tint is one undo step");
  const QRgb after = ScreenPixel(face);
  Check(after != before, "the screen shows the tinted portrait");
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::string step = argc == 2 ? argv[1] : "";
  if (step != "change" && step != "restart") {
    std::fprintf(stderr, "usage: %s change|restart\n", argv[0]);
    return 2;
  }
  StartWatchdog(60);
  int programArgc = 1;
  char* programArgv[] = {argv[0], nullptr};
  const int status = RunProgram(programArgc, programArgv, [step] {
    QTimer::singleShot(300, [step] {
      auto* main = qobject_cast<TFormMain*>(FindScreenForm("FormMain"));
      Check(main != nullptr, "the main window stands");
      if (main) step == "change" ? Change(*main) : Restart(*main);
      QCoreApplication::exit(failures == 0 ? 0 : 1);
    });
  });
  if (status == 0) std::printf("ok: %s\n", step.c_str());
  return status;
}
