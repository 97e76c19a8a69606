#pragma once
// A template picture being drawn: a premultiplied Qt image in head coordinates
// (origin between the eyes, y down, one unit a canvas pixel), its region map, and
// the helpers every painter shares.
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <random>
#include <vector>

#include "picture/Mask.h"

class TTemplateCanvas {
 public:
  // `bounds` in head coordinates: what the picture covers.
  explicit TTemplateCanvas(const QRectF& bounds);

  QImage& Image() { return image_; }
  const QRectF& Bounds() const { return bounds_; }
  // A painter with antialiasing, translated to head coordinates.
  void Begin(QPainter& painter);
  // The picture's top-left in head coordinates, rounded.
  QPoint Origin() const { return bounds_.topLeft().toPoint(); }

  // Marks region `region` (1..8) wherever `shape` covers at least half a pixel and
  // the picture is not transparent there.
  void MarkRegion(const QPainterPath& shape, int region);
  // Marks `region` where the picture is visible and no region is marked yet.
  void MarkRemaining(int region);
  const TMaskA& Regions() const { return regions_; }
  bool HasRegions() const;

  // Blurs the alpha (and colour with it) over `radius` pixels: soft edges.
  void Soften(int radius);

 private:
  QRectF bounds_;
  QImage image_;
  TMaskA regions_;
};

// Catmull-Rom through `points`, `steps` samples a span.
std::vector<QPointF> SmoothCurve(const std::vector<QPointF>& points, int steps = 10);
QPointF Lerp(QPointF a, QPointF b, double t);
QColor Mix(const QColor& a, const QColor& b, double t);
QColor Shade(const QColor& c, double factor);  // < 1 darker, > 1 lighter
// Fills `shape` with `colour` shaded from `top` at its top to `bottom` at its
// bottom, outlined in a darker shade.
void FillVertical(QPainter& p, const QPainterPath& shape, const QColor& colour, double top, double bottom);
