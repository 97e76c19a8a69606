// first-steps: the real program walked as a new user walks it, from inside its own
// message loop: the photo named by FIRST_STEPS_PHOTO comes in through the Files
// window, is fitted in the adjust window, a hairstyle is placed from the strip
// under the desk, the look is exported as JPEG and as PNG by typing a bare name
// and choosing the type, the print window is opened, and the program is quit
// (without saving the work). Writes what it saw to FIRST_STEPS_OUT/report.txt;
// the script judges the files and that no browser was started.
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <functional>

#include "app/Program.h"
#include "editor/forms/FormAdjust.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMontage.h"
#include "editor/forms/FormTemplates.h"
#include "exchange/forms/FormLoadSave.h"
#include "exchange/forms/FormPrint.h"
#include "shell/Termins.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"

namespace {

std::ofstream report;

// Each step is noted as it begins, so a walk that hangs says where.
void Note(const std::string& step) {
  report << "step " << step << '\n';
  report.flush();
}

void Fail(const std::string& why) {
  std::fprintf(stderr, "FAIL %s\n", why.c_str());
  report << "FAIL " << why << '\n';
  report.flush();
  QApplication::exit(1);
}

// Runs `step` once the next modal loop (a dialog, a skinned window) is running.
void Soon(std::function<void()> step, int ms = 50) { QTimer::singleShot(ms, qApp, std::move(step)); }

// Answers every question: no to saving the work on quitting, yes to the rest;
// notes where the box stood against the window that asked.
void AnswerQuestions() {
  if (!FormMessage || !FormMessage->isVisible()) return;
  const std::string text = FormMessage->LabelMessage->text().replace('\n', ' ').toStdString();
  const QWidget* main = FindScreenForm("FormMain");
  if (main && main->isVisible()) {
    const QPoint off = FormMessage->frameGeometry().center() - main->frameGeometry().center();
    report << "box " << off.manhattanLength() << " from the main window's centre: " << text << '\n';
  }
  const bool saveQuestion = text.find("not saved") != std::string::npos || text.find("Save the") != std::string::npos;
  (saveQuestion ? FormMessage->ButtonNo : FormMessage->ButtonYes)->OnClick();
}

TFormMain* Main() { return qobject_cast<TFormMain*>(FindScreenForm("FormMain")); }

// Opens the Files window as the main window's button does and runs `inside` in it.
void InFilesWindow(std::function<void()> inside) {
  Soon(std::move(inside));
  Main()->Button("ButtonLoadSave")->OnClick();
}

// As a user does it once `dialog` shows: the type from its list (when `typeIndex`
// is not negative), the name typed into its name field, then its accept button.
void TypeIntoDialog(QFileDialog* dialog, const std::string& name, int typeIndex = -1) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, [=] {
    if (!dialog->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
    auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
    if (!types || !edit) return Fail("a file dialog without its type list or name field");
    if (typeIndex >= 0) {
      types->setCurrentIndex(typeIndex);
      emit types->activated(typeIndex);
      emit types->textActivated(types->itemText(typeIndex));
    }
    edit->setText(QString::fromStdString(name));
    static_cast<QDialog*>(dialog)->accept();
    if (dialog->isVisible()) {
      static_cast<QDialog*>(dialog)->reject();
      Fail("the file dialog did not take " + name);
    }
  });
  poll->start(20);
}

// The export: the type from the dialog's list, a bare name typed.
void Export(int typeIndex, const char* name) {
  InFilesWindow([typeIndex, name] {
    TypeIntoDialog(FormLoadSave->ImageSaveDialog(), name, typeIndex);
    FormLoadSave->ButtonSaveImageClick();
  });
}

// The first work save: where its dialog opens, then a bare name typed.
void SaveFirstWork() {
  InFilesWindow([] {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll] {
      for (QFileDialog* dialog : FormLoadSave->findChildren<QFileDialog*>()) {
        if (dialog == FormLoadSave->ImageSaveDialog() || !dialog->isVisible()) continue;
        poll->stop();
        poll->deleteLater();
        report << "work dialog in " << dialog->directory().absolutePath().toStdString() << '\n';
        TypeIntoDialog(dialog, "first-work");
        return;
      }
    });
    poll->start(20);
    FormLoadSave->ButtonSaveWorkClick();
  });
}

void Walk(const std::string& photo) {
  TFormMain* main = Main();
  // The other windows are made as their controls first open them.
  if (!main) return Fail("the start-up made no main window");
  Note("photo");
  InFilesWindow([photo] {
    TypeIntoDialog(FormLoadSave->ImageOpenDialog(), photo);
    FormLoadSave->ButtonLoadImageClick();
  });
  if (!FormAdjust || !FormAdjust->isVisible()) return Fail("the photo did not reach the adjust window");
  Note("fit");
  FormAdjust->ButtonOKClick();
  TMontageDesk& desk = main->DeskWindow()->Desk();
  if (!desk.PortraitLayer()) return Fail("the adjust window put no portrait on the desk");
  Note("work");
  SaveFirstWork();
  Note("hairstyle");
  TGraphicButton* hair = main->findChild<TGraphicButton*>("ButtonTemplateHairW");
  if (!hair || !hair->isVisible()) return Fail("no hairstyle button under the desk");
  QTest::mouseClick(hair, Qt::LeftButton, {}, hair->rect().center());
  Soon([main, &desk] {
    if (!FormTemplates || !FormTemplates->isVisible()) return Fail("the template browser did not open");
    const TRect cell = FormTemplates->Grid().Cell(0, 0);
    QTest::mouseClick(static_cast<QWidget*>(FormTemplates->ResImage), Qt::LeftButton, {},
                      QPoint(cell.Left + cell.Width() / 2, cell.Top + cell.Height() / 2));
    if (desk.LayerCount() < 2) return Fail("no hairstyle landed on the desk");
    FormTemplates->close();
    // The look as JPEG and as PNG (the save dialog's second and last types).
    Note("export");
    Export(1, "look");
    Export(6, "look");
    desk.RenderExportBitmap();
    report << "export " << desk.ExportBox().Width() << ' ' << desk.ExportBox().Height() << '\n';
    Note("print");
    Soon([] {
      if (!FormPrint) return Fail("the print button made no print window");
      for (int i = 0; i < FormPrint->FileListBox->count(); ++i)
        report << "print lists " << FormPrint->FileListBox->item(i)->text().toStdString() << '\n';
      FormPrint->close();
    }, 300);
    main->Button("ButtonPrint")->OnClick();
    Note("quit");
    main->close();
  }, 800);
}

}  // namespace

int main(int argc, char* argv[]) {
  const char* photo = std::getenv("FIRST_STEPS_PHOTO");
  const char* out = std::getenv("FIRST_STEPS_OUT");
  if (argc < 1 || !photo || !out) return 2;
  report.open(std::string(out) + "/report.txt");
  const int status = RunProgram(1, argv, [&] {
    auto* answering = new QTimer(qApp);
    QObject::connect(answering, &QTimer::timeout, &AnswerQuestions);
    answering->start(100);
    Soon([photo] { Walk(photo); }, 500);
  });
  report << "ended " << status << '\n';
  return status;
}
