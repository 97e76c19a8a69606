// template-generator <installation folder> <settings ini> [--preview <folder>]:
// draws the default templates into the folders the settings' "TEMPLATE TYPES"
// give their types, as Photoshop files with their region masks beside them, and
// writes PartBase.txt. With --preview it also writes each template over a
// sketched face as PNG, for a person to look at.
#include <QGuiApplication>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "Catalog.h"
#include "Sheets.h"
#include "editor/TemplateBase.h"
#include "platform/IniFile.h"
#include "picture/PsdFile.h"
#include "picture/forms/BitmapImage.h"
#include "platform/FileIO.h"

namespace fs = std::filesystem;

namespace {

// A plain face of the default geometry, for previews.
QImage SketchFace(const QRectF& area) {
  QImage image(area.size().toSize(), QImage::Format_ARGB32_Premultiplied);
  image.fill(QColor(235, 235, 240));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.translate(-area.left(), -area.top());
  const QColor skin(232, 190, 160);
  p.setPen(Qt::NoPen);
  p.setBrush(skin.darker(108));
  p.drawRect(QRectF(-52, 90, 104, 200));                     // neck
  p.drawEllipse(QRectF(-190, 215, 380, 200));                // shoulders
  p.setBrush(skin);
  p.drawEllipse(QRectF(-112, -12, 22, 64));                  // ears
  p.drawEllipse(QRectF(90, -12, 22, 64));
  QPainterPath head;
  head.addRect(QRectF(-120, -150, 240, 290));
  p.drawPath(HeadAndNeck().intersected(head));
  p.setBrush(QColor(60, 50, 45));
  for (double x : {-kEyeDistance / 2, kEyeDistance / 2}) p.drawEllipse(QPointF(x, 0), 7, 5);
  p.setPen(QPen(QColor(120, 80, 60), 3, Qt::SolidLine, Qt::RoundCap));
  for (double x : {-kEyeDistance / 2, kEyeDistance / 2}) p.drawLine(QPointF(x - 18, -22), QPointF(x + 18, -24));
  p.setPen(QPen(QColor(170, 90, 80), 4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(-22, 80), QPointF(22, 80));
  p.setPen(QPen(QColor(200, 150, 120), 2));
  p.drawLine(QPointF(0, 20), QPointF(-8, 55));
  return image;
}

// The catalogue line's X: the picture's left as an offset from the face point.
int OffsetX(const TTemplateCanvas& c) { return int(std::lround(c.Bounds().left() + kEyeDistance / 2)); }

// A drawn template as a ready solution uses it.
struct TDrawnPart {
  std::string Line;  // "type; x; y; folder\file; name; level"
  QImage Image;
  QRectF Bounds;
};

// The ready solutions: whole looks of a hairstyle with its fringe or beard.
struct TModelSpec {
  const char* Id;
  const char* Name;
  const char* Type;
  std::vector<const char*> Files;
};
const std::vector<TModelSpec>& ModelSpecs() {
  static const std::vector<TModelSpec> specs = {
      {"LookW1", "Black bob with a blunt fringe", "W", {"Bob1.psd", "Blunt1.psd"}},
      {"LookW2", "Chestnut waves, side-swept fringe", "W", {"LongWav1.psd", "Swept1.psd"}},
      {"LookW3", "Headband and curtain fringe", "W", {"Headbnd1.psd", "Curtain1.psd"}},
      {"LookM1", "Quiff with a full beard", "M", {"Quiff1.psd", "Full1.psd"}},
      {"LookM2", "Side parting and moustache", "M", {"SidePrt1.psd", "Moust1.psd"}},
      {"LookM3", "Slicked back with stubble", "M", {"Slick1.psd", "Stubble1.psd"}},
  };
  return specs;
}

// Models.txt and each model's thumbnail (its parts over a sketched face).
// The first model's thumbnail goes to `icon`.
bool WriteModels(const fs::path& root, const std::map<std::string, TDrawnPart>& parts, QImage& icon) {
  std::string text =
      "# The ready solutions: a header [name; ; thumbnail; hint; model type], then its\n"
      "# parts, one a line: type; x; y; file; caption; level (x and y from the face point).\n";
  fs::create_directories(root / "Models");
  for (const TModelSpec& model : ModelSpecs()) {
    const QRectF area(-200, -200, 400, 400);
    QImage shot = SketchFace(area);
    QPainter p(&shot);
    std::string lines;
    for (const char* file : model.Files) {
      const auto part = parts.find(file);
      if (part == parts.end()) {
        std::fprintf(stderr, "ready solution %s: no template %s\n", model.Id, file);
        return false;
      }
      lines += part->second.Line + "\n";
      p.drawImage(part->second.Bounds.topLeft() - area.topLeft(), part->second.Image);
    }
    p.end();
    const QImage thumb = shot.scaled(100, 100, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_ARGB32);
    if (icon.isNull()) icon = thumb;
    const std::string picture = std::string("Models\\") + model.Id + ".psd";
    if (!SavePsdFile(BitmapFromImage(thumb), root / "Models" / (std::string(model.Id) + ".psd"))) return false;
    text += "\n[" + std::string(model.Name) + "; ; " + picture + "; " + model.Name + "; " + model.Type + "]\n" + lines;
  }
  return WriteFileAtomic(root / "Models.txt", text).Ok();
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 3 && !(argc == 5 && std::string(argv[3]) == "--preview")) {
    std::fprintf(stderr, "usage: template-generator <installation folder> <settings ini> [--preview <folder>]\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const fs::path root = argv[1];
  const fs::path preview = argc == 5 ? fs::path(argv[4]) : fs::path();
  const std::vector<TPartTypeRecord> types = ParseTemplateTypes(TIniFile(argv[2], false).ReadSectionValues("TEMPLATE TYPES"));

  std::string partBase =
      "# The installed templates, one a line: type; x; y; file; name; flags.\n"
      "# x and y place a face template's top-left corner relative to the face point.\n";
  int lastType = -1;
  std::vector<QImage> icons;  // the first template of each type, in type order
  std::map<std::string, TDrawnPart> drawn;
  for (const TDefaultTemplate& spec : DefaultTemplates()) {
    const TPartTypeRecord* type = FindTemplateType(spec.TypeNo, types);
    if (!type) {
      std::fprintf(stderr, "template type %d is not in the settings\n", spec.TypeNo);
      return 1;
    }
    TTemplateCanvas canvas(spec.Bounds);
    spec.Paint(canvas);
    const QImage straight = canvas.Image().convertToFormat(QImage::Format_ARGB32);
    const fs::path folder = root / type->Folder;
    fs::create_directories(folder);
    const fs::path file = folder / spec.File;
    if (!SavePsdFile(BitmapFromImage(straight), file)) {
      std::fprintf(stderr, "cannot write %s\n", file.c_str());
      return 1;
    }
    const fs::path maskFile = fs::path(file).replace_extension(".msk");
    if (canvas.HasRegions()) {
      TBitmap32 sized;
      sized.SetSize(straight.width(), straight.height());
      TMask mask;
      mask.SetBitmap(&sized, canvas.Regions());
      mask.FileName = maskFile.string();
      if (!mask.SaveToFile()) {
        std::fprintf(stderr, "cannot write %s\n", maskFile.c_str());
        return 1;
      }
    } else {
      fs::remove(maskFile);
    }
    if (spec.TypeNo != lastType) icons.push_back(straight);
    if (spec.TypeNo != lastType) {
      partBase += "\n$PART_TYPE " + std::to_string(spec.TypeNo) + "\n";
      lastType = spec.TypeNo;
    }
    const std::string place = std::to_string(spec.TypeNo) + "; " + std::to_string(OffsetX(canvas)) + "; " +
                              std::to_string(int(std::lround(canvas.Bounds().top()))) + "; ";
    const std::string attributes = TemplateAttributes(spec.File);
    partBase += place + spec.File + "; " + spec.Name + ";" + (attributes.empty() ? "" : " " + attributes) + "\n";
    drawn[spec.File] = {place + type->Folder + "\\" + spec.File + "; " + spec.Name + "; " + std::to_string(type->Level),
                        canvas.Image(), canvas.Bounds()};

    if (!preview.empty()) {
      fs::create_directories(preview);
      const QRectF area(-200, -200, 400, 480);
      QImage shot = SketchFace(area);
      QPainter p(&shot);
      p.drawImage(canvas.Bounds().topLeft() - area.topLeft(), canvas.Image());
      p.end();
      shot.save(QString::fromStdString((preview / (type->Folder + "-" + spec.File + ".png")).string()));
    }
  }
  if (!WriteFileAtomic(root / "PartBase.txt", partBase)) return 1;
  QImage modelsIcon;
  if (!WriteModels(root, drawn, modelsIcon)) return 1;

  struct TFolder {
    const char* Name;
    const TTemplateStripDesign& Strip;
  };
  for (const TFolder& f : {TFolder{"1024-768", kStrip1024}, TFolder{"800-600", kStrip800}}) {
    const fs::path folder = root / "Intfaces" / "DEFAULT" / f.Name;
    fs::create_directories(folder);
    const QImage strip = StripSheet(f.Strip, icons, modelsIcon).convertToFormat(QImage::Format_ARGB32);
    const QImage browser = BrowserSheet().convertToFormat(QImage::Format_ARGB32);
    if (!SavePsdFile(BitmapFromImage(strip), folder / "ButTempl.psd") ||
        !SavePsdFile(BitmapFromImage(browser), folder / "ButFtemp.psd")) {
      std::fprintf(stderr, "cannot write the template button sheets\n");
      return 1;
    }
  }
  return 0;
}
