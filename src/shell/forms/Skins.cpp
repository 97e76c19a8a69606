#include "shell/forms/Skins.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>

#include "picture/Bmp32.h"
#include "picture/PsdFile.h"
#include "picture/forms/BitmapImage.h"
#include "platform/FileIO.h"
#include "platform/Text.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/InterfaceInfo.h"
#include "shell/forms/Image.h"

namespace {

bool LoadProgramPicture(const fs::path& file, TBitmap32& bitmap) {
  return LoadPsdPicture(file, bitmap).Ok();
}

// Other formats as a bitmap loads them: a Windows bitmap keeps its fourth byte as
// alpha through our own codec; the rest through Qt, which keeps PNG alpha.
bool LoadOtherPicture(const fs::path& file, TBitmap32& bitmap) {
  if (LowerAscii(file.extension().string()) == ".bmp") {
    auto bytes = ReadFileBytes(file, std::uintmax_t(1) << 30);
    TFileResult<TBitmap32> decoded = bytes ? DecodeBmp32(*bytes, file) : bytes.Error();
    if (decoded && !decoded->Empty()) {
      bitmap = *std::move(decoded);
      return true;
    }
  }
  QImage image;
  if (!image.load(QString::fromStdString(file.string()))) return false;
  bitmap = BitmapFromImage(image);
  return !bitmap.Empty();
}

template <typename T>
T* FirstDirectChild(QWidget& parent, bool (*accept)(T*)) {
  for (QObject* child : parent.children())
    if (auto* c = qobject_cast<T*>(child); c && accept(c)) return c;
  return nullptr;
}

bool IsButtonSheet(TImage* image) { return image->objectName().toUpper() == "IMAGEBUTTONS"; }

}  // namespace

const TSkinLoaders& SkinLoaders() {
  static const TSkinLoaders loaders{LoadProgramPicture, LoadOtherPicture};
  return loaders;
}

bool LoadSkinBitmap(TBitmap32& bitmap, std::string_view key, std::string_view defaultFile, bool useDefault) {
  if (FindSkinBitmap(bitmap, InterfaceInUse(), key, defaultFile, useDefault, SkinLoaders())) return true;
  if (useDefault) {
    ShowPlainMessage(TMessageBoxKind::Error, SkinLoadErrorText(defaultFile));
    QCoreApplication::processEvents();
  }
  return false;
}

void LoadButtonsSkin(QWidget& form, std::string_view key, std::string_view defaultFile, bool useDefault) {
  TImage* sheet = FirstDirectChild<TImage>(form, IsButtonSheet);
  if (!sheet) return;
  TBitmap32 bitmap;
  LoadSkinBitmap(bitmap, key, defaultFile, useDefault);
  sheet->SetPackedPicture(bitmap);
}

void FreeButtonsSkin(QWidget& form) {
  TImage* sheet = FirstDirectChild<TImage>(form, IsButtonSheet);
  if (sheet && sheet->HasPicture()) sheet->SetPicture(TBitmap32());
}

QRegion RegionFromRuns(const std::vector<TRegionRun>& runs) {
  std::vector<QRect> rects;
  rects.reserve(runs.size());
  for (const TRegionRun& r : runs) rects.emplace_back(r.X0, r.Y, r.X1 - r.X0, 1);
  QRegion region;
  // One band per row, rectangles left to right: the banded order setRects needs.
  if (!rects.empty()) region.setRects(rects.data(), int(rects.size()));
  return region;
}

void SetControlShape(QWidget& control, const TBitmap32& bitmap, std::uint32_t keyRgb) {
  control.setMask(RegionFromRuns(BitmapToRegion(bitmap, keyRgb)));
  if (control.isVisible()) control.update();
}
