#include "Hair.h"

#include <algorithm>
#include <cmath>

namespace {

struct TStrand {
  std::vector<QPointF> Points;
  double Tone;  // -1 dark .. 1 light
};

std::vector<QPointF> GuideAt(const std::vector<std::vector<QPointF>>& guides, double u) {
  const int last = int(guides.size()) - 1;
  const int i = std::clamp(int(std::floor(u)), 0, std::max(0, last - 1));
  const double f = last == 0 ? 0 : std::clamp(u - i, 0.0, 1.0);
  const auto& a = guides[std::size_t(i)];
  const auto& b = guides[std::size_t(std::min(i + 1, last))];
  std::vector<QPointF> out(a.size());
  for (std::size_t k = 0; k < a.size(); ++k) out[k] = Lerp(a[k], b[k], f);
  return out;
}

double Length(const std::vector<QPointF>& line) {
  double sum = 0;
  for (std::size_t i = 1; i < line.size(); ++i) sum += std::hypot(line[i].x() - line[i - 1].x(), line[i].y() - line[i - 1].y());
  return sum;
}

std::vector<TStrand> MakeStrands(const THairGroup& g, int count, std::mt19937& rng) {
  std::uniform_real_distribution<double> unit(0, 1);
  std::normal_distribution<double> normal(0, 1);
  const double span = double(g.Guides.size() - 1);
  // Clump centres across the group, each with its own sway.
  struct TClump {
    double U;
    std::vector<QPointF> Sway;
  };
  std::vector<TClump> clumps(std::size_t(std::max(1, g.Clumps)));
  const std::size_t n = g.Guides.front().size();
  for (std::size_t c = 0; c < clumps.size(); ++c) {
    clumps[c].U = span * (c + 0.5) / clumps.size();
    clumps[c].Sway.resize(n);
    for (std::size_t k = 0; k < n; ++k)
      clumps[c].Sway[k] = QPointF(normal(rng), normal(rng) * 0.5) * g.Jitter * 1.5 * (double(k) / (n - 1));
  }
  std::vector<TStrand> strands;
  for (int s = 0; s < count; ++s) {
    const double u = span * unit(rng);
    std::vector<QPointF> own = GuideAt(g.Guides, u);
    const TClump& clump = clumps[std::min(clumps.size() - 1, std::size_t(u / std::max(span, 1e-9) * clumps.size()))];
    const std::vector<QPointF> centre = GuideAt(g.Guides, clump.U);
    for (std::size_t k = 0; k < n; ++k) {
      const double t = double(k) / (n - 1);
      const double gather = g.Gather * t * t;
      own[k] = Lerp(own[k], centre[k], gather) + clump.Sway[k] +
               QPointF(normal(rng), normal(rng)) * g.Jitter * (0.2 + t);
    }
    std::vector<QPointF> line = SmoothCurve(own, 12);
    if (g.Wave > 0) {
      // A wave across the strand's direction, its phase shared by the clump.
      const double phase = clump.U * 2.1;
      double along = 0;
      std::vector<QPointF> waved(line.size());
      for (std::size_t i = 0; i < line.size(); ++i) {
        if (i > 0) along += std::hypot(line[i].x() - line[i - 1].x(), line[i].y() - line[i - 1].y());
        const QPointF d = line[std::min(i + 1, line.size() - 1)] - line[i > 0 ? i - 1 : 0];
        const double len = std::max(1e-6, std::hypot(d.x(), d.y()));
        const QPointF normalDir(-d.y() / len, d.x() / len);
        const double fade = std::min(1.0, along / 40.0);
        waved[i] = line[i] + normalDir * (g.Wave * fade * std::sin(along / g.WaveLength * 2 * M_PI + phase));
      }
      line.swap(waved);
    }
    // Some strands stop short: the tips thin out.
    const double keep = 1.0 - 0.35 * std::pow(unit(rng), 2.0);
    line.resize(std::max<std::size_t>(2, std::size_t(line.size() * keep)));
    strands.push_back({std::move(line), normal(rng) * 0.5});
  }
  return strands;
}

double Sheen(const THairStyle& style, QPointF p) {
  const double r = std::hypot(p.x() - style.SheenCentre.x(), p.y() - style.SheenCentre.y());
  const double d = (r - style.SheenRadius) / style.SheenWidth;
  return style.SheenStrength * std::exp(-d * d);
}

void ClipGroup(QPainter& p, TTemplateCanvas& canvas, const THairGroup& g) {
  if (g.Hidden.isEmpty()) {
    p.setClipping(false);
    return;
  }
  QPainterPath all;
  all.addRect(canvas.Bounds());
  p.setClipPath(all.subtracted(g.Hidden));
}

}  // namespace

std::vector<std::vector<QPointF>> Mirrored(const std::vector<std::vector<QPointF>>& guides) {
  auto out = guides;
  for (auto& guide : out)
    for (QPointF& p : guide) p.setX(-p.x());
  return out;
}

THairGroup MirroredGroup(const THairGroup& group) {
  THairGroup out = group;
  out.Guides = Mirrored(group.Guides);
  return out;
}

void PaintHair(TTemplateCanvas& canvas, const THairStyle& style, std::uint32_t seed) {
  std::mt19937 rng(seed);
  // The mass: wide strokes in the dark and base colours, softened at the edges.
  {
    QPainter p;
    canvas.Begin(p);
    for (const THairGroup& g : style.Groups) {
      ClipGroup(p, canvas, g);
      const auto strands = MakeStrands(g, std::max(60, g.Strands / 4), rng);
      for (const TStrand& s : strands) {
        QPainterPath path(s.Points.front());
        for (std::size_t i = 1; i < s.Points.size(); ++i) path.lineTo(s.Points[i]);
        QColor c = Mix(style.Dark, style.Base, 0.35 * g.Shade);
        p.setPen(QPen(c, g.BodyWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
      }
    }
    p.end();
    canvas.Soften(1);
  }
  // The fine strands, back group first.
  QPainter p;
  canvas.Begin(p);
  for (const THairGroup& g : style.Groups) {
    ClipGroup(p, canvas, g);
    const auto strands = MakeStrands(g, g.Strands, rng);
    for (const TStrand& s : strands) {
      const double total = std::max(1.0, Length(s.Points));
      double along = 0;
      for (std::size_t i = 1; i < s.Points.size(); ++i) {
        const QPointF a = s.Points[i - 1], b = s.Points[i];
        along += std::hypot(b.x() - a.x(), b.y() - a.y());
        const double t = along / total;
        // Roots dark, a sheen where the head curves, the tone of the strand.
        double light = 0.5 + 0.25 * s.Tone + Sheen(style, b) - 0.35 * std::exp(-along / 10.0);
        light *= g.Shade;
        QColor c = light < 0.5 ? Mix(style.Dark, style.Base, light * 2) : Mix(style.Base, style.Light, (light - 0.5) * 2);
        c.setAlphaF(float(std::clamp(0.85 * (1.0 - 0.7 * t * t * t), 0.0, 1.0)));
        p.setPen(QPen(c, g.Width * (1.0 - 0.55 * t), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(a, b);
      }
    }
  }
  p.end();
}

void PaintFur(TTemplateCanvas& canvas, const QPainterPath& area, const TFurStyle& style,
              QPointF (*direction)(QPointF), std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> unit(0, 1);
  std::normal_distribution<double> normal(0, 1);
  const QRectF box = area.boundingRect();
  QPainter p;
  canvas.Begin(p);
  p.setClipPath(area);
  for (int i = 0; i < style.Count; ++i) {
    const QPointF at(box.left() + unit(rng) * box.width(), box.top() + unit(rng) * box.height());
    if (!area.contains(at)) continue;
    QPointF d = direction(at);
    const double angle = normal(rng) * 0.25;
    d = QPointF(d.x() * std::cos(angle) - d.y() * std::sin(angle), d.x() * std::sin(angle) + d.y() * std::cos(angle));
    const double len = style.Length * (0.6 + 0.8 * unit(rng));
    const QPointF end = at + d * len;
    const QPointF bend = Lerp(at, end, 0.5) + QPointF(-d.y(), d.x()) * normal(rng) * len * 0.12;
    const double tone = unit(rng);
    QColor c = tone < 0.6 ? Mix(style.Dark, style.Base, tone / 0.6) : Mix(style.Base, style.Light, (tone - 0.6) / 0.4);
    c.setAlphaF(float(0.55 + 0.4 * unit(rng)));
    p.setPen(QPen(c, style.Width, Qt::SolidLine, Qt::RoundCap));
    QPainterPath path(at);
    path.quadTo(bend, end);
    p.drawPath(path);
  }
  p.end();
}
