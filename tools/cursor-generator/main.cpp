// cursor-generator <installation folder>: draws the desk's own cursors into
// <folder>/Cursors/ as PNG pictures (their hot spots are in editor/DeskCursors.h).
#include <QGuiApplication>
#include <cstdio>
#include <filesystem>

#include "CursorPainter.h"
#include "editor/DeskCursors.h"
#include "platform/Paths.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: cursor-generator <installation folder>\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const fs::path folder = ResolvePath(fs::path(argv[1]), kCursorFolder);
  fs::create_directories(folder);
  for (const TDeskCursorSpec& spec : kDeskCursors) {
    const fs::path file = folder / std::string(spec.File);
    if (!PaintDeskCursor(spec.Number).save(QString::fromStdString(file.string()), "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", file.c_str());
      return 1;
    }
  }
  return 0;
}
