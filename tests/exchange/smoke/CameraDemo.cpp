// camera-demo <installation> <out folder>: the main window, the load-and-save
// window, the camera window on a fake capture device that streams a colour ramp,
// and the adjust window, over the installation's default interface. The camera
// button of the load-and-save window opens the camera window; once its preview
// has shown frames the snapshot is taken, and the adjust window must show it.
// Writes the adjust window's view (adjust.png) and where it lies on the screen
// (geometry.txt) for the script to check against a screenshot.
#include <QApplication>
#include <QTimer>
#include <fstream>

#include "editor/SourcePicture.h"
#include "editor/forms/FormAdjust.h"
#include "editor/TemplateBase.h"
#include "editor/forms/FormMain.h"
#include "exchange/forms/FormCamera.h"
#include "exchange/forms/FormLoadSave.h"
#include "shell/MainSettings.h"
#include "picture/forms/BitmapImage.h"
#include "shell/forms/GraphicButton.h"
#include "support/FakeCaptureDevice.h"
#include "support/qt/SmokeDemo.h"

int main(int argc, char* argv[]) {
  if (argc < 3) return 2;
  TSmokeDemo demo(argc, argv, argv[1]);
  const std::string out = argv[2];

  TFakeCaptureDevice device;
  device.inputs = {{"Demo camera", true, {{160, 120}, {640, 480}}}};
  TTemplateBase templates;
  TFormMain main(demo.Settings, templates);
  main.show();
  TFormAdjust adjust(*main.AdjustHost(), &main);
  TFormLoadSave loadSave(demo.Settings);
  TFormCamera camera(&main);
  camera.Device = &device;
  ConnectFormCamera();

  // The camera streams at its preview rate.
  QTimer stream;
  QObject::connect(&stream, &QTimer::timeout, [&] { device.EmitFrame(); });
  stream.start(66);

  QTimer::singleShot(0, [&] {
    loadSave.show();
    // Snapshot once the preview has shown a few frames; a loaded machine (or a
    // sanitizer build) may take seconds to open the device.
    auto* watch = new QTimer(&camera);
    QObject::connect(watch, &QTimer::timeout, [&, watch, waited = 0]() mutable {
      waited += watch->interval();
      if (camera.isVisible() && camera.CaptureWindow->Frames() >= 3) {
        watch->stop();
        camera.ButtonSnapshot->OnClick();
      } else if (waited > 20000) {
        watch->stop();
        DemoFail("the camera window showed no preview");
      }
    });
    watch->start(50);
    loadSave.ButtonLoadCamera->OnClick();
    if (camera.isVisible() || !adjust.isVisible() || adjust.Source().Picture.Width() != 640 ||
        adjust.Source().Picture.Height() != 480)
      return void(DemoFail("the snapshot did not reach the adjust window"));
    stream.stop();
    // Let the adjust window paint before the script looks.
    QTimer::singleShot(300, [&] {
      ImageView(adjust.ViewPicture()).save(QString::fromStdString(out + "/adjust.png"));
      const QPoint origin = adjust.ResImage->mapToGlobal(QPoint(0, 0));
      std::ofstream(out + "/geometry.txt") << origin.x() << ' ' << origin.y() << '\n';
    });
  });
  return QApplication::exec();
}
