// models-demo <installation> <out folder>: the main window over the installation's
// default interface with a drawn portrait fitted; then, as a person would, the
// ready solutions' button, a double click on the first look, the layers list,
// and a drag of its second row onto the first. Writes the layer order before and
// after (order.txt), the export picture before the drag (export-before.png), and
// what the desk should show after it (export.png, geometry.txt).
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "editor/MontageDesk.h"
#include "editor/TemplateBase.h"
#include "editor/forms/FormLayers.h"
#include "editor/forms/FormMask.h"
#include "shell/MainSettings.h"
#include "editor/forms/FormMontage.h"
#include "editor/forms/TemplateButtons.h"
#include "shell/forms/GraphicButton.h"
#include "support/qt/SmokeDemo.h"
#include "support/qt/DeskShown.h"
#include "support/qt/DrawnPortrait.h"

namespace {

void Mouse(QWidget* widget, QEvent::Type type, QPoint p) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, QPointF(p), QPointF(widget->mapToGlobal(p)),
                    type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

std::string Order(TMontageDesk& desk) {
  std::string out;
  for (int i = 0; i < desk.LayerCount(); ++i) out += desk.Layer(i).Caption + "|";
  return out;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 3) return 2;
  TSmokeDemo demo(argc, argv, argv[1]);
  const std::string out = argv[2];

  TTemplateBase templates;
  TFormMain form(demo.Settings, templates);
  form.show();
  TFormLayers layers(&form);
  layers.MainWindow = &form;
  if (!PutDrawnPortrait(form)) return 1;
  TMontageDesk& desk = form.DeskWindow()->Desk();

  QTimer::singleShot(500, [&] {
    TGraphicButton* models = form.findChild<TGraphicButton*>("ButtonTemplateModels");
    if (!models || !models->isVisible()) return void(DemoFail("no ready solutions button"));
    DemoClick(models);
    QTimer::singleShot(500, [&] {
      TFormMask* mask = form.TemplateButtons()->Models;
      if (!mask || mask->ModelThumbs().empty())
        return void(DemoFail(std::string("no ready solutions shown (window ") + (mask ? "open" : "missing") + ")"));
      TModelThumb* first = mask->ModelThumbs().front();
      QTest::mouseDClick(first, Qt::LeftButton, {}, first->rect().center());
      mask->close();  // it lies over the desk
      layers.show();
      QTimer::singleShot(500, [&] {
        std::ofstream order(out + "/order.txt");
        order << Order(desk) << '\n';
        form.State().SetDeskScale(1.0);
        desk.RenderExportBitmap();
        ImageView(desk.ExportBitmap()).save(QString::fromStdString(out + "/export-before.png"));
        QWidget* rows = layers.ListBox->viewport();
        const QPoint second(60, kLayerRowHeight + 25), first(60, 25);
        Mouse(rows, QEvent::MouseButtonPress, second);
        Mouse(rows, QEvent::MouseMove, second - QPoint(0, 5));
        Mouse(rows, QEvent::MouseMove, first);
        Mouse(rows, QEvent::MouseButtonRelease, first);
        order << Order(desk) << '\n';
        order.close();
        // The selection frame is the desk's own drawing, not the picture's.
        desk.SelectLayer(-1);
        QTimer::singleShot(300, [&] { WriteDeskShown(form, out); });
      });
    });
  });
  return QApplication::exec();
}
