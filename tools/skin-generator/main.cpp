// skin-generator <installation folder>: draws the default interface's skins into
// <folder>/Intfaces/DEFAULT/1024-768/ and .../800-600/ as Photoshop files.
#include <QGuiApplication>
#include <cstdio>
#include <filesystem>

#include "ControlSkins.h"
#include "MainSkins.h"
#include "SkinPainter.h"
#include "SkinTable.h"
#include "picture/PsdFile.h"

namespace fs = std::filesystem;

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: skin-generator <installation folder>\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const fs::path root = fs::path(argv[1]) / "Intfaces" / "DEFAULT";
  // The desk of each folder, as its INTFACE.TXT places it.
  struct TFolder {
    const char* name;
    bool large;
    QRect desk;
  };
  for (TFolder folder : {TFolder{"1024-768", true, QRect(97, 62, 445, 492)},
                         TFolder{"800-600", false, QRect(97, 62, 400, 420)}}) {
    fs::create_directories(root / folder.name);
    for (const TDefaultSkin& skin : DefaultSkins()) {
      const int w = folder.large ? skin.Width1024 : skin.Width800;
      const int h = folder.large ? skin.Height1024 : skin.Height800;
      fs::path file = root / folder.name / std::string(skin.File);
      if (!SavePsdFile(KeyedSkin(PaintSkin(skin.Style, w, h, folder.desk)), file)) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        return 1;
      }
    }
    for (const TSheetFile& sheet : DefaultButtonSheets()) {
      if (!SavePsdFile(sheet.Picture, root / folder.name / sheet.Name)) {
        std::fprintf(stderr, "cannot write %s\n", (root / folder.name / sheet.Name).c_str());
        return 1;
      }
    }
    // The main window's panels and sheets: its controls keep their size.
    for (const TSkinPictureFile& picture : MainSkinFiles()) {
      fs::path file = root / folder.name / picture.Name;
      if (!SavePsdFile(picture.Picture, file)) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        return 1;
      }
    }
  }
  return 0;
}
