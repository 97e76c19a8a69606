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
#include "editor/Questionnaires.h"
#include "editor/TemplateBase.h"
#include "editor/forms/FormMain.h"
#include "shell/MainSettings.h"
#include "editor/forms/FormMontage.h"
#include "editor/forms/FormTemplates.h"
#include "editor/forms/TemplateButtons.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "support/qt/SmokeDemo.h"
#include "support/qt/DrawnPortrait.h"


int main(int argc, char* argv[]) {
  if (argc != 3) return 2;
  TSmokeDemo demo(argc, argv, argv[1]);
  const std::string out = argv[2];

  TTemplateBase templates;
  TFormMain form(demo.Settings, templates);
  form.show();
  TQuestionnaires questionnaires;
  TFormTemplates browser(demo.Settings, templates, questionnaires, &form);
  form.TemplateButtons()->Browser = &browser;

  if (!PutDrawnPortrait(form)) return 1;

  QTimer::singleShot(500, [&] {
    TGraphicButton* hair = form.findChild<TGraphicButton*>("ButtonTemplateHairW");
    if (!hair) return void(DemoFail("no women's hairstyles button"));
    DemoClick(hair);
    QTimer::singleShot(500, [&] {
      const TRect cell = browser.Grid().Cell(0, 0);
      DemoClick(browser.ResImage, QPoint(cell.Left + cell.Width() / 2, cell.Top + cell.Height() / 2));
      const QPoint origin = form.DeskWindow()->mapToGlobal(QPoint(0, 0));
      const TDeskGeometry& g = form.State().DeskGeometry();
      std::ofstream(out + "/geometry.txt")
          << origin.x() << ' ' << origin.y() << ' ' << g.DeskViewLeft << ' ' << g.DeskViewTop << ' ' << g.DeskScale
          << ' ' << form.DeskWindow()->Desk().Points.Face.X << ' ' << form.DeskWindow()->Desk().Points.Face.Y << ' ' << form.DeskWindow()->Desk().LayerCount() << '\n';
    });
  });
  return QApplication::exec();
}
