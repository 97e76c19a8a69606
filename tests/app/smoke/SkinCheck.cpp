// Starts the program exactly as a person starts it and, once its windows stand,
// checks them on the real X screen: the main window with its skin, its skin
// pictures, template buttons, buttons and sliders; then every skinned window the
// start-up made, shown in turn, must show its skin's own pixels wherever no
// control covers it. Every window that fails is named; the exit status is 1 then.
//   skin-check <folder for the screenshots>
//   skin-check --clicks <folder for the screenshots>
//       a person's path instead: no window made ahead; each window a control of
//       the main window opens is opened by clicking that control, and must show
//       its skin and its caption

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/Program.h"
#include "editor/MainShell.h"
#include "editor/MainDesign.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/TemplateButtons.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/GraphicSlider.h"
#include "shell/forms/Image.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/SkinnedForm.h"
#include "support/qt/ScreenTestLoop.h"

namespace {

constexpr int kSettleMs = 3000;     // how long a window may take to show its skin
constexpr int kWatchdogSeconds = 60;  // a window that blocks (a modal question) ends the run
constexpr int kMinSamples = 50;     // fewer uncovered skin pixels than this cannot be judged

std::vector<std::string> faults;
void Fail(const std::string& window, const std::string& what) {
  faults.push_back(window + ": " + what);
  std::fprintf(stderr, "FAIL %s: %s\n", window.c_str(), what.c_str());
}

void SetStage(const std::string& text) { SetWatchdogStage("checking " + text); }

QImage GrabScreen() {
  return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
}

std::string Str(const QString& text) { return text.toStdString(); }

// Why a picture button shows no face from its sheet, or nullopt when it does: its
// current frame must lie inside a loaded sheet and hold some visible pixel.
std::optional<std::string> SheetFault(const TGraphicButton& button) {
  const TBitmap32* sheet = button.Resource().Sheet();
  if (!sheet) return "has no sheet";
  const TRect frame = button.FrameInSheet();
  if (frame.IsEmpty() || frame.Left < 0 || frame.Top < 0 || frame.Right > sheet->Width() ||
      frame.Bottom > sheet->Height())
    return "frame (" + std::to_string(frame.Left) + "," + std::to_string(frame.Top) + ")-(" +
           std::to_string(frame.Right) + "," + std::to_string(frame.Bottom) + ") lies outside its " +
           std::to_string(sheet->Width()) + "x" + std::to_string(sheet->Height()) + " sheet";
  for (int y = frame.Top; y < frame.Bottom; ++y)
    for (int x = frame.Left; x < frame.Right; ++x)
      if (AlphaOf(sheet->Pixel(x, y)) != 0) return std::nullopt;
  return "frame in its sheet is fully transparent";
}

void CheckSheet(const std::string& window, const std::string& name, const TGraphicButton* button) {
  if (!button) return Fail(window, name + " was not built");
  if (auto fault = SheetFault(*button)) Fail(window, name + " " + *fault);
}

void CheckMainWindow(TFormMain& main) {
  SetStage("the main window's controls");
  if (!main.isVisible()) Fail("FormMain", "is not shown after start-up");
  // What only a hidden tool panel draws waits for the panel's first show; shown
  // for the checks below and hidden again for the screen comparison.
  std::vector<QWidget*> shownPanels;
  for (const TSkinPicture& picture : MainSkinPictures()) {
    QWidget* panel = SkinPanel(picture).empty() ? nullptr : main.Control(SkinPanel(picture));
    if (!panel || panel->isVisible()) continue;
    auto* image = qobject_cast<TImage*>(main.Control(picture.Image));
    if (image && !image->Picture().Empty())
      Fail("FormMain", "skin picture " + std::string(picture.Image) + " is decoded while its panel is hidden");
    if (std::find(shownPanels.begin(), shownPanels.end(), panel) == shownPanels.end()) shownPanels.push_back(panel);
  }
  for (QWidget* panel : shownPanels) panel->show();
  struct THide {
    std::vector<QWidget*>& panels;
    ~THide() {
      for (QWidget* panel : panels) panel->hide();
    }
  } hideAgain{shownPanels};
  for (const TSkinPicture& picture : MainSkinPictures()) {
    auto* image = qobject_cast<TImage*>(main.Control(picture.Image));
    if (!image)
      Fail("FormMain", "skin picture " + std::string(picture.Image) + " was not made");
    else if (image->Picture().Empty())
      Fail("FormMain", "skin picture " + std::string(picture.Image) + " (\"" + std::string(picture.DefaultFile) +
                           "\") is empty");
  }
  TTemplateButtons* strip = main.TemplateButtons();
  if (!strip) return Fail("FormMain", "has no template strip");
  if (!strip->Sheet || strip->Sheet->Picture().Empty()) Fail("FormMain", "the template button sheet is empty");
  if (strip->Buttons.empty()) Fail("FormMain", "no template buttons were built");
  for (const TGraphicButton* button : strip->Buttons)
    CheckSheet("FormMain", "template button " + Str(button->objectName()), button);
  CheckSheet("FormMain", "ButtonTemplatePrev", strip->Prev);
  CheckSheet("FormMain", "ButtonTemplateNext", strip->Next);

  for (const TControlDesign& design : MainWindowDesign()) {
    if (design.Sheet.empty()) continue;
    const std::string name(design.Name);
    if (design.Kind == TDesignKind::Slider) {
      const TGraphicSlider* slider = main.Slider(design.Name);
      CheckSheet("FormMain", name, slider);
      if (slider) CheckSheet("FormMain", name + "'s thumb", slider->SlideButton());
    } else if (design.Kind == TDesignKind::Button) {
      CheckSheet("FormMain", name, main.Button(design.Name));
    }
    const TGraphicButton* control = qobject_cast<TGraphicButton*>(main.Control(design.Name));
    if (control && control->Resource().Image() != main.Control(design.Sheet))
      Fail("FormMain", name + " does not draw from " + std::string(design.Sheet));
  }
}

// Compares the screen with the window's skin at a grid of points where the
// window is not cut away and no visible control lies. The skin's transparent
// pixels blend with the window's ground and are passed over.
struct TSkinComparison {
  int Samples = 0;
  int Mismatches = 0;
  std::string FirstMismatch;
};

TSkinComparison CompareWithScreen(const TSkinnedForm& form, const QImage& screen) {
  TSkinComparison result;
  const TBitmap32& skin = *form.SkinBitmap;
  const QRegion shape = form.mask();
  const QPoint origin = form.mapToGlobal(QPoint(0, 0)) - QGuiApplication::primaryScreen()->geometry().topLeft();
  constexpr int kStep = 5;
  for (int y = kStep / 2; y < std::min(skin.Height(), form.height()); y += kStep) {
    for (int x = kStep / 2; x < std::min(skin.Width(), form.width()); x += kStep) {
      if (!shape.contains(QPoint(x, y)) || form.childAt(x, y)) continue;
      const TColor32 want = skin.Pixel(x, y);
      const QPoint at = origin + QPoint(x, y);
      if (AlphaOf(want) != 255 || !screen.rect().contains(at)) continue;
      ++result.Samples;
      const QRgb got = screen.pixel(at);
      if ((got & 0xFFFFFFu) == (want & 0xFFFFFFu)) continue;
      if (result.Mismatches++ == 0) {
        char text[160];
        std::snprintf(text, sizeof text, "at (%d,%d) the skin has %06X, the screen %06X", x, y,
                      unsigned(want & 0xFFFFFFu), unsigned(got & 0xFFFFFFu));
        result.FirstMismatch = text;
      }
    }
  }
  return result;
}

// Waits until the window shows its skin on the screen, then judges it; the last
// screenshot is saved as <Name>.png.
void CheckOnScreen(TSkinnedForm& form, const QString& shots) {
  const std::string name = form.Name();
  SetStage(name + " on the screen");
  if (!form.SkinBitmap || form.SkinBitmap->Empty()) return Fail(name, "has no skin (SkinBitmap not loaded)");
  if (form.mask().isEmpty()) return Fail(name, "has no shape (its window mask is empty)");
  if (form.width() != form.SkinBitmap->Width() || form.height() != form.SkinBitmap->Height())
    Fail(name, "is " + std::to_string(form.width()) + "x" + std::to_string(form.height()) + ", its skin " +
                   std::to_string(form.SkinBitmap->Width()) + "x" + std::to_string(form.SkinBitmap->Height()));
  QElapsedTimer timer;
  timer.start();
  QImage screen;
  TSkinComparison seen;
  for (;;) {
    Pump(50);
    screen = GrabScreen();
    seen = CompareWithScreen(form, screen);
    if ((seen.Samples >= kMinSamples && seen.Mismatches == 0) || timer.elapsed() > kSettleMs) break;
  }
  screen.save(shots + "/" + form.objectName() + ".png");
  if (seen.Samples < kMinSamples)
    Fail(name, "only " + std::to_string(seen.Samples) + " uncovered skin pixels are on the screen");
  else if (seen.Mismatches > 0)
    Fail(name, std::to_string(seen.Mismatches) + " of " + std::to_string(seen.Samples) +
                   " screen pixels differ from the skin; first " + seen.FirstMismatch);
  else
    std::fprintf(stderr, "ok   %s: %d screen pixels are its skin's\n", name.c_str(), seen.Samples);
}

// The caption strip must carry its caption, drawn on the screen as the strip draws it.
void CheckCaption(TSkinnedForm& form, const QImage& screen) {
  const std::string name = form.Name();
  auto* bar = form.findChild<TDrawPanel*>("CaptionBar", Qt::FindDirectChildrenOnly);
  if (!bar) return;
  if (bar->Caption.trimmed().isEmpty()) return Fail(name, "has an empty caption");
  const QImage drawn = bar->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QPoint origin = bar->mapToGlobal(QPoint(0, 0)) - QGuiApplication::primaryScreen()->geometry().topLeft();
  const QRegion shape = form.mask().isEmpty() ? QRegion(form.rect()) : form.mask();
  int samples = 0, differ = 0;
  for (int y = 0; y < drawn.height(); ++y)
    for (int x = 0; x < drawn.width(); ++x) {
      const QPoint at = origin + QPoint(x, y);
      const QPoint inForm = bar->mapTo(&form, QPoint(x, y));
      // Where the window is cut away or a control of the window lies over the strip, the strip is not seen.
      const QWidget* top = form.childAt(inForm);
      if (!screen.rect().contains(at) || !shape.contains(inForm) || (top != bar && !bar->isAncestorOf(top))) continue;
      ++samples;
      if ((screen.pixel(at) & 0xFFFFFFu) != (drawn.pixel(x, y) & 0xFFFFFFu)) ++differ;
    }
  if (samples == 0) return Fail(name, "its caption strip is not on the screen");
  // The caption's text changes pixels the strip's picture alone would not: an
  // empty strip would match a strip with text only where the text is not.
  if (differ * 50 > samples)
    Fail(name, "its caption strip \"" + Str(bar->Caption) + "\" differs from the screen in " + std::to_string(differ) +
                   " of " + std::to_string(samples) + " pixels");
}

// A person's click on a control of the main window.
void Click(QWidget& control) { QTest::mouseClick(&control, Qt::LeftButton, {}, control.rect().center()); }

// Waits (pumping) until the window of that name is made and shown, or the settle time passes.
TSkinnedForm* WaitShown(std::string_view window) {
  QElapsedTimer timer;
  timer.start();
  for (;;) {
    auto* form = qobject_cast<TSkinnedForm*>(FindScreenForm(window));
    if (form && form->isVisible()) return form;
    if (timer.elapsed() > kSettleMs) return nullptr;
    Pump(20);
  }
}

// Checks the window a click opened on the screen, skin and caption, then closes
// it; false when it never showed.
bool CheckOpened(std::string_view window, const std::string& by, const QString& shots) {
  TSkinnedForm* form = WaitShown(window);
  if (!form) {
    Fail(std::string(window), "did not show after a click on " + by);
    return false;
  }
  CheckOnScreen(*form, shots);
  CheckCaption(*form, GrabScreen());
  return true;
}

// Windows a window opened from the main window leads to, by a toggle of its own.
struct TLead {
  std::string_view Window, Button, LeadsTo;
};
constexpr TLead kLeads[] = {{"FormHelp", "ButtonTips", "FormTips"}};

void WalkLeads(std::string_view from, const QString& shots) {
  for (const TLead& lead : kLeads) {
    if (lead.Window != from) continue;
    const std::string by = std::string(from) + "'s " + std::string(lead.Button), window(lead.LeadsTo);
    auto* button = FindScreenForm(from)->findChild<TGraphicButton*>(QString::fromUtf8(lead.Button.data(), qsizetype(lead.Button.size())));
    if (!button || !button->isVisible()) {
      Fail(std::string(from), "has no " + std::string(lead.Button) + " to click");
      continue;
    }
    SetStage("clicking " + by);
    if (FindScreenForm(window)) Fail(window, "was made before its first use");
    Click(*button);
    if (!CheckOpened(window, by, shots)) continue;
    Click(*button);
    Pump(20);
    if (FindScreenForm(window)->isVisible()) Fail(window, "a second click on " + by + " did not close it");
  }
}

// Opens, by clicking the main window's control, each window it opens; a modal
// window is checked from inside its own loop and closed there.
void WalkMainWindowOpeners(TFormMain& main, const QString& shots) {
  // First the template strip, the first thing a person reaches for, with no
  // other window made yet: a button of the ready looks opens their window, any
  // other the template browser.
  TTemplateButtons* strip = main.TemplateButtons();
  if (!strip) Fail("FormMain", "has no template strip");
  for (const bool models : {true, false}) {
    if (!strip) break;
    const std::string window = models ? "FormMask" : "FormTemplates";
    auto button = std::find_if(strip->Buttons.begin(), strip->Buttons.end(),
                               [models](const TGraphicButton* b) { return b->isVisible() && (b->Tag() == 0) == models; });
    if (button == strip->Buttons.end()) {
      Fail("FormMain", "has no template button that opens " + window);
      continue;
    }
    const std::string by = "template button " + Str((*button)->objectName());
    SetStage("clicking " + by);
    if (FindScreenForm(window)) Fail(window, "was made before its first use");
    Click(**button);
    if (!CheckOpened(window, by, shots)) continue;
    FindScreenForm(window)->close();
    Pump(20);
  }
  for (const TOpener& opener : MainOpeners()) {
    TGraphicButton* button = main.Button(opener.Button);
    // Windows made for a call only were never standing; hidden buttons cannot be clicked.
    if (opener.CreatedForCall || !button || !button->isVisible()) continue;
    const std::string by(opener.Button), window(opener.Window);
    SetStage("clicking " + by);
    if (FindScreenForm(window)) Fail(window, "was made before its first use");
    if (opener.Mode == TOpenMode::Modal) {
      bool checked = false;
      QTimer::singleShot(0, [&] {
        checked = true;
        if (!CheckOpened(window, by, shots)) return;
        SetStage("closing " + window);
        FindScreenForm(window)->close();
      });
      Click(*button);
      Pump(20);
      if (!checked) Fail(window, "the click on " + by + " was not handled");
      continue;
    }
    Click(*button);
    if (!CheckOpened(window, by, shots)) continue;
    WalkLeads(window, shots);
    SetStage("closing " + window + " by " + by);
    Click(*button);
    Pump(20);
    if (FindScreenForm(window)->isVisible()) Fail(window, "a second click on " + by + " did not close it");
  }
}

// Every skinned window made: the program's window list and any other top-level
// window, in creation order.
std::vector<TSkinnedForm*> SkinnedWindows() {
  std::vector<TSkinnedForm*> forms;
  auto add = [&](QWidget* widget) {
    auto* form = qobject_cast<TSkinnedForm*>(widget);
    if (form && std::find(forms.begin(), forms.end(), form) == forms.end()) forms.push_back(form);
  };
  for (QWidget* widget : ScreenForms()) add(widget);
  for (QWidget* widget : QApplication::topLevelWidgets()) add(widget);
  return forms;
}

int CheckWindows(const QString& shots, bool clicks) {
  // The pointer rests on the backdrop, so no hover frame or hint covers a window.
  QCursor::setPos(QGuiApplication::primaryScreen()->geometry().topLeft());
  auto* main = qobject_cast<TFormMain*>(FindScreenForm("FormMain"));
  if (!main) {
    Fail("FormMain", "was not made by the start-up");
    return 1;
  }
  CheckMainWindow(*main);
  CheckOnScreen(*main, shots);
  QFile::rename(shots + "/FormMain.png", shots + "/main-window.png");
  if (clicks) {
    WalkMainWindowOpeners(*main, shots);
    return faults.empty() ? 0 : 1;
  }

  // The others are made when first asked for; each made here as its first use would.
  SetStage("making the standing windows");
  MakeStandingForms();
  std::vector<TSkinnedForm*> forms = SkinnedWindows();
  std::fprintf(stderr, "%zu skinned windows stand\n", forms.size());
  for (TSkinnedForm* form : forms) {
    if (form == main) continue;
    const std::string name = form->Name();
    SetStage("showing " + name);
    const bool wasShown = form->isVisible();
    form->show();
    form->raise();
    CheckOnScreen(*form, shots);
    if (wasShown) continue;
    SetStage("closing " + name);
    form->close();
    Pump(20);
    if (form->isVisible()) Fail(name, "did not close");
    else if (form->SkinBitmap) Fail(name, "kept its skin after closing");
  }
  return faults.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  const bool clicks = argc == 3 && std::string(argv[1]) == "--clicks";
  if (argc != 2 && !clicks) {
    std::fprintf(stderr, "usage: %s [--clicks] <folder for the screenshots>\n", argv[0]);
    return 2;
  }
  const QString shots = QString::fromLocal8Bit(argv[argc - 1]);
  QDir().mkpath(shots);
  // A message box would wait for a person: each is a fault, recorded instead.
  SetMessagePresenter([](TMessageBoxKind, const std::string& text) { Fail("message box", text); });
  SetStage("start-up");
  StartWatchdog(kWatchdogSeconds);

  // The program sees no argument of ours: one argument would be opened as a work.
  int programArgc = 1;
  char* programArgv[] = {argv[0], nullptr};
  const int status = RunProgram(programArgc, programArgv, [&shots, clicks] {
    QTimer::singleShot(0, [&shots, clicks] { QCoreApplication::exit(CheckWindows(shots, clicks)); });
  });
  if (!faults.empty()) {
    std::fprintf(stderr, "%zu fault(s):\n", faults.size());
    for (const std::string& fault : faults) std::fprintf(stderr, "  %s\n", fault.c_str());
    return 1;
  }
  if (status != 0) std::fprintf(stderr, "the program ended with status %d\n", status);
  return status;
}
