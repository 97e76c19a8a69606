// regions-demo <installation>: a fitted portrait and a women's hairstyle from
// the browser; the main window's regions button, region 1 built by a seed click
// on the hair in the region editor, the hue slider moved, and the region saved
// as a template. The real X screen must change inside the region only, and the
// browser must list the new template. Exits 0 when all holds; prints what it
// saw otherwise. The installation is changed (a template is added).
#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "editor/MontageDesk.h"
#include "editor/Questionnaires.h"
#include "editor/TemplateBase.h"
#include "editor/forms/FormLayerRegionEdit.h"
#include "editor/forms/FormLayerRegions.h"
#include "editor/forms/FormLayerSave.h"
#include "editor/forms/FormMain.h"
#include "platform/ProgramFolders.h"
#include "shell/MainSettings.h"
#include "editor/forms/FormMontage.h"
#include "editor/forms/FormTemplates.h"
#include "editor/forms/MainShellForm.h"
#include "editor/forms/PortraitScroll.h"
#include "editor/forms/TemplateButtons.h"
#include "platform/Paths.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/GraphicSlider.h"
#include "support/qt/DrawnPortrait.h"
#include "support/qt/SmokeDemo.h"

namespace {

// Runs `action` once the top-level window `name` shows (from inside its modal loop).
void WhenShown(const char* name, std::function<void(QWidget&)> action) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, [name, action, poll] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == name && w->isVisible()) {
        poll->stop();
        poll->deleteLater();
        QTimer::singleShot(300, [w, action] { action(*w); });
        return;
      }
  });
  poll->start(20);
}

QImage Grab(const QWidget& widget) {
  QTest::qWait(300);
  const QPoint at = widget.mapToGlobal(QPoint(0, 0));
  return QApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), widget.width(), widget.height()).toImage();
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) return 2;
  TSmokeDemo demo(argc, argv, argv[1]);

  TTemplateBase templates;
  TFormMain form(demo.Settings, templates);
  TQuestionnaires questionnaires;
  TFormTemplates browser(demo.Settings, templates, questionnaires, &form);
  TFormLayerRegions regions(demo.Settings, &form);
  TFormLayerRegionEdit editor;
  form.TemplateButtons()->Browser = &browser;
  regions.MainWindow = &form;
  // The main window's openers find the regions window, as at start-up.
  InstallMainShell(form, demo.Settings, {});
  form.show();
  if (!PutDrawnPortrait(form)) return 1;
  TMontageDesk& desk = form.DeskWindow()->Desk();

  QTimer::singleShot(500, [&] {
    DemoClick(form.findChild<TGraphicButton*>("ButtonTemplateHairW"));
    QTimer::singleShot(500, [&] {
      const TRect cell = browser.Grid().Cell(0, 0);
      DemoClick(browser.ResImage, QPoint(cell.Left + cell.Width() / 2, cell.Top + cell.Height() / 2));
      QTimer::singleShot(500, [&] {
        TLayer* hair = desk.SelectedLayer();
        if (!hair || hair == desk.PortraitLayer()) return void(DemoFail("no hairstyle selected on the desk"));
        DemoClick(form.Button("ButtonActions"));
        TGraphicButton* open = form.Button("ButtonLayerRegions");
        if (!open->isVisible()) return void(DemoFail("the regions button is not shown"));
        DemoClick(open);
        if (!regions.isVisible() || regions.Layer() != hair) return void(DemoFail("the regions window does not show the hairstyle"));
        DemoClick(regions.ListBox->viewport(), regions.ListBox->visualItemRect(regions.ListBox->item(1)).center());
        if (hair->Mask.GetRegionIndex() != 1) return void(DemoFail("region 1 was not chosen"));

        // The seed: an opaque hair pixel near the picture's middle.
        TPoint seed{-1, -1};
        const TBitmap32& picture = hair->Picture;
        for (int r = 0; r < picture.Width() / 2 && seed.X < 0; ++r)
          for (int x = picture.Width() / 2 - r; x <= picture.Width() / 2 + r && seed.X < 0; ++x)
            if (AlphaOf(picture.Pixel(x, picture.Height() / 3)) == 255) seed = {x, picture.Height() / 3};
        if (seed.X < 0) return void(DemoFail("the hairstyle has no opaque pixel"));
        WhenShown("FormLayerRegionEdit", [&, seed](QWidget&) {
          const TPoint o = editor.ScrollBox->Origin();
          DemoClick(editor.ScrollBox, QPoint(seed.X + o.X, seed.Y + o.Y));
          DemoClick(editor.ButtonOK);
        });
        DemoClick(regions.ButtonEditRegion);
        int members = 0, opaque = 0;
        for (int y = 0; y < picture.Height(); ++y)
          for (int x = 0; x < picture.Width(); ++x) {
            members += hair->Mask.PixelInRegion(y, x, 1);
            opaque += AlphaOf(picture.Pixel(x, y)) != 0;
          }
        std::fprintf(stderr, "region 1: %d of %d opaque pixels\n", members, opaque);
        if (members == 0) return void(DemoFail("the seed click built no region"));

        // The hue slider recolours region 1 only.
        DemoClick(form.Button("ButtonColoration"));
        const QImage before = Grab(*form.DeskWindow());
        form.Slider("SliderHue")->SetValue(170);
        const QImage after = Grab(*form.DeskWindow());
        int inside = 0, outside = 0;
        for (int y = 0; y < before.height(); ++y)
          for (int x = 0; x < before.width(); ++x) {
            const QColor a = before.pixelColor(x, y), b = after.pixelColor(x, y);
            if (std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) <= 6) continue;
            const TDeskGeometry& g = form.State().DeskGeometry();
            const int lx = int((x * g.DeskScale + g.DeskViewLeft) - hair->Left),
                      ly = int((y * g.DeskScale + g.DeskViewTop) - hair->Top);
            bool near = false;
            for (int dy = -2; dy <= 2 && !near; ++dy)
              for (int dx = -2; dx <= 2 && !near; ++dx) near = hair->Mask.PixelInRegion(ly + dy, lx + dx, 1);
            ++(near ? inside : outside);
          }
        std::fprintf(stderr, "screen pixels changed: %d in region 1, %d outside it\n", inside, outside);
        if (inside < 20 || outside > 0) return void(DemoFail("the recolouring did not keep to the region"));

        // Saved as a template, the region is listed by the browser for its type.
        WhenShown("FormLayerSave", [](QWidget& window) {
          auto& save = static_cast<TFormLayerSave&>(window);
          save.EditTemplateName->setText("Smoke curls");
          DemoClick(save.ButtonOK);
        });
        DemoClick(regions.ButtonSaveRegion);
        if (!browser.isVisible()) DemoClick(form.findChild<TGraphicButton*>("ButtonTemplateHairW"));
        for (int index : browser.Shown()) {
          const TPartInfoRecord& entry = templates.List[std::size_t(index)];
          if (entry.Name != "Smoke curls") continue;
          const bool saved = fs::exists(ResolvePath(fs::path(InstallationFolder()), entry.FileName));
          std::fprintf(stderr, "the browser lists %s (%s)\n", entry.FileName.c_str(), saved ? "on disk" : "missing");
          QApplication::exit(saved ? 0 : 1);
          return;
        }
        DemoFail("the browser does not list the saved region");
      });
    });
  });
  return QApplication::exec();
}
