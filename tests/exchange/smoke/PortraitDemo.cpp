// portrait-demo <installation> <out folder> <portrait>...: the main window with its
// desk, the load-and-save window and the adjust window over the installation's
// default interface. The portrait is chosen in the open dialog through its API,
// the adjust window shows it and its OK is pressed with every question answered
// yes, so the portrait layer lands on the desk. Writes the adjust window's view,
// the export picture and where the desk shows the canvas into the out folder.
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <fstream>

#include "editor/DeskAdjustHost.h"
#include "editor/SourcePicture.h"
#include "editor/forms/FormAdjust.h"
#include "editor/TemplateBase.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMontage.h"
#include "exchange/DeskWorkPicture.h"
#include "exchange/forms/FormLoadSave.h"
#include "shell/MainSettings.h"
#include "picture/forms/BitmapImage.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "support/qt/SmokeDemo.h"
#include "support/qt/DeskShown.h"

namespace {

// Says yes to whatever question is up.
void AnswerYes() {
  if (FormMessage && FormMessage->isVisible()) FormMessage->ButtonYes->OnClick();
  if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
    if (QAbstractButton* yes = box->button(QMessageBox::Yes)) yes->click();
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 4) return 2;
  TSmokeDemo demo(argc, argv, argv[1]);
  const std::string out = argv[2];
  const std::string portrait = argv[3];

  TTemplateBase templates;
  TFormMain main(demo.Settings, templates);
  main.show();
  TMontageDesk& desk = main.DeskWindow()->Desk();
  TDeskAdjustHost adjustHost(desk, main.State());
  TDeskWorkPicture work(desk);
  TFormAdjust adjust(adjustHost);
  TFormLoadSave loadSave(demo.Settings);
  loadSave.Work = &work;

  QTimer answering;
  QObject::connect(&answering, &QTimer::timeout, &AnswerYes);
  answering.start(100);

  QTimer::singleShot(0, [&] {
    loadSave.show();
    QTimer::singleShot(0, [&] {
      loadSave.ImageOpenDialog()->selectFile(QString::fromStdString(portrait));
      static_cast<QDialog*>(loadSave.ImageOpenDialog())->accept();
    });
    loadSave.ButtonLoadImageClick();
    // The adjust window's view shows the picture: its middle is not the white ground.
    const TBitmap32 view = adjust.ViewPicture();
    int shown = 0;
    for (int y = view.Height() / 4; y < view.Height() * 3 / 4; ++y)
      for (int x = view.Width() / 4; x < view.Width() * 3 / 4; ++x)
        shown += (view.Pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    if (!adjust.isVisible() || adjust.Source().Picture.Empty() || shown < view.Width() * view.Height() / 8)
      return void(DemoFail("the portrait did not reach the adjust window"));
    ImageView(view).save(QString::fromStdString(out + "/adjust.png"));
    adjust.ButtonOKClick();
    if (!desk.PortraitLayer() || adjust.isVisible()) return void(DemoFail("OK put no portrait layer on the desk"));
    WriteDeskShown(main, out);
  });
  return QApplication::exec();
}
