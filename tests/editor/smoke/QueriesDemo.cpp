// queries-demo <installation> <out folder>: the main window over the installation's
// default interface; its questionnaire button opens the questionnaires, the
// women's hairstyles button the template browser; then, as a person would, a
// click on the answer "long" of the page and on the browser's filter switch.
// Writes where the browser's grid is on screen and what it shows.
#include <QApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <fstream>

#include "editor/Questionnaires.h"
#include "editor/TemplateBase.h"
#include "editor/forms/FormMain.h"
#include "shell/MainSettings.h"
#include "editor/forms/FormQueries.h"
#include "editor/forms/FormTemplates.h"
#include "editor/forms/MainShellForm.h"
#include "editor/forms/TemplateButtons.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/HtmlViewer.h"
#include "support/qt/SmokeDemo.h"

namespace {

// Where the page draws the mark of its control (name, value), in the viewport.
std::optional<QPoint> MarkOf(THtmlViewer& viewer, const std::string& name, const std::string& value) {
  const auto& controls = viewer.Form().Controls();
  QString href;
  for (std::size_t i = 0; i < controls.size(); ++i)
    if (controls[i].Name == name && controls[i].Value == value) href = "form:" + QString::number(i);
  for (QTextBlock block = viewer.document()->begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it)
      if (it.fragment().charFormat().anchorHref() == href) {
        QTextCursor before(viewer.document()), after(viewer.document());
        before.setPosition(it.fragment().position());
        after.setPosition(it.fragment().position() + 1);
        return (viewer.cursorRect(before).center() + viewer.cursorRect(after).center()) / 2;
      }
  return std::nullopt;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 3) return 2;
  TSmokeDemo demo(argc, argv, argv[1]);
  const std::string out = argv[2];

  TTemplateBase templates;
  TFormMain form(demo.Settings, templates);
  TQuestionnaires questionnaires;
  TFormQueries queries(demo.Settings, questionnaires, &form);
  InstallMainShell(form, demo.Settings, {});
  form.show();
  TFormTemplates browser(demo.Settings, templates, questionnaires, &form);
  form.TemplateButtons()->Browser = &browser;

  QTimer::singleShot(500, [&] {
    auto* open = form.findChild<TGraphicButton*>("ButtonQueries");
    auto* hair = form.findChild<TGraphicButton*>("ButtonTemplateHairW");
    if (!open || !open->isVisible() || !hair) return void(DemoFail("no questionnaire or hairstyle button"));
    DemoClick(open);
    // The browser opens after, so it lies above the questionnaires.
    QTimer::singleShot(500, [&, hair] {
      DemoClick(hair);
      QTimer::singleShot(500, [&] {
        const std::optional<QPoint> mark = MarkOf(*queries.HTMLViewer, "length", "long");
        if (!queries.isVisible() || !mark) return void(DemoFail("the questionnaire shows no answer \"long\""));
        DemoClick(queries.HTMLViewer->viewport(), *mark);
        DemoClick(browser.ButtonSetTemplatesFilter);
        QTimer::singleShot(500, [&] {
          const QPoint grid = browser.ResImage->mapToGlobal(QPoint(0, 0));
          std::ofstream(out + "/browser.txt")
              << grid.x() << ' ' << grid.y() << ' ' << browser.Grid().CellWidth() << ' ' << browser.Grid().CellHeight()
              << ' ' << browser.Grid().Columns() << ' ' << browser.Grid().Rows() << ' ' << browser.Shown().size() << ' '
              << questionnaires.Filter.On() << '\n';
        });
      });
    });
  });
  return QApplication::exec();
}
