// template-demo <installation> <out folder>: the main window with its desk over
// the installation's default interface; a drawn portrait fitted through the
// adjust model and put on the desk as the adjust window's OK does; then the
// women's hairstyles button and a click on the first template in the browser,
// as a person would. Writes where the desk shows the canvas and the face point.
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "editor/AdjustController.h"
#include "editor/AdjustModel.h"
#include "editor/EditorGlobals.h"
#include "editor/TemplateBase.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMontage.h"
#include "editor/forms/FormTemplates.h"
#include "editor/forms/TemplateButtons.h"
#include "shell/ShellGlobals.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "support/qt/DemoInstallation.h"

namespace {

// A frontal face on a light ground: skin oval, eyes `eyeDistance` apart.
TBitmap32 DrawnPortrait(int width, int height, TPoint leftEye, int eyeDistance) {
  TBitmap32 picture(width, height, Color32(230, 232, 236));
  const double cx = leftEye.X + eyeDistance / 2.0, cy = leftEye.Y + eyeDistance * 0.1;
  const double rx = eyeDistance * 1.12, ry = eyeDistance * 1.5;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const double dx = (x - cx) / rx, dy = (y - cy) / ry;
      if (dx * dx + dy * dy <= 1) picture.SetPixel(x, y, Color32(232, 188, 158));
      for (int eye = 0; eye < 2; ++eye) {
        const double ex = x - (leftEye.X + eye * eyeDistance), ey = y - leftEye.Y;
        if (ex * ex / 49 + ey * ey / 16 <= 1) picture.SetPixel(x, y, Color32(50, 40, 36));
      }
    }
  return picture;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 3) return 2;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  UseInstallation(argv[1]);
  const std::string out = argv[2];

  TFormMain form;
  form.show();
  TFormTemplates browser;
  form.TemplateButtons()->Browser = &browser;

  // The portrait as the adjust window's OK makes it: eyes found at (300, 260) and
  // (420, 260) in a 720 x 640 picture.
  const TBitmap32 source = DrawnPortrait(720, 640, {300, 260}, 120);
  TAdjustModel model(DesktopWindowWidth, DesktopWindowHeight, HandMarkers);
  // The detector names the eyes as the person sees them: its left is the picture's right.
  model.Show(source.Width(), source.Height(), TEyeAnswer{420, 260, 300, 260});
  const auto fitted = model.Finish(source, false, DesktopTableWidth, DesktopTableHeight);
  if (!fitted) return 1;
  FacePoint = fitted->FacePoint;
  form.AdjustHost()->AddAdjustedLayer(kAdjustFace, fitted->Bitmap, fitted->LayerOrigin, "Portrait");

  QTimer::singleShot(500, [&] {
    TGraphicButton* hair = form.findChild<TGraphicButton*>("ButtonTemplateHairW");
    if (!hair) QApplication::exit(3);
    QTest::mouseClick(hair, Qt::LeftButton, {}, hair->rect().center());
    QTimer::singleShot(500, [&] {
      const TRect cell = browser.Grid().Cell(0, 0);
      QTest::mouseClick(static_cast<QWidget*>(browser.ResImage), Qt::LeftButton, {}, QPoint(cell.Left + cell.Width() / 2, cell.Top + cell.Height() / 2));
      const QPoint origin = form.DeskWindow()->mapToGlobal(QPoint(0, 0));
      std::ofstream(out + "/geometry.txt") << origin.x() << ' ' << origin.y() << ' ' << DeskViewLeft << ' ' << DeskViewTop
                                           << ' ' << DeskScale << ' ' << FacePoint.X << ' ' << FacePoint.Y << ' '
                                           << form.DeskWindow()->Desk().LayerCount() << '\n';
    });
  });
  return QApplication::exec();
}
