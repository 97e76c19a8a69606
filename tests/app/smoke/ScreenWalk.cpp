// screen-walk <out folder>: the real program under a window manager, walked where
// the screen once went wrong, the script looking at the screen between the steps:
//   1. a tinted layer dragged 30 pixels in Layer mode and the drag undone; the
//      desk's picture and where it lies go to <out> (export.png, geometry.txt)
//      for the script to compare with the screen, and the main window's place to
//      <out>/main.txt; the script then clicks the backdrop and touches
//      <out>/clicked
//   2. the help page printed twice with no printer set up: the first dialog is
//      cancelled, the second prints to <out>/help.pdf; then the print window's
//      Print, with no printer either, answered in its dialog with
//      <out>/page.pdf; <out>/done says the walk ended, with "ok" or what failed,
//      and the program ends once the script touches <out>/seen.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>
#include <string>

#include "app/Program.h"
#include "editor/MontageDesk.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMontage.h"
#include "exchange/forms/FormPrint.h"
#include "picture/Layer.h"
#include "shell/forms/FormHelp.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "support/qt/DeskShown.h"

namespace {

std::string out;
std::string failure;

void Fail(const std::string& why) {
  if (failure.empty()) failure = why;
}

TFormMain* Main() { return qobject_cast<TFormMain*>(FindScreenForm("FormMain")); }

// Runs `then` once `file` exists (the script's answer), polling.
void WhenFile(const std::string& file, std::function<void()> then) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, [poll, file, then] {
    if (!QFile::exists(QString::fromStdString(file))) return;
    poll->stop();
    poll->deleteLater();
    then();
  });
  poll->start(100);
}

// Says how the walk went and ends once the script has looked at the screen.
void Finish() {
  std::ofstream(out + "/done") << (failure.empty() ? "ok" : failure) << '\n';
  WhenFile(out + "/seen", [] { QApplication::exit(failure.empty() ? 0 : 1); });
}

// Answers the next print dialog as a person does: cancelled when `file` is empty,
// otherwise "Print to File (PDF)" chosen, `file` typed and the dialog accepted.
void AnswerPrintDialog(const std::string& file) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, [poll, file] {
    auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    QTest::qWait(300);
    if (file.empty()) return dialog->reject();
    auto* printers = dialog->findChild<QComboBox*>("printers");
    auto* name = dialog->findChild<QLineEdit*>("filename");
    if (!printers || !name) {
      Fail("the print dialog has no printer list or file name");
      return dialog->reject();
    }
    const int pdf = printers->count() - 1;  // the dialog's last entry prints to a file
    printers->setCurrentIndex(pdf);
    name->setText(QString::fromStdString(file));
    dialog->accept();
  });
  poll->start(50);
}

void Drag(QWidget* desk, QPoint from, QPoint by) {
  QTest::mousePress(desk, Qt::LeftButton, {}, from);
  for (int step = 1; step <= 6; ++step) {
    QTest::mouseMove(desk, from + by * step / 6);
    QTest::qWait(20);
  }
  QTest::mouseRelease(desk, Qt::LeftButton, {}, from + by);
}

void UndoAMove() {
  TFormMain* main = Main();
  if (!main || !main->DeskWindow()) return Fail("no main window with a desk");
  TMontageDesk& desk = main->DeskWindow()->Desk();
  TBitmap32 picture(160, 120);
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 160; ++x) picture.SetPixel(x, y, Color32(std::uint8_t(40 + x), std::uint8_t(200 - y), 90));
  auto owned = std::make_unique<TLayer>(desk, picture);
  TLayer& layer = *owned;
  layer.Left = desk.DeskGeometry().DeskViewLeft + 120;
  layer.Top = desk.DeskGeometry().DeskViewTop + 150;
  desk.InsertLayer(std::move(owned));
  layer.Render(desk.DeskFrame());
  desk.SelectLayer(0);
  main->State().SetControls();
  desk.RefreshAll();
  // A tint first, as the palette gives it, then the drag in Layer mode.
  main->State().SetDeskMode(dmColoration);
  main->State().PaletteColorPicked(0x3070E0);
  QTest::qWait(200);
  main->Button("ButtonActions")->OnClick();
  QTest::qWait(200);
  QWidget* view = main->DeskWindow();
  const TRect at = layer.ViewRect();
  Drag(view, QPoint((at.Left + at.Right) / 2, (at.Top + at.Bottom) / 2), QPoint(30, 0));
  QTest::qWait(200);
  if (layer.Left != desk.DeskGeometry().DeskViewLeft + 150) Fail("the drag did not move the layer");
  TGraphicButton* undo = main->Button("ButtonLayerUndo");
  if (!undo->isVisible() || !undo->isEnabled()) Fail("Undo is not offered after the drag");
  QTest::mouseClick(undo, Qt::LeftButton, {}, undo->rect().center());
  QTest::qWait(200);
  if (layer.Left != desk.DeskGeometry().DeskViewLeft + 120) Fail("Undo did not take the move back");
  // Another mode and no selection: the desk must show exactly the work.
  main->Button("ButtonColoration")->OnClick();
  desk.SelectLayer(-1);
  QTest::qWait(300);
  WriteDeskShown(*main, out);
  const QRect place = main->frameGeometry();
  std::ofstream(out + "/main.txt") << place.x() << ' ' << place.y() << ' ' << place.width() << ' ' << place.height()
                                   << '\n';
}

void PrintWithoutAPrinter() {
  ShellHooks().ShowHelp("Contents");
  if (!FormHelp) return Fail("asking for help made no help window");
  QTest::qWait(300);
  // No printer: the dialog is asked for; the first is cancelled.
  AnswerPrintDialog("");
  FormHelp->ButtonPrint->OnClick();
  QTest::qWait(300);
  AnswerPrintDialog(out + "/help.pdf");
  FormHelp->ButtonPrint->OnClick();
  QTest::qWait(300);
  FormHelp->close();
  if (!QFile::exists(QString::fromStdString(out + "/help.pdf"))) Fail("the help page was not printed");
  // The print window (modal until it closes): Print before any set-up.
  QTimer::singleShot(800, qApp, [] {
    AnswerPrintDialog(out + "/page.pdf");
    if (!FormPrint) return Fail("the print button made no print window");
    if (!FormPrint->OKBtnClick()) Fail("the print window did not print after its dialog");
    FormPrint->close();
  });
  Main()->Button("ButtonPrint")->OnClick();
  QTest::qWait(300);
}

// The question before printing an unsaved work is answered no; any other
// message in this walk is a failure told by the program.
void AnswerMessages() {
  if (!FormMessage || !FormMessage->isVisible()) return;
  if (!FormMessage->ButtonNo->isHidden()) return FormMessage->ButtonNo->OnClick();
  Fail("the program said: " + FormMessage->LabelMessage->text().toStdString());
  FormMessage->ButtonYes->OnClick();
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) return 2;
  out = argv[1];
  return RunProgram(1, argv, [] {
    auto* answering = new QTimer(qApp);
    QObject::connect(answering, &QTimer::timeout, &AnswerMessages);
    answering->start(100);
    QTimer::singleShot(800, qApp, [] {
      UndoAMove();
      if (!failure.empty()) return Finish();
      WhenFile(out + "/clicked", [] {
        PrintWithoutAPrinter();
        Finish();
      });
    });
  });
}
