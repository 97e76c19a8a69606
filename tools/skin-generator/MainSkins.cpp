#include "MainSkins.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "editor/MainDesign.h"
#include "picture/forms/BitmapImage.h"

namespace {

const QColor kInk(232, 242, 244);

// One palette for the whole window: deep slate with teal accents.
struct TFaceLook {
  QColor Top, Bottom, Text;
  int Shift;
};

TFaceLook FaceOf(int frame) {
  switch (frame) {
    case 1: return {QColor(20, 78, 88), QColor(44, 108, 118), QColor(220, 236, 238), 1};   // pressed
    case 2: return {QColor(92, 176, 186), QColor(38, 120, 132), QColor(255, 255, 255), 0};  // hover
    case 3: return {QColor(70, 80, 86), QColor(52, 60, 66), QColor(130, 140, 146), 0};     // disabled
    default: return {QColor(64, 146, 158), QColor(24, 94, 106), kInk, 0};
  }
}

QImage Blank(int width, int height, const QColor& fill = Qt::transparent) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(fill);
  return image;
}

TBitmap32 ToBitmap(const QImage& image) { return BitmapFromImage(image); }

void DrawFace(QPainter& p, const QRect& frame, int state, const QString& caption) {
  const TFaceLook look = FaceOf(state);
  const QRectF face = QRectF(frame).adjusted(1.5, 1.5 + look.Shift, -1.5, -1.5 + look.Shift);
  QLinearGradient fill(face.topLeft(), face.bottomLeft());
  fill.setColorAt(0, look.Top);
  fill.setColorAt(1, look.Bottom);
  p.setPen(QPen(QColor(10, 40, 46, 220), 1));
  p.setBrush(fill);
  p.drawRoundedRect(face, 6, 6);
  p.setPen(look.Text);
  QFont font = p.font();
  font.setPixelSize(std::max(9, std::min(13, frame.height() / 3)));
  font.setBold(true);
  p.setFont(font);
  p.drawText(face, Qt::AlignCenter, caption);
}

void DrawTrack(QPainter& p, const QRect& frame, bool enabled) {
  const bool horizontal = frame.width() >= frame.height();
  const int thickness = 6;
  QRectF groove = horizontal ? QRectF(frame.left() + 2, frame.center().y() - thickness / 2.0, frame.width() - 4, thickness)
                             : QRectF(frame.center().x() - thickness / 2.0, frame.top() + 2, thickness, frame.height() - 4);
  p.setPen(Qt::NoPen);
  p.setBrush(enabled ? QColor(12, 22, 28) : QColor(40, 46, 50));
  p.drawRoundedRect(groove, 3, 3);
  p.setBrush(enabled ? QColor(64, 146, 158, 160) : QColor(80, 88, 92, 120));
  p.drawRoundedRect(groove.adjusted(1, 1, -1, -1), 2, 2);
}

void DrawThumb(QPainter& p, const QRect& frame, bool pressed) {
  const QRectF knob = QRectF(frame).adjusted(1.5, 1.5, -1.5, -1.5);
  QLinearGradient fill(knob.topLeft(), knob.bottomLeft());
  fill.setColorAt(0, pressed ? QColor(150, 220, 228) : QColor(236, 244, 246));
  fill.setColorAt(1, pressed ? QColor(64, 146, 158) : QColor(160, 184, 190));
  p.setPen(QPen(QColor(10, 40, 46), 1));
  p.setBrush(fill);
  p.drawRoundedRect(knob, 4, 4);
}

TBitmap32 Sheet(std::string_view name) {
  const TRect bounds = SheetBounds(name);
  QImage image = Blank(bounds.Width(), bounds.Height());
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  for (const TSheetPlace& row : SheetLayout(name)) {
    const TControlDesign& d = *row.Control;
    if (d.Kind == TDesignKind::Slider) {
      for (int f = 0; f < kSliderFrames; ++f) DrawTrack(p, QRect(f * d.Width, row.Top, d.Width, d.Height), f == 0);
      const TPoint thumb = ThumbSize(d);
      for (int f = 0; f < 2; ++f)
        DrawThumb(p, QRect(kSliderFrames * d.Width + f * thumb.X, row.Top, thumb.X, thumb.Y), f == 1);
      continue;
    }
    const QString caption = QString::fromUtf8(d.Caption.data(), int(d.Caption.size()));
    for (int f = 0; f < kButtonFrames; ++f) DrawFace(p, QRect(f * d.Width, row.Top, d.Width, d.Height), f, caption);
  }
  p.end();
  return ToBitmap(image);
}

// A rounded panel, transparent outside its corners.
QImage Panel(int width, int height, const QColor& top, const QColor& bottom, int radius) {
  QImage image = Blank(width, height);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient fill(0, 0, 0, height);
  fill.setColorAt(0, top);
  fill.setColorAt(1, bottom);
  p.setPen(QPen(QColor(70, 120, 130), 1));
  p.setBrush(fill);
  p.drawRoundedRect(QRectF(0.5, 0.5, width - 1, height - 1), radius, radius);
  return image;
}

TBitmap32 Banner(const QString& title) {
  const TControlDesign* banner = FindMainDesign("ImageSkinColoration");
  QImage image = Panel(banner->Width, banner->Height, QColor(64, 146, 158), QColor(24, 94, 106), 8);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QFont font = p.font();
  font.setPixelSize(16);
  font.setBold(true);
  p.setFont(font);
  p.setPen(kInk);
  p.drawText(QRect(0, 0, banner->Width, banner->Height), Qt::AlignCenter, title);
  return ToBitmap(image);
}

}  // namespace

std::vector<TSkinPictureFile> MainSkinFiles() {
  std::vector<TSkinPictureFile> files;
  const TControlDesign* layerPanel = FindMainDesign("PanelLayerTools");
  const TControlDesign* deskPanel = FindMainDesign("PanelDesktopTools");
  files.push_back({"PanLayer.psd", ToBitmap(Panel(layerPanel->Width, layerPanel->Height, QColor(40, 58, 68),
                                                  QColor(26, 38, 46), 10))});
  files.push_back({"PanDesk.psd", ToBitmap(Panel(deskPanel->Width, deskPanel->Height, QColor(40, 58, 68),
                                                 QColor(26, 38, 46), 10))});
  const TControlDesign* palette = FindMainDesign("ImagePalette");
  files.push_back({"Palette.psd", ToBitmap(Panel(palette->Width, palette->Height, QColor(30, 44, 52),
                                                 QColor(20, 30, 36), 8))});
  files.push_back({"SkinCol.psd", Banner("Colour")});
  files.push_back({"SkinAprn.psd", Banner("Looks")});
  files.push_back({"SkinMod.psd", Banner("Warp")});
  files.push_back({"SkinBrus.psd", Banner("Colour brush")});
  files.push_back({"SkinEras.psd", Banner("Eraser")});
  files.push_back({"SkinAct.psd", Banner("Layer actions")});
  for (const TSkinPicture& picture : MainSkinPictures()) {
    if (FindMainDesign(picture.Image)) continue;  // panels and banners, drawn above
    files.push_back({std::string(picture.DefaultFile), Sheet(picture.Image)});
  }
  return files;
}
