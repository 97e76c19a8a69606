// main-window-demo <installation> <out folder> <picture>...: the main window with
// its desk over the installation's default interface, one layer per picture
// (the second at 60 % opacity), for the smoke test under a real X server. Writes
// the export picture and where the desk shows the canvas into the out folder.
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "editor/TemplateBase.h"
#include "editor/forms/FormMain.h"
#include "shell/MainSettings.h"
#include "editor/forms/FormMontage.h"
#include "picture/Layer.h"
#include "picture/PictureFiles.h"
#include "support/qt/SmokeDemo.h"
#include "support/qt/DeskShown.h"

int main(int argc, char* argv[]) {
  if (argc < 4) return 2;
  TSmokeDemo demo(argc, argv, argv[1]);
  const std::string out = argv[2];

  TTemplateBase templates;
  TFormMain form(demo.Settings, templates);
  form.show();
  TMontageDesk& desk = form.DeskWindow()->Desk();
  for (int i = 3; i < argc; ++i) {
    const TFileResult<TBitmap32> picture = LoadPictureFile(argv[i]);
    if (!picture) {
      std::fprintf(stderr, "cannot load %s\n", picture.Error().Text().c_str());
      return 1;
    }
    auto layer = std::make_unique<TLayer>(desk, *picture, TNewLayer{"Layer " + std::to_string(i - 2), false});
    layer->Left = desk.DeskGeometry().DeskViewLeft + 60 + 90 * (i - 3);
    layer->Top = desk.DeskGeometry().DeskViewTop + 80 + 110 * (i - 3);
    layer->SetLevel(i);
    if (i == 4) layer->SetOpacity(60);
    TLayer& placed = *layer;
    desk.InsertLayer(std::move(layer));
    placed.Render(desk.DeskFrame());
  }
  form.State().SetControls();
  desk.RefreshAll();

  // Once the windows are on the screen: what the desk should show.
  QTimer::singleShot(0, [&] {
    WriteDeskShown(form, out);
  });
  return QApplication::exec();
}
