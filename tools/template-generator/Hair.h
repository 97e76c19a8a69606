#pragma once
// Hair drawn strand by strand: a style is groups of guide curves from the roots
// to the tips; strands are interpolated between neighbouring guides, gathered
// into clumps towards their tips, laid first as a soft mass and then as fine
// tapered strands shaded by their place (roots darker, a sheen where the head
// curves, tips thinner and lighter).
#include <QColor>
#include <QPointF>
#include <cstdint>
#include <vector>

#include <QPainterPath>

#include "Canvas.h"

struct THairGroup {
  std::vector<std::vector<QPointF>> Guides;  // the same number of points each, root first
  int Strands = 400;
  int Clumps = 40;
  double Jitter = 2.0;      // random sway of a strand's points, growing to the tip
  double Gather = 0.55;     // how far tips move towards their clump
  double Width = 1.1;       // fine strand width at the root
  double BodyWidth = 6.0;   // width of the mass strokes
  double Wave = 0.0;        // amplitude of a wave across the strand
  double WaveLength = 60.0; // along the strand, in pixels
  double Shade = 1.0;       // below 1: a group lying behind the others
  QPainterPath Hidden;      // where the group lies behind the head (not drawn)
};

struct THairStyle {
  QColor Base;
  QColor Dark;
  QColor Light;
  QPointF SheenCentre{0, -20};
  double SheenRadius = 100;
  double SheenWidth = 14;
  double SheenStrength = 0.8;
  std::vector<THairGroup> Groups;  // back to front
};

// Mirrors a guide set about the vertical centre line (x -> -x).
std::vector<std::vector<QPointF>> Mirrored(const std::vector<std::vector<QPointF>>& guides);
THairGroup MirroredGroup(const THairGroup& group);

void PaintHair(TTemplateCanvas& canvas, const THairStyle& style, std::uint32_t seed);

// Short hair or stubble: many short strokes inside `area`, pointing along
// `direction(p)`, denser where `density(p)` is high.
struct TFurStyle {
  QColor Base;
  QColor Dark;
  QColor Light;
  int Count = 4000;
  double Length = 7;
  double Width = 1.0;
};
void PaintFur(TTemplateCanvas& canvas, const QPainterPath& area, const TFurStyle& style,
              QPointF (*direction)(QPointF), std::uint32_t seed);
