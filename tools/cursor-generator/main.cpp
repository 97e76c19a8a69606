// cursor-generator <installation folder>: draws the program's own cursors into
// <folder>/Cursors/ as PNG pictures (their hot spots are in shell/ProgramCursors.h).
#include <QGuiApplication>
#include <cstdio>
#include <filesystem>

#include "CursorPainter.h"
#include "shell/ProgramCursors.h"
#include "platform/Paths.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: cursor-generator <installation folder>\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  fs::create_directories(ResolvePath(fs::path(argv[1]), kCursorFolder));
  for (const TProgramCursor& spec : kProgramCursors) {
    const fs::path file = ResolvePath(fs::path(argv[1]), ProgramCursorFile(spec));
    if (!PaintProgramCursor(spec.Number).save(QString::fromStdString(file.string()), "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", file.c_str());
      return 1;
    }
  }
  return 0;
}
