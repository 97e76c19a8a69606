// The hats and glasses of the default content: drawn shapes with shading, each
// with its regions (a hat's crown and band, a frame and its lenses).
#include <cmath>

#include "Catalog.h"

namespace {

constexpr int kHats = 4;
constexpr int kGlasses = 5;

void FillShaded(QPainter& p, const QPainterPath& shape, const QColor& colour, double light = 1.35, double dark = 0.6) {
  const QRectF box = shape.boundingRect();
  QLinearGradient g(box.topLeft(), box.topRight());
  g.setColorAt(0, Shade(colour, dark));
  g.setColorAt(0.35, Shade(colour, light));
  g.setColorAt(0.6, colour);
  g.setColorAt(1, Shade(colour, dark * 0.9));
  p.fillPath(shape, g);
}

// Speckles and weave over a shape: cloth and felt are not flat.
void Texture(QPainter& p, const QPainterPath& shape, const QColor& colour, int count, std::uint32_t seed, double size = 1.2) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> unit(0, 1);
  const QRectF box = shape.boundingRect();
  p.save();
  p.setClipPath(shape);
  for (int i = 0; i < count; ++i) {
    const QPointF at(box.left() + unit(rng) * box.width(), box.top() + unit(rng) * box.height());
    QColor c = unit(rng) < 0.5 ? Shade(colour, 0.75) : Shade(colour, 1.25);
    c.setAlpha(60);
    p.setPen(QPen(c, size));
    p.drawPoint(at);
  }
  p.restore();
}

// A soft shadow under a shape, on the head.
void ShadowUnder(TTemplateCanvas& c, const QPainterPath& shape, QPointF offset, int alpha) {
  QPainter p;
  c.Begin(p);
  p.setClipPath(HeadAndNeck());
  p.fillPath(shape.translated(offset), QColor(0, 0, 0, alpha));
  p.end();
  c.Soften(4);
}

QPainterPath Ellipse(QPointF centre, double rx, double ry) {
  QPainterPath p;
  p.addEllipse(centre, rx, ry);
  return p;
}

TDefaultTemplate Hat(std::string file, std::string name, QRectF bounds, std::function<void(TTemplateCanvas&)> paint) {
  return {kHats, std::move(file), std::move(name), bounds, std::move(paint)};
}

void PaintFedora(TTemplateCanvas& c, const QColor& felt, const QColor& ribbon) {
  QPainterPath brim = Ellipse(QPointF(0, -98), 158, 24);
  QPainterPath crown;
  crown.moveTo(-96, -100);
  crown.cubicTo(-100, -160, -84, -196, -40, -200);
  crown.cubicTo(-20, -188, 20, -188, 40, -200);
  crown.cubicTo(84, -196, 100, -160, 96, -100);
  crown.closeSubpath();
  QPainterPath band;
  band.moveTo(-97, -104);
  band.lineTo(-98, -128);
  band.cubicTo(-40, -120, 40, -120, 98, -128);
  band.lineTo(97, -104);
  band.cubicTo(40, -96, -40, -96, -97, -104);
  ShadowUnder(c, brim, QPointF(0, 10), 110);
  QPainter p;
  c.Begin(p);
  FillShaded(p, brim, felt.darker(115));
  p.setPen(QPen(Shade(felt, 0.5), 1.4));
  p.drawPath(brim);
  FillShaded(p, crown, felt);
  Texture(p, crown.united(brim), felt, 5000, 3);
  p.setPen(QPen(Shade(felt, 0.55), 1.2));
  p.drawPath(crown);
  // The crease along the top.
  p.setPen(QPen(Shade(felt, 0.5), 2.0, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(0, -190), QPointF(0, -150));
  FillShaded(p, band, ribbon, 1.5, 0.5);
  p.end();
  c.MarkRegion(band, 2);
  c.MarkRemaining(1);
}

void PaintBeanie(TTemplateCanvas& c, const QColor& wool) {
  QPainterPath body;
  body.moveTo(-108, -62);
  body.cubicTo(-116, -150, -70, -186, 0, -186);
  body.cubicTo(70, -186, 116, -150, 108, -62);
  body.closeSubpath();
  QPainterPath cuff;
  cuff.moveTo(-110, -58);
  cuff.cubicTo(-112, -80, -110, -90, -108, -98);
  cuff.cubicTo(-40, -112, 40, -112, 108, -98);
  cuff.cubicTo(110, -90, 112, -80, 110, -58);
  cuff.cubicTo(40, -70, -40, -70, -110, -58);
  QPainterPath pompom = Ellipse(QPointF(0, -196), 24, 20);
  ShadowUnder(c, cuff, QPointF(0, 6), 90);
  QPainter p;
  c.Begin(p);
  FillShaded(p, body, wool);
  // Knitted ribs: vertical rows of stitches.
  p.save();
  p.setClipPath(body);
  for (int i = -12; i <= 12; ++i) {
    for (double y = -190; y < -60; y += 7) {
      const double x = i * 9 * (0.55 + 0.45 * std::min(1.0, (y + 190) / 90.0));
      p.setPen(QPen(QColor(0, 0, 0, 40), 1.4));
      p.drawArc(QRectF(x - 4, y, 8, 8), 200 * 16, 140 * 16);
      p.setPen(QPen(QColor(255, 255, 255, 35), 1.0));
      p.drawArc(QRectF(x - 4, y - 1, 8, 8), 20 * 16, 140 * 16);
    }
  }
  p.restore();
  FillShaded(p, cuff, wool.darker(110));
  p.save();
  p.setClipPath(cuff);
  for (int i = -24; i <= 24; ++i) {
    p.setPen(QPen(QColor(0, 0, 0, 55), 2));
    p.drawLine(QPointF(i * 4.6, -112), QPointF(i * 4.6, -56));
  }
  p.restore();
  QRadialGradient g(QPointF(-8, -204), 30);
  g.setColorAt(0, Shade(wool, 1.5));
  g.setColorAt(1, Shade(wool, 0.7));
  p.fillPath(pompom, g);
  Texture(p, pompom, wool, 900, 5, 2.0);
  p.end();
  c.MarkRegion(cuff, 2);
  c.MarkRemaining(1);
}

void PaintCap(TTemplateCanvas& c, const QColor& cloth, const QColor& visorColour) {
  QPainterPath crown;
  crown.moveTo(-104, -84);
  crown.cubicTo(-110, -150, -64, -178, 0, -178);
  crown.cubicTo(64, -178, 110, -150, 104, -84);
  crown.cubicTo(40, -96, -40, -96, -104, -84);
  QPainterPath visor;
  visor.moveTo(-98, -86);
  visor.cubicTo(-40, -100, 40, -100, 98, -86);
  visor.cubicTo(90, -66, 50, -56, 0, -56);
  visor.cubicTo(-50, -56, -90, -66, -98, -86);
  ShadowUnder(c, visor, QPointF(0, 14), 130);
  QPainter p;
  c.Begin(p);
  FillShaded(p, crown, cloth);
  Texture(p, crown, cloth, 4000, 7);
  p.setPen(QPen(Shade(cloth, 0.6), 1.2));
  for (double x : {-46.0, 0.0, 46.0}) {
    QPainterPath seam(QPointF(x * 0.2, -176));
    seam.quadTo(QPointF(x * 1.1, -150), QPointF(x * 1.5, -90));
    p.drawPath(seam);
  }
  p.setBrush(Shade(cloth, 0.8));
  p.drawEllipse(QPointF(0, -177), 6, 3);
  p.setBrush(Qt::NoBrush);
  FillVertical(p, visor, visorColour, 0.6, 1.3);
  p.end();
  c.MarkRegion(visor, 2);
  c.MarkRemaining(1);
}

void PaintTopHat(TTemplateCanvas& c) {
  const QColor silk(30, 30, 34);
  QPainterPath brim = Ellipse(QPointF(0, -100), 132, 18);
  QPainterPath tube;
  tube.moveTo(-84, -104);
  tube.lineTo(-92, -262);
  tube.cubicTo(-40, -272, 40, -272, 92, -262);
  tube.lineTo(84, -104);
  tube.cubicTo(40, -96, -40, -96, -84, -104);
  QPainterPath band;
  band.moveTo(-85, -108);
  band.lineTo(-87, -136);
  band.cubicTo(-40, -130, 40, -130, 87, -136);
  band.lineTo(85, -108);
  band.cubicTo(40, -102, -40, -102, -85, -108);
  ShadowUnder(c, brim, QPointF(0, 10), 120);
  QPainter p;
  c.Begin(p);
  FillShaded(p, brim, silk, 2.0, 0.6);
  FillShaded(p, tube, silk, 2.6, 0.7);
  FillShaded(p, band, QColor(120, 20, 30), 1.5, 0.55);
  p.fillPath(Ellipse(QPointF(0, -264), 92, 10), QColor(60, 60, 66));
  p.end();
  c.MarkRegion(band, 2);
  c.MarkRemaining(1);
}

void PaintSunHat(TTemplateCanvas& c) {
  const QColor straw(222, 196, 140);
  QPainterPath brim = Ellipse(QPointF(0, -96), 196, 38);
  QPainterPath crown;
  crown.moveTo(-92, -104);
  crown.cubicTo(-98, -170, -56, -190, 0, -190);
  crown.cubicTo(56, -190, 98, -170, 92, -104);
  crown.closeSubpath();
  QPainterPath band;
  band.moveTo(-93, -106);
  band.lineTo(-95, -128);
  band.cubicTo(-40, -122, 40, -122, 95, -128);
  band.lineTo(93, -106);
  band.cubicTo(40, -100, -40, -100, -93, -106);
  ShadowUnder(c, brim, QPointF(0, 16), 120);
  QPainter p;
  c.Begin(p);
  FillShaded(p, brim, straw, 1.2, 0.75);
  FillShaded(p, crown, straw, 1.25, 0.7);
  // Woven straw: rings round the crown and the brim.
  p.setPen(QPen(QColor(120, 90, 40, 70), 1.0));
  for (double r = 0.5; r <= 1.0; r += 0.05) p.drawEllipse(QPointF(0, -96), 196 * r, 38 * r);
  p.save();
  p.setClipPath(crown);
  for (double y = -188; y < -100; y += 5) p.drawLine(QPointF(-100, y), QPointF(100, y + 2));
  p.restore();
  FillShaded(p, band, QColor(230, 120, 150), 1.3, 0.6);
  p.end();
  c.MarkRegion(band, 2);
  c.MarkRemaining(1);
}

void PaintBeret(TTemplateCanvas& c, const QColor& wool) {
  QPainterPath body;
  body.moveTo(-102, -92);
  body.cubicTo(-140, -120, -110, -178, 0, -176);
  body.cubicTo(90, -174, 150, -140, 112, -104);
  body.cubicTo(60, -90, -40, -84, -102, -92);
  ShadowUnder(c, body, QPointF(0, 8), 100);
  QPainter p;
  c.Begin(p);
  QRadialGradient g(QPointF(-10, -160), 130);
  g.setColorAt(0, Shade(wool, 1.4));
  g.setColorAt(0.6, wool);
  g.setColorAt(1, Shade(wool, 0.55));
  p.fillPath(body, g);
  Texture(p, body, wool, 6000, 9);
  p.setPen(QPen(Shade(wool, 0.6), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(4, -176), QPointF(8, -186));
  p.end();
}

// Glasses: lenses centred on the eyes (x = +-kEyeDistance / 2, y = 0).
struct TLens {
  double HalfWidth, HalfHeight, Round;  // Round 0 square .. 1 ellipse
  double Tilt;                          // outer corners up (cat-eye)
};

QPainterPath LensShape(const TLens& lens, double side) {
  const double cx = side * kEyeDistance / 2;
  QPainterPath path;
  const double w = lens.HalfWidth, h = lens.HalfHeight;
  if (lens.Round >= 1) {
    path.addEllipse(QPointF(cx, 2), w, h);
  } else {
    path.addRoundedRect(QRectF(cx - w, 2 - h, 2 * w, 2 * h), w * lens.Round + 4, h * lens.Round + 4);
  }
  if (lens.Tilt != 0) {
    QTransform t;
    t.translate(cx, 2);
    t.rotate(-side * lens.Tilt);
    t.translate(-cx, -2);
    path = t.map(path);
  }
  return path;
}

TDefaultTemplate Glasses(std::string file, std::string name, TLens lens, QColor frame, QColor tint, double thickness,
                      bool rimless = false) {
  return {kGlasses, std::move(file), std::move(name), QRectF(-112, -40, 224, 80),
          [=](TTemplateCanvas& c) {
            const QPainterPath left = LensShape(lens, -1), right = LensShape(lens, 1);
            const QPainterPath lenses = left.united(right);
            QPainter p;
            c.Begin(p);
            // Tinted glass, lighter at the top, with a reflection.
            QLinearGradient g(QPointF(0, -lens.HalfHeight), QPointF(0, lens.HalfHeight));
            g.setColorAt(0, Shade(tint, 1.3));
            g.setColorAt(1, tint);
            p.fillPath(lenses, g);
            p.save();
            p.setClipPath(lenses);
            p.setPen(QPen(QColor(255, 255, 255, 110), 5, Qt::SolidLine, Qt::RoundCap));
            for (double side : {-1.0, 1.0}) {
              const double cx = side * kEyeDistance / 2;
              p.drawLine(QPointF(cx - lens.HalfWidth * 0.5, -lens.HalfHeight * 0.2),
                         QPointF(cx - lens.HalfWidth * 0.1, -lens.HalfHeight * 0.7));
            }
            p.restore();
            // The frame: rims, bridge and the temples reaching to the ears.
            QPen pen(frame, thickness, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
            QPainterPath rims;
            if (!rimless) {
              rims.addPath(left);
              rims.addPath(right);
            }
            QPainterPath bridge(QPointF(-kEyeDistance / 2 + lens.HalfWidth - 1, -4));
            bridge.quadTo(QPointF(0, -14), QPointF(kEyeDistance / 2 - lens.HalfWidth + 1, -4));
            rims.addPath(bridge);
            for (double side : {-1.0, 1.0}) {
              const double outer = side * (kEyeDistance / 2 + lens.HalfWidth);
              rims.moveTo(outer, -lens.HalfHeight * 0.5);
              rims.lineTo(side * 104, -6);
            }
            if (rimless) {
              // Half rims along the tops only.
              for (double side : {-1.0, 1.0}) {
                const double cx = side * kEyeDistance / 2;
                rims.moveTo(cx - lens.HalfWidth, 2 - lens.HalfHeight * 0.6);
                rims.quadTo(QPointF(cx, 2 - lens.HalfHeight * 1.25), QPointF(cx + lens.HalfWidth, 2 - lens.HalfHeight * 0.6));
              }
            }
            p.strokePath(rims, pen);
            p.strokePath(rims.translated(0, -thickness * 0.25), QPen(Shade(frame, 1.8), thickness * 0.25,
                                                                     Qt::SolidLine, Qt::RoundCap));
            p.end();
            c.MarkRegion(lenses, 2);
            c.MarkRemaining(1);
          }};
}

}  // namespace

std::vector<TDefaultTemplate> PropTemplates() {
  std::vector<TDefaultTemplate> out;
  out.push_back(Hat("Fedora1.psd", "Fedora", QRectF(-170, -215, 340, 150),
                    [](TTemplateCanvas& c) { PaintFedora(c, QColor(92, 76, 60), QColor(30, 24, 20)); }));
  out.push_back(Hat("Beanie1.psd", "Beanie", QRectF(-125, -225, 250, 180),
                    [](TTemplateCanvas& c) { PaintBeanie(c, QColor(170, 40, 44)); }));
  out.push_back(Hat("Cap1.psd", "Baseball cap", QRectF(-120, -190, 240, 150),
                    [](TTemplateCanvas& c) { PaintCap(c, QColor(30, 60, 120), QColor(36, 66, 128)); }));
  out.push_back(Hat("TopHat1.psd", "Top hat", QRectF(-145, -285, 290, 210), [](TTemplateCanvas& c) { PaintTopHat(c); }));
  out.push_back(Hat("SunHat1.psd", "Sun hat", QRectF(-205, -200, 410, 160), [](TTemplateCanvas& c) { PaintSunHat(c); }));
  out.push_back(Hat("Beret1.psd", "Beret", QRectF(-140, -195, 290, 120),
                    [](TTemplateCanvas& c) { PaintBeret(c, QColor(40, 40, 48)); }));

  out.push_back(Glasses("Round1.psd", "Round glasses", {19, 19, 1, 0}, QColor(50, 40, 30), QColor(200, 220, 235, 40), 2.4));
  out.push_back(Glasses("Square1.psd", "Rectangular glasses", {24, 15, 0.15, 0}, QColor(20, 20, 24), QColor(200, 220, 235, 40),
                        3.4));
  out.push_back(Glasses("Aviator1.psd", "Aviator sunglasses", {25, 22, 0.9, -6}, QColor(190, 160, 90),
                        QColor(40, 70, 60, 200), 1.8));
  out.push_back(Glasses("CatEye1.psd", "Cat-eye glasses", {25, 15, 0.6, 12}, QColor(130, 20, 40), QColor(220, 200, 210, 50), 4.0));
  out.push_back(Glasses("HalfRim1.psd", "Half-rim glasses", {23, 14, 0.5, 0}, QColor(90, 90, 96), QColor(210, 225, 240, 35), 2.6,
                        true));
  out.push_back(Glasses("Shades1.psd", "Dark sunglasses", {26, 19, 0.4, 0}, QColor(12, 12, 12), QColor(16, 16, 20, 225), 4.2));
  return out;
}
