// window-order: the real program under a window manager, where a click beside a
// window is the commonest click there is. From a fresh start, and again with a
// portrait on the desk, each window a control of the main window opens (and the
// message box over the Files window, the fitting window, both video players and
// help from each) is opened, then the main window's empty panel and the
// backdrop are clicked with the real pointer; the window manager's stacking
// (_NET_CLIENT_LIST_STACKING) must then list the window above the window it
// opened from, that above the main window, and the main window above the
// backdrop. The window is then closed as a person does (a click on it, Esc),
// and a real click on a main-window button must reach that button. Last, F1
// pressed while a one-line text field has focus opens that window's help, and
// the open dialog's completion list goes with the dialog.
// Exits 0 when every check holds; each failure is printed.
#include <QApplication>
#include <QAbstractItemView>
#include <QCompleter>
#include <QFile>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/Program.h"
#include "editor/MainShell.h"
#include "editor/SourcePicture.h"
#include "editor/forms/FormAdjust.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormTemplates.h"
#include "editor/forms/TemplateButtons.h"
#include "exchange/forms/FormEmail.h"
#include "exchange/forms/FormLoadSave.h"
#include "exchange/forms/OpenPictureDialog.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/SkinnedForm.h"
#include "shell/forms/StandingForms.h"
#include "support/qt/DrawnPortrait.h"
#include "support/qt/ScreenTestLoop.h"

namespace {

int failures = 0;
QElapsedTimer walkClock;
std::string round;  // "fresh start" or "work on the desk"
bool Check(bool ok, const std::string& what) {
  if (!ok) {
    ++failures;
    std::fprintf(stderr, "FAIL (%s) %s\n", round.c_str(), what.c_str());
  }
  return ok;
}

QString Run(const QString& program, const QStringList& args) {
  QProcess process;
  process.start(program, args);
  // The program's events keep turning while the tool runs.
  while (!process.waitForFinished(10)) {
    if (process.state() == QProcess::NotRunning) break;
    QCoreApplication::processEvents();
  }
  return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// A real click of the pointer, seen by the window manager as a person's.
void ClickAt(QPoint at) {
  // Two clicks on one place within the double-click time are a double click.
  static QPoint last;
  static QElapsedTimer since;
  if (since.isValid() && (at - last).manhattanLength() < 8)
    Pump(std::max(0, QApplication::doubleClickInterval() + 100 - int(since.elapsed())));
  last = at;
  since.start();
  // From one pixel beside, so that a control under a pointer that rests there sees it come.
  Run("xdotool", {"mousemove", QString::number(at.x() - 1), QString::number(at.y() - 1), "mousemove",
                  QString::number(at.x()), QString::number(at.y()), "click", "1"});
  Pump(60);
}
void PressKey(const QString& key) {
  Run("xdotool", {"key", key});
  Pump(60);
}

// The program's windows as the window manager stacks them, bottom first.
std::vector<unsigned long> Stacking() {
  std::vector<unsigned long> ids;
  const QString text = Run("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"});
  for (const QString& part : text.section('#', 1).split(',', Qt::SkipEmptyParts)) ids.push_back(part.trimmed().toULong(nullptr, 16));
  return ids;
}

std::string Label(const QWidget* window) {
  return window == BackdropWindow() ? "the backdrop" : window->objectName().toStdString();
}

// Why the windows, top first, are not stacked in that order; empty when they are.
std::string OrderFault(const std::vector<QWidget*>& topFirst) {
  const std::vector<unsigned long> stack = Stacking();
  std::vector<long> places;
  for (QWidget* window : topFirst) {
    const auto it = std::find(stack.begin(), stack.end(), (unsigned long)window->winId());
    if (it == stack.end()) {
      std::string known;
      for (unsigned long id : stack) {
        known += " " + std::to_string(id);
        for (QWidget* w : QApplication::topLevelWidgets())
          if (w->internalWinId() == id) known += "=" + Label(w) + (w->isVisible() ? "" : "(hidden)");
      }
      if (qEnvironmentVariableIsSet("ORDER_DEBUG"))
        std::fprintf(stderr, "%s\n", Run("xwininfo", {"-id", QString::number(window->winId())}).toStdString().c_str());
      return Label(window) + " (" + std::to_string(window->winId()) + ") is not in the window manager's stacking:" + known;
    }
    places.push_back(long(it - stack.begin()));
  }
  for (size_t i = 0; i + 1 < places.size(); ++i)
    if (places[i] < places[i + 1]) return Label(topFirst[i + 1]) + " lies above " + Label(topFirst[i]);
  return {};
}

bool IsControl(const QWidget* child) {
  if (!child) return false;
  const QByteArray kind = child->metaObject()->className();
  return kind != "QWidget" && kind != "TDrawPanel" && kind != "TCaptionBar" && kind != "QLabel";
}

// Whether a point of the screen lies in a shown window of the program other than `except`.
bool Covered(QPoint at, const QWidget* except) {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window != except && window != BackdropWindow() && window->isVisible() && window->frameGeometry().contains(at))
      return true;
  return false;
}

// A point of `window` where a click reaches no control, furthest right first
// (the main window's empty right panel), and with `uncovered` none that another
// window of the program covers; null when none.
std::optional<QPoint> QuietPoint(QWidget& window, bool uncovered = false) {
  const QRegion shape = window.mask().isEmpty() ? QRegion(window.rect()) : window.mask();
  for (int x = window.width() - 12; x > 8; x -= 16)
    for (int y = window.height() / 2, step = 0; y > 8 && y < window.height() - 8; y += (++step % 2 ? step : -step) * 16) {
      const QPoint local(x, y);
      const QPoint global = window.mapToGlobal(local);
      if (shape.contains(local) && !IsControl(window.childAt(local)) && !(uncovered && Covered(global, &window)))
        return global;
    }
  return std::nullopt;
}

std::optional<QPoint> BackdropPoint() {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  for (int y = screen.top() + 10; y < screen.bottom(); y += 40)
    for (int x = screen.left() + 10; x < screen.right(); x += 40)
      if (!Covered({x, y}, nullptr)) return QPoint(x, y);
  return std::nullopt;
}

// A message box the walk did not ask for (a window that answers with one instead
// of opening) is answered No and noted.
bool askingOwnMessage = false;
std::string unasked;
QElapsedTimer sinceUnasked;
void AnswerUnaskedMessages() {
  if (askingOwnMessage || !FormMessage || !FormMessage->isVisible()) return;
  unasked = FormMessage->LabelMessage->text().toStdString();
  std::fprintf(stderr, "note (%s): the program said \"%s\"\n", round.c_str(), unasked.c_str());
  sinceUnasked.start();
  FormMessage->ButtonNo->OnClick();
}

TFormMain* Main() { return qobject_cast<TFormMain*>(FindScreenForm("FormMain")); }

// Clicks beside `chain`'s top window (the main window's empty panel, then the
// backdrop) and checks the stacking: each window of the chain above the next.
void ClicksBesideKeepOrder(const std::string& what, const std::vector<QWidget*>& chain) {
  TFormMain* main = Main();
  const auto panel = QuietPoint(*main, true);
  const auto backdrop = BackdropPoint();
  if (!Check(panel && backdrop, what + ": no empty place of the main window or the backdrop to click")) return;
  ClickAt(*panel);
  ClickAt(*backdrop);
  std::string fault;
  PumpUntil([&] { return (fault = OrderFault(chain)).empty(); }, 1000);
  Check(fault.empty(), what + ", after clicks on the main window's panel and the backdrop: " + fault);
}

// Closes `window` as a person does: a click on it, then on its exit button, or
// Esc where it has none.
bool CloseByHand(const std::string& what, QWidget& window) {
  if (const auto on = QuietPoint(window)) ClickAt(*on);
  auto* exit = window.findChild<TGraphicButton*>("ButtonExit");
  if (exit && exit->isVisible()) ClickAt(exit->mapToGlobal(exit->rect().center()));
  if (qEnvironmentVariableIsSet("ORDER_DEBUG"))
    std::fprintf(stderr, "closing %s: active %s, focus %s, X focus %s\n", what.c_str(),
                 QApplication::activeWindow() ? Label(QApplication::activeWindow()).c_str() : "none",
                 QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "none",
                 Run("xdotool", {"getwindowfocus"}).trimmed().toStdString().c_str());
  if (window.isVisible() && !(exit && exit->isVisible())) PressKey("Escape");
  if (PumpUntil([&] { return !window.isVisible(); }, 1000)) return true;
  Check(false, what + " did not close on a click on it and its exit button or Esc (under another window?)");
  window.close();
  Pump(100);
  return false;
}

// A real click on a main-window button must reach it.
void MainAnswers(const std::string& what) {
  TFormMain* main = Main();
  TGraphicButton* button = nullptr;
  for (const TOpener& opener : MainOpeners())
    if (TGraphicButton* b = main->Button(opener.Button); b && b->isVisible() && !button) button = b;
  if (!Check(button != nullptr, "no main-window button to click")) return;
  bool answered = false;
  std::function<void()> own = button->OnClick;
  button->OnClick = [&answered] { answered = true; };
  ClickAt(button->mapToGlobal(button->rect().center()));
  PumpUntil([&] { return answered; }, 800);
  button->OnClick = own;
  std::string shown;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible() && window != main && window != BackdropWindow()) shown += " " + Label(window);
  Check(answered, "after " + what + " closed, the main window's " + button->objectName().toStdString() +
                      " does not answer a click (main window " + (main->isEnabled() ? "enabled" : "disabled") +
                      ", shown:" + shown + ")");
}

TSkinnedForm* ShownForm(std::string_view name) {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (auto* form = qobject_cast<TSkinnedForm*>(window); form && form->isVisible() && HasName(form, name))
      return form;
  return nullptr;
}

struct TVisit {
  std::string Name;                          // the window's Name
  std::function<void()> Open;                // may run the window's modal loop
  std::function<void(TSkinnedForm&)> Inside;  // more visits from inside it
  bool Help = true;                          // F1 in it opens help
};
void Visit(const TVisit& visit, std::vector<QWidget*> under);

// F1 in `window`, then the help window must stand above it, however clicked,
// and once help closes `window` must still stand where it stood.
void HelpFrom(TSkinnedForm& window, const std::vector<QWidget*>& chain) {
  const std::string what = "help from " + window.Name();
  if (const auto on = QuietPoint(window)) ClickAt(*on);
  PressKey("F1");
  TSkinnedForm* help = nullptr;
  if (!Check(PumpUntil([&] { return (help = ShownForm("FormHelp")) != nullptr; }, 1500), "F1 in " + window.Name() +
                                                                                               " opened no help"))
    return;
  std::vector<QWidget*> withHelp{help};
  withHelp.insert(withHelp.end(), chain.begin(), chain.end());
  ClicksBesideKeepOrder(what, withHelp);
  if (!CloseByHand(what, *help)) return;
  Pump(300);
  const std::string fault = OrderFault(chain);
  Check(fault.empty(), "once " + what + " closed: " + fault);
}

void Visit(const TVisit& visit, std::vector<QWidget*> under) {
  bool seen = false, late = false;
  unasked.clear();
  // Polled rather than waited for: opening may run a loop of its own (a video
  // file loading) that must return before the window shows.
  QElapsedTimer waited;
  waited.start();
  QPointer<QTimer> poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, [&] {
    TSkinnedForm* window = ShownForm(visit.Name);
    // After a question answered, the window may still come.
    if (!window && (unasked.empty() ? waited.elapsed() < 30000 : sinceUnasked.elapsed() < 1500)) return;
    poll->stop();
    poll->deleteLater();
    if (!window) {
      late = unasked.empty();
      return;
    }
    seen = true;
    Pump(150);
    std::vector<QWidget*> chain{window};
    chain.insert(chain.end(), under.begin(), under.end());
    ClicksBesideKeepOrder(visit.Name, chain);
    if (visit.Inside) visit.Inside(*window);
    if (visit.Help) HelpFrom(*window, chain);
    CloseByHand(visit.Name, *window);
  });
  poll->start(50);
  visit.Open();
  PumpUntil([&] { return seen || late || !poll; }, 31000);
  Check(!late, visit.Name + " did not show");
  PumpUntil([&] { return !ShownForm(visit.Name); }, 1500);
  if (qEnvironmentVariableIsSet("ORDER_DEBUG"))
    std::fprintf(stderr, "%s done at %lld ms\n", visit.Name.c_str(), (long long)walkClock.elapsed());
  if (under.size() == 2) MainAnswers(visit.Name);  // opened from the main window
}

void ClickButton(QWidget* button) {
  if (!Check(button && button->isVisible(), "a button to open the window is not shown")) return;
  ClickAt(button->mapToGlobal(button->rect().center()));
}

void Round(const std::string& name) {
  round = name;
  std::fprintf(stderr, "-- %s\n", name.c_str());
  TFormMain* main = Main();
  const std::vector<QWidget*> base{main, BackdropWindow()};
  for (const TOpener& opener : MainOpeners()) {
    TGraphicButton* button = main->Button(opener.Button);
    if (!button || !button->isVisible()) continue;
    TVisit visit{std::string(opener.Window), [button] { button->OnClick(); }, nullptr};
    // The message box over the Files window; the clip player over the catalogue.
    if (opener.Window == "FormLoadSave")
      visit.Inside = [](TSkinnedForm& files) {
        askingOwnMessage = true;
        Visit({"FormMessage", [] { ShowMessageBox("Order check", mbkOKCancel, true); }, nullptr, false},
              {&files, Main(), BackdropWindow()});
        askingOwnMessage = false;
      };
    if (opener.Window == "FormHelp") visit.Help = false;  // its own F1 shows its own page in itself
    if (opener.Window == "FormCatalog")
      visit.Inside = [](TSkinnedForm& catalogue) {
        Visit({"FormVideoClip", [] { ShellHooks().PlayVideoClip("Styling.avi"); }, nullptr},
              {&catalogue, Main(), BackdropWindow()});
      };
    Visit(visit, base);
  }
  // The template strip: the ready looks and the template browser, and from the
  // browser its video player.
  TTemplateButtons* strip = main->TemplateButtons();
  for (const bool models : {true, false}) {
    auto button = std::find_if(strip->Buttons.begin(), strip->Buttons.end(),
                               [models](const TGraphicButton* b) { return b->isVisible() && (b->Tag() == 0) == models; });
    if (!Check(button != strip->Buttons.end(), "no template button opens the browser")) continue;
    TVisit visit{models ? "FormMask" : "FormTemplates", [b = *button] { ClickButton(b); }, nullptr};
    if (!models)
      visit.Inside = [](TSkinnedForm& browser) {
        Visit({"FormVideo",
               [&browser] {
                 static_cast<TFormTemplates&>(browser).PlayVideo(
                     (std::filesystem::path(InstallationFolder()) / "HairW" / "Bob1.avi").string());
               },
               nullptr},
              {&browser, Main(), BackdropWindow()});
      };
    Visit(visit, base);
  }
  // The fitting window, for a portrait.
  Visit({"FormAdjust",
         [] {
           ShowFormAdjust({DrawnPortrait(720, 640, {300, 260}, 120)});
         },
         nullptr},
        base);
}

// F1 while a one-line text field has focus.
void HelpFromTextField() {
  round = "text field";
  std::string asked;
  auto own = ShellHooks().ShowHelp;
  ShellHooks().ShowHelp = [&asked, own](const std::string& topic) {
    asked = topic;
    if (own) own(topic);
  };
  auto* email = StandingForm<TFormEmail>("FormEmail");
  if (!Check(email != nullptr, "no e-mail window")) return;
  email->show();
  Pump(300);
  if (const auto on = QuietPoint(*email)) ClickAt(*on);
  QLineEdit* field = email->findChild<QLineEdit*>();
  if (Check(field != nullptr, "the e-mail window has no text field")) {
    ClickAt(field->mapToGlobal(field->rect().center()));
    Check(QApplication::focusWidget() == field, "the click did not put the focus in the e-mail window's field");
    PressKey("F1");
    PumpUntil([&] { return !asked.empty(); }, 1000);
    Check(asked == "FormEmail", "F1 in the e-mail window's text field asked for help on \"" + asked + "\"");
  }
  ShellHooks().ShowHelp = own;
  if (TSkinnedForm* help = ShownForm("FormHelp")) help->close();
  email->close();
}

// A name typed in the open-picture dialog, then Enter: the dialog goes, and the
// completion list it showed while the name was typed goes with it.
void CompletionGoesWithTheOpenDialog() {
  round = "open dialog";
  auto* files = StandingForm<TFormLoadSave>("FormLoadSave");
  QTemporaryDir folder;
  if (!Check(files && folder.isValid(), "no Files window or no folder for pictures")) return;
  for (const char* name : {"portrait-one.png", "portrait-two.png"}) QFile(folder.filePath(name)).open(QIODevice::WriteOnly);
  TPelmoOpenPictureDialog* dialog = files->ImageOpenDialog();
  dialog->setDirectory(folder.path());
  auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
  QPointer<QWidget> list = edit && edit->completer() ? edit->completer()->popup() : nullptr;
  if (!Check(list != nullptr, "the open dialog has no name field with completion")) return;
  bool listed = false;
  QTimer::singleShot(400, [&] {
    ClickAt(edit->mapToGlobal(edit->rect().center()));
    Run("xdotool", {"type", "--delay", "60", "portrait-"});
    listed = PumpUntil([&] { return list && list->isVisible(); }, 2000);
    Run("xdotool", {"type", "--delay", "60", "one.png"});
    Pump(300);
    PressKey("Return");
    if (dialog->isVisible()) PumpUntil([&] { return !dialog->isVisible(); }, 1500);
    if (dialog->isVisible()) dialog->reject();
  });
  dialog->exec();
  Pump(500);
  Check(listed, "typing a name in the open dialog showed no completion list (the check below checks nothing)");
  Check(dialog->selectedFiles().value(0).endsWith("portrait-one.png"), "Enter did not open the typed name");
  Check(!list || !list->isVisible(), "the completion list stays over the desk after Enter closed the open dialog");
}

}  // namespace

int main(int, char* argv[]) {
  StartWatchdog(420, 3);
  // A plain message box would wait for a person. On a loaded machine the media
  // stack may refuse a clip, which the video window rightly says: it is noted,
  // and the walk goes on.
  SetMessagePresenter([](TMessageBoxKind, const std::string& text) {
    std::fprintf(stderr, "note: a message box said \"%s\"\n", text.c_str());
  });
  int programArgc = 1;
  char* programArgv[] = {argv[0], nullptr};
  walkClock.start();
  const int status = RunProgram(programArgc, programArgv, [] {
    auto* answering = new QTimer(qApp);
    QObject::connect(answering, &QTimer::timeout, &AnswerUnaskedMessages);
    answering->start(100);
    QTimer::singleShot(500, [] {
      TFormMain* main = Main();
      if (Check(main != nullptr && BackdropWindow() != nullptr, "the main window and the backdrop stand")) {
        Round("fresh start");
        Check(PutDrawnPortrait(*main), "a portrait on the desk");
        Round("work on the desk");
        HelpFromTextField();
        CompletionGoesWithTheOpenDialog();
      }
      QCoreApplication::exit(failures == 0 ? 0 : 1);
    });
  });
  if (status == 0) std::printf("ok\n");
  return status;
}
