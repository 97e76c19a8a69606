#include "Sheets.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// One frame of a button: a rounded plate, lighter when hovered, sunk and ringed
// when pressed. The ring's pen would spill half its width into the neighbouring
// frames, which show it as a stray line along their edge: the plate stays in its cell.
void Plate(QPainter& p, const QRectF& r, int state) {
  p.save();
  p.setClipRect(r);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  const QColor top = state == 1 ? QColor(120, 132, 160) : state == 2 ? QColor(58, 66, 88) : QColor(92, 102, 128);
  const QColor bottom = state == 2 ? QColor(96, 108, 136) : QColor(48, 54, 72);
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  QPainterPath plate;
  plate.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
  p.fillPath(plate, g);
  p.setPen(QPen(state == 2 ? QColor(250, 200, 90) : QColor(24, 26, 34), state == 2 ? 2.0 : 1.0));
  p.drawPath(plate);
  p.restore();
}

void Glyph(QPainter& p, const QRectF& r, const QString& text, int pixels) {
  QFont f("DejaVu Sans");
  f.setPixelSize(pixels);
  f.setBold(true);
  p.setFont(f);
  p.setPen(QColor(240, 242, 248));
  p.drawText(r, Qt::AlignCenter, text);
}

void Arrow(QPainter& p, const QRectF& r, double dx, double dy) {
  const QPointF c = r.center();
  const double s = std::min(r.width(), r.height()) * 0.28;
  QPolygonF tri;
  // Pointing along (dx, dy).
  tri << c + QPointF(dx * s, dy * s) << c + QPointF(-dx * s - dy * s, -dy * s - dx * s)
      << c + QPointF(-dx * s + dy * s, -dy * s + dx * s);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(240, 242, 248));
  p.drawPolygon(tri);
  p.setBrush(Qt::NoBrush);
}

QImage NewSheet(int width, int height) {
  QImage sheet(width, height, QImage::Format_ARGB32_Premultiplied);
  sheet.fill(Qt::transparent);
  return sheet;
}

}  // namespace

QImage StripSheet(const TTemplateStripDesign& d, const std::vector<QImage>& icons, const QImage& modelsIcon) {
  const int w = d.ButtonWidth, h = d.ButtonHeight;
  QImage sheet = NewSheet(kSheetFrames * w, (kTemplateStripModelsRow + 1) * h);
  QPainter p(&sheet);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  auto iconRow = [&](int row, const QImage& picture) {
    for (int state = 0; state < kSheetFrames; ++state) {
      const QRectF r(state * w, row * h, w, h);
      Plate(p, r, state);
      const QImage icon = picture.scaled(w - 8, h - 8, Qt::KeepAspectRatio, Qt::SmoothTransformation);
      p.drawImage(QPointF(r.left() + (w - icon.width()) / 2.0, r.top() + (h - icon.height()) / 2.0 + (state == 2 ? 1 : 0)),
                  icon);
    }
  };
  for (std::size_t row = 0; row < icons.size() && int(row) < kTemplateStripPrevRow; ++row) iconRow(int(row), icons[row]);
  if (!modelsIcon.isNull()) iconRow(kTemplateStripModelsRow, modelsIcon);
  const int pw = d.Prev.Width();
  for (int state = 0; state < kSheetFrames; ++state) {
    const QRectF prev(state * pw, kTemplateStripPrevRow * h, pw, d.Prev.Height());
    Plate(p, prev, state);
    Arrow(p, prev, -1, 0);
    const QRectF next(state * pw, kTemplateStripNextRow * h, pw, d.Next.Height());
    Plate(p, next, state);
    Arrow(p, next, 1, 0);
  }
  return sheet;
}

QImage BrowserSheet() {
  QImage sheet = NewSheet(kTemplatesSheetWidth, kTemplatesSheetHeight);
  QPainter p(&sheet);
  p.setRenderHint(QPainter::Antialiasing);
  for (const TSheetControl& c : TemplatesButtonDesign) {
    const int w = c.Bounds.Width(), h = c.Bounds.Height();
    for (int state = 0; state < kSheetFrames; ++state) {
      const QRectF r(state * w, c.SheetTop, w, h);
      Plate(p, r, state);
      const QString caption = QString::fromUtf8(c.Caption.data(), int(c.Caption.size()));
      if (caption == "^")
        Arrow(p, r, 0, -1);
      else if (caption == "v")
        Arrow(p, r, 0, 1);
      else if (!caption.isEmpty())
        Glyph(p, r, caption == "Replace" ? QStringLiteral("Replace same type") : caption, caption.size() > 1 ? 11 : 12);
    }
  }
  // The slider's track, enabled and disabled.
  const int tw = kTemplatesSlider.Width(), th = kTemplatesSlider.Height();
  for (int state = 0; state < 2; ++state) {
    const QRectF r(state * tw, kTemplatesSliderSheetTop, tw, th);
    QPainterPath groove;
    groove.addRoundedRect(r.adjusted(4, 1, -4, -1), 4, 4);
    p.fillPath(groove, state == 0 ? QColor(40, 44, 58) : QColor(110, 110, 116));
    p.setPen(QColor(20, 22, 30));
    p.drawPath(groove);
  }
  return sheet;
}
