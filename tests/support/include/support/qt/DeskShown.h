#pragma once
// What the smoke demos' desk shows, for their scripts to judge against the screen:
// the export picture (export.png) and where the desk window and its view lie
// (geometry.txt).
#include <QPoint>
#include <fstream>
#include <string>

#include "editor/MontageDesk.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMontage.h"
#include "picture/forms/BitmapImage.h"

inline void WriteDeskShown(TFormMain& form, const std::string& out) {
  TMontageDesk& desk = form.DeskWindow()->Desk();
  desk.RenderExportBitmap();
  ImageView(desk.ExportBitmap()).save(QString::fromStdString(out + "/export.png"));
  const QPoint origin = form.DeskWindow()->mapToGlobal(QPoint(0, 0));
  const TDeskGeometry& g = form.State().DeskGeometry();
  std::ofstream(out + "/geometry.txt") << origin.x() << ' ' << origin.y() << ' ' << g.DesktopWindowWidth << ' '
                                       << g.DesktopWindowHeight << ' ' << g.DeskViewLeft << ' ' << g.DeskViewTop << ' '
                                       << desk.ExportBox().Left << ' ' << desk.ExportBox().Top << '\n';
}
