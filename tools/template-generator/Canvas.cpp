#include "Canvas.h"

#include <algorithm>
#include <cmath>

TTemplateCanvas::TTemplateCanvas(const QRectF& bounds)
    : bounds_(bounds.toAlignedRect()),
      image_(bounds_.toAlignedRect().size(), QImage::Format_ARGB32_Premultiplied),
      regions_(image_.width(), image_.height()) {
  image_.fill(Qt::transparent);
}

void TTemplateCanvas::Begin(QPainter& painter) {
  painter.begin(&image_);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.translate(-bounds_.left(), -bounds_.top());
}

void TTemplateCanvas::MarkRegion(const QPainterPath& shape, int region) {
  QImage cover(image_.size(), QImage::Format_Grayscale8);
  cover.fill(0);
  QPainter p(&cover);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.translate(-bounds_.left(), -bounds_.top());
  p.fillPath(shape, Qt::white);
  p.end();
  const std::uint8_t bit = std::uint8_t(1u << (region - 1));
  for (int y = 0; y < image_.height(); ++y) {
    const uchar* c = cover.constScanLine(y);
    const QRgb* px = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
    for (int x = 0; x < image_.width(); ++x)
      if (c[x] >= 128 && qAlpha(px[x]) > 8) regions_.At(x, y) = bit;
  }
}

void TTemplateCanvas::MarkRemaining(int region) {
  const std::uint8_t bit = std::uint8_t(1u << (region - 1));
  for (int y = 0; y < image_.height(); ++y) {
    const QRgb* px = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
    for (int x = 0; x < image_.width(); ++x)
      if (qAlpha(px[x]) > 8 && regions_.At(x, y) == 0) regions_.At(x, y) = bit;
  }
}

bool TTemplateCanvas::HasRegions() const {
  const auto bytes = regions_.Bytes();
  return std::any_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b != 0; });
}

void TTemplateCanvas::Soften(int radius) {
  // Two box passes each way on premultiplied pixels approximate a gaussian.
  const int w = image_.width(), h = image_.height();
  std::vector<int> buf(std::size_t(w) * h * 4);
  for (int y = 0; y < h; ++y) {
    const QRgb* px = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      int* b = &buf[(std::size_t(y) * w + x) * 4];
      b[0] = qRed(px[x]), b[1] = qGreen(px[x]), b[2] = qBlue(px[x]), b[3] = qAlpha(px[x]);
    }
  }
  std::vector<int> tmp(buf.size());
  auto pass = [&](bool horizontal) {
    const int n = horizontal ? w : h, lines = horizontal ? h : w;
    for (int l = 0; l < lines; ++l)
      for (int c = 0; c < 4; ++c) {
        auto at = [&](int i) -> std::size_t {
          const int x = horizontal ? i : l, y = horizontal ? l : i;
          return (std::size_t(y) * w + x) * 4 + c;
        };
        int sum = 0;
        for (int i = -radius; i <= radius; ++i) sum += buf[at(std::clamp(i, 0, n - 1))];
        for (int i = 0; i < n; ++i) {
          tmp[at(i)] = sum / (2 * radius + 1);
          sum += buf[at(std::min(i + radius + 1, n - 1))] - buf[at(std::max(i - radius, 0))];
        }
      }
    buf.swap(tmp);
  };
  pass(true);
  pass(false);
  pass(true);
  pass(false);
  for (int y = 0; y < h; ++y) {
    QRgb* px = reinterpret_cast<QRgb*>(image_.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const int* b = &buf[(std::size_t(y) * w + x) * 4];
      px[x] = qRgba(std::min(b[0], b[3]), std::min(b[1], b[3]), std::min(b[2], b[3]), b[3]);
    }
  }
}

std::vector<QPointF> SmoothCurve(const std::vector<QPointF>& p, int steps) {
  std::vector<QPointF> out;
  if (p.size() < 2) return p;
  for (std::size_t i = 0; i + 1 < p.size(); ++i) {
    const QPointF p0 = i == 0 ? p[0] * 2 - p[1] : p[i - 1];
    const QPointF p1 = p[i], p2 = p[i + 1];
    const QPointF p3 = i + 2 < p.size() ? p[i + 2] : p2 * 2 - p1;
    for (int s = 0; s < steps; ++s) {
      const double t = double(s) / steps, t2 = t * t, t3 = t2 * t;
      out.push_back(0.5 * ((2 * p1) + (-p0 + p2) * t + (2 * p0 - 5 * p1 + 4 * p2 - p3) * t2 +
                           (-p0 + 3 * p1 - 3 * p2 + p3) * t3));
    }
  }
  out.push_back(p.back());
  return out;
}

QPointF Lerp(QPointF a, QPointF b, double t) { return a + (b - a) * t; }

QColor Mix(const QColor& a, const QColor& b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                          float(a.blueF() + (b.blueF() - a.blueF()) * t), float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor Shade(const QColor& c, double factor) {
  if (factor < 1) return Mix(QColor(0, 0, 0, c.alpha()), c, factor);
  return Mix(c, QColor(255, 255, 255, c.alpha()), factor - 1);
}

void FillVertical(QPainter& p, const QPainterPath& shape, const QColor& colour, double top, double bottom) {
  const QRectF box = shape.boundingRect();
  QLinearGradient g(box.topLeft(), box.bottomLeft());
  g.setColorAt(0, Shade(colour, top));
  g.setColorAt(0.45, colour);
  g.setColorAt(1, Shade(colour, bottom));
  p.fillPath(shape, g);
  p.setPen(QPen(Shade(colour, 0.45), 1.2));
  p.drawPath(shape);
}
