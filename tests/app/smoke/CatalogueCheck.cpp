// catalogue-check <out folder> STEP...: the program started as a person starts
// it, driven through its windows with the mouse, one step after the other in one
// run:
//   catalogue  the women's hairstyles button, then the info icon of the first
//              template in the browser: the catalogue shows that template's page
//   clip       the catalogue's contents, then its clip link: the clip player
//              plays the clip made at build time, on the screen
//   shops      a portrait and the first template on the desk, the shops button,
//              and the shop list printed to <out>/shops.pdf; the shops the list
//              shows go to <out>/shops.txt for the script to find in the PDF
// Exits 0 when all holds; prints what it saw otherwise.
#include <QApplication>
#include <QPrinter>
#include <QScreen>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/Program.h"
#include "editor/CatalogIndex.h"
#include "editor/forms/FormCatalog.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMontage.h"
#include "editor/forms/FormTemplates.h"
#include "editor/forms/FormVideo.h"
#include "support/qt/DrawnPortrait.h"
#include "support/qt/ScreenTestLoop.h"
#include "exchange/forms/FormShopList.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/HtmlViewer.h"
#include "shell/forms/ShellForms.h"

namespace {

// The status of a run whose event loop stopped turning.
constexpr int kStuck = 3;

int failures = 0;
bool Check(bool ok, const std::string& what) {
  if (!ok) {
    ++failures;
    std::fprintf(stderr, "FAIL %s\n", what.c_str());
  }
  return ok;
}

void Click(QWidget* widget, QPoint at = {-1, -1}) {
  if (at.x() < 0) at = widget->rect().center();
  QTest::mousePress(widget, Qt::LeftButton, {}, at);
  QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

// The top-level window of that class that is up, or null.
template <class T>
T* Shown() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* t = qobject_cast<T*>(w); t && t->isVisible()) return t;
  return nullptr;
}

// Runs `step` with the window of class T once it is up, from inside its modal
// loop; a window that never comes is a failure and the loop is left alone.
// Waited for by the clock, not by timer ticks, which a loaded machine delays.
template <class T>
void WhenShown(const std::string& what, std::function<void(T&)> step) {
  auto* poll = new QTimer(qApp);
  const auto start = std::chrono::steady_clock::now();
  QObject::connect(poll, &QTimer::timeout, [poll, step, start, what] {
    T* window = Shown<T>();
    if (!window) {
      if (std::chrono::steady_clock::now() - start > std::chrono::seconds(30)) {
        poll->deleteLater();
        Check(false, what + " never showed");
      }
      return;
    }
    poll->deleteLater();
    QTest::qWait(300);
    step(*window);
  });
  poll->start(20);
}

QImage Grab(QWidget& widget) {
  const QPoint at = widget.mapToGlobal(QPoint(0, 0));
  return QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), widget.width(), widget.height()).toImage();
}

int CountPixels(const QImage& image, const std::function<bool(QColor)>& test) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += test(image.pixelColor(x, y));
  return n;
}

std::vector<QWidget*> CatalogueIcons() {
  std::vector<QWidget*> icons;
  for (QWidget* icon : FormTemplates->Icons())
    if (icon->toolTip() == FormTemplates->ImageCatalogInfoEtalon->toolTip()) icons.push_back(icon);
  return icons;
}

void OpenWomensHairstyles(TFormMain& main) {
  if (FormTemplates && FormTemplates->isVisible()) return;
  auto* hair = main.findChild<TGraphicButton*>("ButtonTemplateHairW");
  if (!Check(hair != nullptr, "the women's hairstyles button stands")) return;
  Click(hair);
  QTest::qWait(500);
}

void Catalogue(TFormMain& main, const std::string&) {
  OpenWomensHairstyles(main);
  if (!Check(FormTemplates && FormTemplates->isVisible(), "the template browser opens")) return;
  const std::vector<QWidget*> icons = CatalogueIcons();
  if (!Check(!icons.empty(), "the browser's templates carry catalogue icons")) return;
  // The icon in the first cell.
  const TRect cell = FormTemplates->Grid().Cell(0, 0);
  QWidget* first = nullptr;
  for (QWidget* icon : icons)
    if (QRect(cell.Left, cell.Top, cell.Width(), cell.Height())
            .contains(icon->geometry().center() - FormTemplates->ResImage->pos()))
      first = icon;
  if (!Check(first != nullptr, "the first template has a catalogue icon")) return;
  Click(first);
  QTest::qWait(500);
  if (!Check(FormCatalog && FormCatalog->isVisible(), "the catalogue window shows")) return;
  const std::string page = FormCatalog->HTMLViewer->CurrentFile().filename().string();
  Check(page == "LongStraight.htm", "the catalogue shows the first template's page, not \"" + page + "\"");
  // Its heading, in the pages' blue, on the screen.
  const int blue = CountPixels(Grab(*FormCatalog->HTMLViewer), [](QColor c) {
    return c.blue() > 140 && c.red() < 90 && c.green() < 120;
  });
  Check(blue > 20, "the page's heading is on the screen (" + std::to_string(blue) + " blue pixels)");
}

void Clip(TFormMain&, const std::string&) {
  if (!FormCatalog) ShowCatalogPage("Index");
  if (!Check(FormCatalog != nullptr, "the catalogue window exists")) return;
  Click(FormCatalog->ButtonContents);
  QTest::qWait(300);
  THtmlViewer& viewer = *FormCatalog->HTMLViewer;
  Check(viewer.CurrentFile().filename() == "Index.htm", "the contents button shows the contents page");
  const QTextCursor found = viewer.document()->find("Watch the styling clip");
  if (!Check(!found.isNull(), "the contents page links the clip")) return;
  QTextCursor inside(viewer.document());
  inside.setPosition(found.selectionStart() + 3);
  const QPoint link = viewer.cursorRect(inside).center();
  bool played = false;
  WhenShown<TFormVideoClip>("the clip player", [&played](TFormVideoClip& player) {
    // The ball of the generated clip crosses the black panel while it plays.
    const auto start = std::chrono::steady_clock::now();
    while (!played && std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
      QTest::qWait(100);
      const int lit = CountPixels(Grab(*player.Panel), [](QColor c) { return c.lightness() > 120; });
      played = player.MediaPlayer().Position() > 0 && lit > 100;
    }
    Click(player.ButtonExit);
  });
  Click(viewer.viewport(), link);  // the player runs modally until its exit
  Check(played, "the clip plays in the clip player, on the screen");
}

void Shops(TFormMain& main, const std::string& out) {
  Check(PutDrawnPortrait(main), "a portrait on the desk");
  OpenWomensHairstyles(main);
  if (!Check(FormTemplates && FormTemplates->isVisible(), "the template browser opens")) return;
  const TRect cell = FormTemplates->Grid().Cell(0, 0);
  Click(FormTemplates->ResImage, QPoint(cell.Left + cell.Width() / 2, cell.Top + cell.Height() / 2));
  QTest::qWait(300);
  Check(main.DeskWindow()->Desk().LayerCount() == 2, "the first template lies on the desk");
  bool printed = false;
  WhenShown<TFormShopList>("the shop list", [&printed, out](TFormShopList& list) {
    std::set<std::string> names;
    for (const TShopRow& row : list.Rows())
      for (const std::string& shop : row.Shops)
        if (!shop.empty()) names.insert(shop);
    std::ofstream file(out + "/shops.txt");
    for (const std::string& name : names) file << name << '\n';
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(out + "/shops.pdf"));
    printed = !names.empty() && list.PrintList(printer);
    Click(list.ButtonExit);
  });
  Click(main.Button("ButtonShopping"));
  Check(printed, "the shop list shows shops and prints");
}

// The steps in the order a run may name them.
const std::map<std::string, std::function<void(TFormMain&, const std::string&)>> kSteps = {
    {"catalogue", Catalogue},
    {"clip", Clip},
    {"shops", Shops},
};

}  // namespace

int main(int argc, char* argv[]) {
  std::vector<std::string> steps(argv + std::min(argc, 2), argv + argc);
  bool known = argc >= 3;
  for (const std::string& step : steps) known = known && kSteps.contains(step);
  if (!known) {
    std::fprintf(stderr, "usage: %s <out folder> catalogue|clip|shops...\n", argv[0]);
    return 2;
  }
  const std::string out = argv[1];
  // A stuck run says so by its status, which the script tells from a failed check.
  StartWatchdog(90, kStuck);
  int programArgc = 1;
  char* programArgv[] = {argv[0], nullptr};
  const int status = RunProgram(programArgc, programArgv, [steps, out] {
    QTimer::singleShot(300, [steps, out] {
      auto* main = qobject_cast<TFormMain*>(FindScreenForm("FormMain"));
      if (Check(main != nullptr, "the main window stands"))
        for (const std::string& step : steps) kSteps.at(step)(*main, out);
      QCoreApplication::exit(failures == 0 ? 0 : 1);
    });
  });
  if (status == 0) std::printf("ok\n");
  return status;
}
