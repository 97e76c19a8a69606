#include "SkinPainter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "picture/forms/BitmapImage.h"

namespace {

constexpr int kRadius = 14;
constexpr int kTitleHeight = 30;
const QColor kBodyTop(0x2E, 0x36, 0x44), kBodyBottom(0x1D, 0x23, 0x2C);
const QColor kBorder(0x4A, 0x56, 0x68), kHighlight(0x62, 0x70, 0x86);
const QColor kAccentLeft(0x1F, 0xA2, 0xA8), kAccentRight(0x16, 0x6E, 0x8A);
const QColor kWell(0x15, 0x19, 0x20), kWellEdge(0x0D, 0x10, 0x15);

// With `squareCorner` the top right corner is square: the close button the
// caption holds there stays whole.
void PaintBody(QPainter& p, const QRectF& r, bool squareCorner = false, int titleHeight = kTitleHeight) {
  QPainterPath outline;
  outline.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), kRadius, kRadius);
  if (squareCorner) {
    QPainterPath corner;
    corner.addRect(QRectF(r.center().x(), r.top() + 0.5, r.width() / 2 - 0.5, r.height() / 2));
    outline = outline.united(corner);
  }
  QLinearGradient body(r.topLeft(), r.bottomLeft());
  body.setColorAt(0, kBodyTop);
  body.setColorAt(1, kBodyBottom);
  p.fillPath(outline, body);
  // The title strip, clipped to the window's rounded top.
  p.save();
  p.setClipPath(outline);
  QLinearGradient accent(r.topLeft(), r.topRight());
  accent.setColorAt(0, kAccentLeft);
  accent.setColorAt(1, kAccentRight);
  p.fillRect(QRectF(r.left(), r.top(), r.width(), titleHeight), accent);
  p.fillRect(QRectF(r.left(), r.top() + titleHeight, r.width(), 1), QColor(255, 255, 255, 40));
  QLinearGradient gloss(r.topLeft(), QPointF(r.left(), r.top() + titleHeight));
  gloss.setColorAt(0, QColor(255, 255, 255, 50));
  gloss.setColorAt(1, QColor(255, 255, 255, 0));
  p.fillRect(QRectF(r.left(), r.top(), r.width(), titleHeight / 2.0), gloss);
  p.restore();
  p.setPen(QPen(kBorder, 1.5));
  p.drawPath(outline);
}

void PaintWell(QPainter& p, const QRectF& r, int radius = 8) {
  QPainterPath path;
  path.addRoundedRect(r, radius, radius);
  p.fillPath(path, kWell);
  p.setPen(QPen(kWellEdge, 1));
  p.drawPath(path);
  p.setPen(QPen(QColor(255, 255, 255, 28), 1));
  p.drawLine(QPointF(r.left() + radius, r.bottom() + 1), QPointF(r.right() - radius, r.bottom() + 1));
}

void PaintWordmark(QPainter& p, const QRectF& strip) {
  QFont font("DejaVu Sans", 11, QFont::Bold);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
  p.setFont(font);
  p.setPen(QColor(0xF2, 0xF7, 0xF8));
  p.drawText(strip.adjusted(18, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, "TRESSARY");
}

void PaintMainWindow(QPainter& p, const QRectF& r, const QRect& desk) {
  PaintBody(p, r);
  PaintWordmark(p, QRectF(r.left(), r.top(), r.width(), kTitleHeight));
  const double top = kTitleHeight + 14, bottom = r.height() - 40;
  const QRectF frame = QRectF(desk).adjusted(-4, -4, 4, 4);
  // Tool column, the desk with the template strip below it, the layer column and
  // a status strip.
  PaintWell(p, QRectF(12, top, frame.left() - 19, bottom - top));
  PaintWell(p, frame, 6);
  if (bottom - frame.bottom() > 24) PaintWell(p, QRectF(frame.left(), frame.bottom() + 8, frame.width(), bottom - frame.bottom() - 8));
  PaintWell(p, QRectF(frame.right() + 10, top, r.width() - frame.right() - 22, bottom - top));
  PaintWell(p, QRectF(12, bottom + 8, r.width() - 24, 22), 6);
}

void PaintWindow(QPainter& p, const QRectF& r) {
  PaintBody(p, r, true);
  PaintWell(p, QRectF(12, kTitleHeight + 12, r.width() - 24, r.height() - kTitleHeight - 60));
}

// Its controls start just under a caption of 20 and reach its sides and foot.
void PaintDialog(QPainter& p, const QRectF& r) {
  constexpr int kDialogTitle = 24, kMargin = 6;
  PaintBody(p, r, true, kDialogTitle);
  PaintWell(p, QRectF(kMargin, kDialogTitle + 2, r.width() - 2 * kMargin, r.height() - kDialogTitle - 2 - kMargin), 6);
}

}  // namespace

QImage PaintSkin(TSkinStyle style, int width, int height, const QRect& desk) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(0, 0, width, height);
  if (style == TSkinStyle::MainWindow)
    PaintMainWindow(p, r, desk);
  else if (style == TSkinStyle::Dialog)
    PaintDialog(p, r);
  else
    PaintWindow(p, r);
  p.end();
  return image;
}

TBitmap32 KeyedSkin(const QImage& painted) {
  TBitmap32 bitmap = BitmapFromImage(painted);
  for (int y = 0; y < bitmap.Height(); ++y) {
    TColor32* row = bitmap.PixelPtr(0, y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      TColor32 c = row[x];
      if (AlphaOf(c) < 128)
        row[x] = Color32(0, 255, 0);
      else if (RedOf(c) == 0 && GreenOf(c) == 255 && BlueOf(c) == 0)
        row[x] = Color32(0, 254, 0);  // never the key by accident
      else
        row[x] = c | 0xFF000000u;
    }
  }
  return bitmap;
}
