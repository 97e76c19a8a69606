// The hairstyles, fringes and beards of the default content.
#include <cmath>

#include "Catalog.h"
#include "Hair.h"

namespace {

using Guides = std::vector<std::vector<QPointF>>;

struct TPalette {
  QColor Base, Dark, Light;
};
const TPalette kBlack{QColor(38, 32, 30), QColor(10, 8, 8), QColor(110, 100, 95)};
const TPalette kDarkBrown{QColor(72, 46, 30), QColor(22, 13, 9), QColor(160, 118, 80)};
const TPalette kChestnut{QColor(120, 66, 34), QColor(45, 22, 12), QColor(205, 140, 85)};
const TPalette kAuburn{QColor(140, 52, 28), QColor(55, 16, 8), QColor(225, 120, 70)};
const TPalette kBlonde{QColor(196, 160, 98), QColor(112, 82, 42), QColor(250, 232, 180)};
const TPalette kPlatinum{QColor(222, 214, 196), QColor(140, 128, 110), QColor(255, 252, 244)};
const TPalette kCopper{QColor(176, 84, 36), QColor(84, 32, 12), QColor(246, 166, 100)};
const TPalette kGrey{QColor(150, 146, 142), QColor(70, 66, 64), QColor(230, 228, 224)};

THairStyle Style(const TPalette& c) {
  THairStyle s;
  s.Base = c.Base;
  s.Dark = c.Dark;
  s.Light = c.Light;
  return s;
}

THairGroup Group(Guides guides, int strands, double jitter = 2.0) {
  THairGroup g;
  g.Guides = std::move(guides);
  g.Strands = strands;
  g.Jitter = jitter;
  return g;
}

// Both sides of a centre-parted style from the right side's guides.
void AddBothSides(THairStyle& s, const THairGroup& right) {
  s.Groups.push_back(MirroredGroup(right));
  s.Groups.push_back(right);
}

}  // namespace

QPainterPath HeadAndNeck() {
  QPainterPath face;
  face.moveTo(0, -138);
  face.cubicTo(70, -138, 100, -90, 100, -20);
  face.cubicTo(100, 60, 60, 135, 0, 135);
  face.cubicTo(-60, 135, -100, 60, -100, -20);
  face.cubicTo(-100, -90, -70, -138, 0, -138);
  QPainterPath neck;
  neck.addRoundedRect(QRectF(-54, 60, 108, 400), 20, 20);
  return face.united(neck);
}

namespace {

// Behind the head and neck: the hair's back, seen beside the neck.
THairGroup BackHair(double bottom, double halfWidth, int strands) {
  Guides g;
  for (int i = 0; i <= 4; ++i) {
    const double x = -halfWidth + 2 * halfWidth * i / 4.0;
    g.push_back({{x * 0.5, -120}, {x * 0.9, -40}, {x, 40}, {x * 1.02, (40 + bottom) / 2}, {x * 1.05, bottom}});
  }
  THairGroup group = Group(g, strands, 2.0);
  group.Shade = 0.55;
  group.Hidden = HeadAndNeck();
  return group;
}

TDefaultTemplate Hair(int type, std::string file, std::string name, QRectF bounds, THairStyle style, std::uint32_t seed) {
  return {type, std::move(file), std::move(name), bounds, [style, seed](TTemplateCanvas& c) { PaintHair(c, style, seed); }};
}

// --- women's styles (right side guides, root to tip) ---

Guides LongStraightRight(double length) {
  return {
      {{1, -84}, {30, -84}, {62, -70}, {86, -35}, {94, 20}, {92, 100}, {94, length - 20}},
      {{1, -112}, {45, -110}, {88, -80}, {104, -30}, {106, 40}, {106, 120}, {110, length}},
      {{1, -136}, {58, -130}, {104, -92}, {122, -30}, {124, 50}, {126, 140}, {132, length}},
  };
}

Guides BobRight() {
  return {
      {{1, -84}, {32, -83}, {64, -68}, {88, -30}, {95, 30}, {92, 95}, {80, 118}},
      {{1, -112}, {46, -110}, {90, -80}, {108, -25}, {112, 40}, {108, 100}, {94, 124}},
      {{1, -137}, {60, -130}, {106, -92}, {126, -25}, {130, 45}, {124, 104}, {104, 130}},
  };
}

Guides PixieRight() {
  // Swept from the crown forward and down over the temples.
  return {
      {{-10, -138}, {20, -120}, {55, -96}, {80, -70}, {92, -45}},
      {{0, -140}, {50, -130}, {88, -104}, {104, -70}, {108, -30}},
      {{10, -140}, {70, -132}, {106, -100}, {118, -50}, {114, 0}},
  };
}

Guides PixieFront() {
  return {
      {{-70, -128}, {-50, -110}, {-30, -96}, {-8, -82}, {10, -70}},
      {{-20, -142}, {0, -120}, {20, -100}, {40, -86}, {62, -74}},
      {{30, -140}, {48, -118}, {64, -100}, {78, -86}, {90, -70}},
  };
}

Guides SideSweptLeft(double length) {
  // The long side falls from a parting at x = 40.
  return {
      {{38, -86}, {10, -86}, {-30, -78}, {-70, -55}, {-92, -10}, {-96, 60}, {-98, 140}, {-100, length}},
      {{40, -112}, {0, -116}, {-50, -106}, {-92, -74}, {-110, -20}, {-114, 60}, {-118, 150}, {-124, length + 10}},
      {{42, -136}, {0, -140}, {-56, -128}, {-104, -94}, {-126, -30}, {-132, 60}, {-138, 150}, {-146, length + 15}},
  };
}

Guides SideSweptRight(double length) {
  return {
      {{42, -86}, {56, -82}, {72, -68}, {88, -36}, {94, 10}, {94, 80}, {96, 150}, {98, length}},
      {{44, -114}, {66, -112}, {92, -88}, {108, -40}, {112, 20}, {112, 90}, {114, 160}, {118, length + 5}},
      {{46, -136}, {76, -130}, {106, -100}, {124, -40}, {128, 30}, {128, 100}, {132, 170}, {136, length + 10}},
  };
}

Guides PulledBackRight() {
  // Smooth from the hairline over the head to a tie at the back (seen as the top).
  return {
      {{1, -84}, {36, -84}, {66, -70}, {88, -42}, {98, -10}},
      {{1, -110}, {44, -110}, {84, -90}, {104, -56}, {108, -20}},
      {{1, -136}, {56, -132}, {100, -104}, {118, -62}, {118, -30}},
  };
}

Guides PonytailGuides(double side) {
  // A tail from the crown falling to one side behind the head.
  const double s = side;
  return {
      {{s * 60, -128}, {s * 100, -140}, {s * 138, -110}, {s * 150, -40}, {s * 146, 40}, {s * 140, 110}},
      {{s * 66, -124}, {s * 112, -128}, {s * 150, -96}, {s * 162, -30}, {s * 160, 50}, {s * 154, 130}},
      {{s * 72, -120}, {s * 124, -116}, {s * 160, -80}, {s * 172, -20}, {s * 172, 60}, {s * 166, 140}},
  };
}

QPainterPath BandAcross(double y, double thickness, double halfWidth) {
  // A band over the head following the skull's curve.
  QPainterPath band;
  band.moveTo(-halfWidth, y + 40);
  band.cubicTo(-halfWidth * 0.8, y - 30, halfWidth * 0.8, y - 30, halfWidth, y + 40);
  band.lineTo(halfWidth - thickness * 0.2, y + 40 + thickness);
  band.cubicTo(halfWidth * 0.8 - thickness * 0.2, y - 30 + thickness, -halfWidth * 0.8 + thickness * 0.2,
               y - 30 + thickness, -halfWidth + thickness * 0.2, y + 40 + thickness);
  band.closeSubpath();
  return band;
}

void PaintBand(TTemplateCanvas& canvas, const QPainterPath& band, const QColor& colour) {
  QPainter p;
  canvas.Begin(p);
  FillVertical(p, band, colour, 1.35, 0.55);
  p.end();
}

}  // namespace

std::vector<TDefaultTemplate> HairTemplates() {
  std::vector<TDefaultTemplate> out;
  const int W = 1, M = 2, F = 3, B = 6;

  {  // Long straight, centre parting.
    for (auto [file, name, pal, seed] : {std::tuple{"LongStr1.psd", "Long straight, dark", kDarkBrown, 11u},
                                         std::tuple{"LongStr2.psd", "Long straight, blonde", kBlonde, 12u},
                                         std::tuple{"LongStr3.psd", "Long straight, black", kBlack, 13u}}) {
      THairStyle s = Style(pal);
      s.Groups.push_back(BackHair(250, 110, 500));
      THairGroup side = Group(LongStraightRight(270), 900, 1.6);
      AddBothSides(s, side);
      out.push_back(Hair(W, file, name, QRectF(-160, -160, 320, 440), s, seed));
    }
  }
  {  // Long waves, side parting.
    for (auto [file, name, pal, seed] : {std::tuple{"LongWav1.psd", "Long waves, chestnut", kChestnut, 21u},
                                         std::tuple{"LongWav2.psd", "Long waves, copper", kCopper, 22u}}) {
      THairStyle s = Style(pal);
      s.Groups.push_back(BackHair(240, 115, 500));
      THairGroup left = Group(SideSweptLeft(250), 1000, 2.2);
      left.Wave = 7;
      left.WaveLength = 70;
      THairGroup right = Group(SideSweptRight(245), 700, 2.2);
      right.Wave = 7;
      right.WaveLength = 70;
      s.Groups.push_back(right);
      s.Groups.push_back(left);
      out.push_back(Hair(W, file, name, QRectF(-175, -165, 340, 440), s, seed));
    }
  }
  {  // Bob.
    for (auto [file, name, pal, seed] : {std::tuple{"Bob1.psd", "Bob, black", kBlack, 31u},
                                         std::tuple{"Bob2.psd", "Bob, auburn", kAuburn, 32u},
                                         std::tuple{"Bob3.psd", "Bob, platinum", kPlatinum, 33u}}) {
      THairStyle s = Style(pal);
      AddBothSides(s, Group(BobRight(), 800, 1.3));
      out.push_back(Hair(W, file, name, QRectF(-150, -160, 300, 310), s, seed));
    }
  }
  {  // Pixie.
    for (auto [file, name, pal, seed] : {std::tuple{"Pixie1.psd", "Pixie, brown", kDarkBrown, 41u},
                                         std::tuple{"Pixie2.psd", "Pixie, blonde", kBlonde, 42u}}) {
      THairStyle s = Style(pal);
      s.SheenRadius = 105;
      THairGroup right = Group(PixieRight(), 500, 1.8);
      right.Gather = 0.7;
      s.Groups.push_back(MirroredGroup(right));
      s.Groups.push_back(right);
      THairGroup front = Group(PixieFront(), 500, 2.0);
      front.Gather = 0.7;
      s.Groups.push_back(front);
      out.push_back(Hair(W, file, name, QRectF(-140, -165, 280, 190), s, seed));
    }
  }
  {  // Ponytail with a hair tie.
    THairStyle s = Style(kChestnut);
    THairGroup tail = Group(PonytailGuides(1), 600, 2.0);
    tail.Shade = 0.8;
    tail.Wave = 4;
    s.Groups.push_back(tail);
    AddBothSides(s, Group(PulledBackRight(), 600, 1.0));
    const QPainterPath tie = [] {
      QPainterPath p;
      p.addEllipse(QPointF(72, -124), 13, 9);
      return p;
    }();
    out.push_back({W, "Pony1.psd", "Ponytail with a tie", QRectF(-190, -160, 380, 320), [s, tie](TTemplateCanvas& c) {
                     PaintHair(c, s, 51);
                     PaintBand(c, tie, QColor(190, 30, 60));
                     c.MarkRegion(tie, 2);
                     c.MarkRemaining(1);
                   }});
  }
  {  // Long hair with a headband.
    THairStyle s = Style(kDarkBrown);
    s.Groups.push_back(BackHair(240, 110, 500));
    AddBothSides(s, Group(LongStraightRight(260), 900, 1.8));
    const QPainterPath band = BandAcross(-118, 13, 112);
    out.push_back({W, "Headbnd1.psd", "Long with a headband", QRectF(-160, -160, 320, 430), [s, band](TTemplateCanvas& c) {
                     PaintHair(c, s, 61);
                     PaintBand(c, band, QColor(40, 90, 170));
                     c.MarkRegion(band, 2);
                     c.MarkRemaining(1);
                   }});
  }

  // --- men ---
  {  // Short crop: swept forward and up from the crown.
    for (auto [file, name, pal, seed] : {std::tuple{"Crop1.psd", "Short crop, dark", kDarkBrown, 71u},
                                         std::tuple{"Crop2.psd", "Short crop, blond", kBlonde, 72u}}) {
      THairStyle s = Style(pal);
      s.SheenRadius = 108;
      THairGroup right = Group({{{6, -140}, {40, -132}, {70, -112}, {88, -86}, {96, -58}},
                                {{10, -142}, {60, -136}, {94, -112}, {106, -80}, {104, -30}},
                                {{14, -143}, {76, -138}, {108, -108}, {114, -70}, {108, -14}}},
                               450, 1.2);
      right.Gather = 0.75;
      right.Width = 1.3;
      THairGroup front = Group({{{-76, -132}, {-76, -116}, {-74, -100}, {-72, -88}, {-70, -76}},
                                {{0, -142}, {2, -122}, {4, -104}, {6, -92}, {8, -82}},
                                {{76, -132}, {76, -116}, {76, -100}, {74, -88}, {72, -76}}},
                               700, 1.5);
      front.Gather = 0.8;
      front.Width = 1.3;
      s.Groups.push_back(MirroredGroup(right));
      s.Groups.push_back(right);
      s.Groups.push_back(front);
      out.push_back(Hair(M, file, name, QRectF(-130, -160, 260, 170), s, seed));
    }
  }
  {  // Side parting.
    THairStyle s = Style(kChestnut);
    s.SheenRadius = 106;
    THairGroup top = Group({{{-36, -86}, {-4, -96}, {36, -100}, {72, -86}, {96, -56}},
                            {{-38, -112}, {4, -124}, {52, -122}, {92, -100}, {108, -60}},
                            {{-40, -136}, {6, -146}, {62, -140}, {104, -110}, {116, -60}},
                            {{-40, -138}, {20, -148}, {74, -140}, {110, -108}, {112, -20}}},
                           900, 1.2);
    top.Gather = 0.6;
    THairGroup left = Group({{{-40, -86}, {-60, -82}, {-80, -66}, {-92, -40}, {-96, -16}},
                             {{-40, -112}, {-70, -108}, {-96, -84}, {-108, -50}, {-108, -14}},
                             {{-42, -136}, {-78, -128}, {-106, -100}, {-116, -56}, {-110, -8}}},
                            500, 1.0);
    s.Groups.push_back(left);
    s.Groups.push_back(top);
    out.push_back(Hair(M, "SidePrt1.psd", "Side parting", QRectF(-135, -165, 270, 175), s, 81));
  }
  {  // Quiff: the front rises and turns back.
    THairStyle s = Style(kBlack);
    s.SheenCentre = QPointF(0, -60);
    s.SheenRadius = 92;
    THairGroup sides = Group({{{20, -100}, {50, -96}, {76, -80}, {90, -60}, {94, -40}},
                              {{30, -132}, {70, -120}, {90, -96}, {96, -70}, {98, -44}},
                              {{34, -136}, {78, -126}, {100, -98}, {104, -66}, {102, -34}}},
                             600, 0.8);
    THairGroup quiff = Group({{{-58, -84}, {-64, -130}, {-48, -168}, {-18, -178}, {10, -160}},
                              {{0, -84}, {-6, -140}, {12, -180}, {40, -182}, {60, -158}},
                              {{58, -84}, {56, -128}, {66, -166}, {86, -168}, {96, -140}}},
                             1100, 1.6);
    quiff.Gather = 0.45;
    s.Groups.push_back(MirroredGroup(sides));
    s.Groups.push_back(sides);
    s.Groups.push_back(quiff);
    out.push_back(Hair(M, "Quiff1.psd", "Quiff", QRectF(-130, -200, 260, 200), s, 91));
  }
  {  // Slicked back.
    THairStyle s = Style(kGrey);
    s.SheenStrength = 1.0;
    THairGroup right = Group({{{2, -84}, {6, -110}, {10, -130}, {14, -142}, {16, -146}},
                              {{40, -82}, {50, -108}, {58, -128}, {62, -138}, {64, -142}},
                              {{80, -64}, {92, -88}, {98, -108}, {100, -120}, {100, -128}},
                              {{98, -20}, {108, -50}, {114, -80}, {114, -100}, {112, -112}}},
                             700, 0.9);
    right.Gather = 0.3;
    AddBothSides(s, right);
    s.Groups.push_back(Group({{{-34, -84}, {-30, -108}, {-26, -128}, {-22, -140}, {-20, -146}},
                              {{34, -84}, {30, -108}, {26, -128}, {22, -140}, {20, -146}}},
                             300, 0.9));
    out.push_back(Hair(M, "Slick1.psd", "Slicked back, grey", QRectF(-130, -165, 260, 160), s, 101));
  }
  {  // Shaggy, over the ears.
    THairStyle s = Style(kBlonde);
    THairGroup right = Group({{{1, -84}, {30, -82}, {60, -66}, {86, -34}, {96, 10}, {98, 40}},
                              {{1, -112}, {46, -110}, {90, -80}, {110, -30}, {114, 20}, {114, 50}},
                              {{1, -138}, {60, -132}, {106, -94}, {126, -34}, {128, 20}, {124, 58}}},
                             800, 2.6);
    right.Wave = 3;
    THairGroup fringe = Group({{{-50, -130}, {-50, -110}, {-48, -90}, {-44, -72}, {-40, -58}},
                               {{10, -138}, {12, -116}, {16, -96}, {20, -76}, {24, -62}},
                               {{60, -130}, {62, -110}, {66, -92}, {72, -74}, {78, -60}}},
                              400, 2.4);
    AddBothSides(s, right);
    s.Groups.push_back(fringe);
    out.push_back(Hair(M, "Shaggy1.psd", "Shaggy", QRectF(-150, -160, 300, 240), s, 111));
  }
  {  // Curly top with short sides.
    THairStyle s = Style(kDarkBrown);
    s.SheenRadius = 112;
    THairGroup sides = Group({{{40, -128}, {72, -114}, {94, -90}, {102, -62}, {104, -36}},
                              {{44, -130}, {80, -118}, {104, -92}, {112, -60}, {110, -26}}},
                             300, 0.8);
    sides.Width = 0.9;
    THairGroup curls = Group({{{-70, -90}, {-80, -120}, {-70, -150}, {-50, -164}, {-30, -160}},
                              {{0, -88}, {-6, -124}, {0, -160}, {16, -172}, {36, -166}},
                              {{70, -90}, {80, -122}, {74, -152}, {60, -166}, {40, -162}}},
                             1300, 4.0);
    curls.Wave = 5;
    curls.WaveLength = 18;
    curls.Gather = 0.4;
    s.Groups.push_back(MirroredGroup(sides));
    s.Groups.push_back(sides);
    s.Groups.push_back(curls);
    out.push_back(Hair(M, "Curly1.psd", "Curly top", QRectF(-130, -190, 260, 190), s, 121));
  }
  {  // Man bun.
    THairStyle s = Style(kBlack);
    THairGroup right = Group({{{1, -84}, {2, -110}, {2, -135}, {2, -150}, {0, -160}},
                              {{60, -78}, {62, -108}, {50, -135}, {30, -152}, {10, -162}},
                              {{96, -30}, {104, -80}, {90, -120}, {56, -148}, {20, -162}}},
                             800, 0.9);
    right.Gather = 0.2;
    AddBothSides(s, right);
    const QPainterPath bun = [] {
      QPainterPath p;
      p.addEllipse(QPointF(0, -172), 36, 27);
      return p;
    }();
    out.push_back({M, "ManBun1.psd", "Man bun", QRectF(-130, -205, 260, 200), [s, bun](TTemplateCanvas& c) {
                     PaintHair(c, s, 131);
                     {
                       QPainter p;
                       c.Begin(p);
                       QRadialGradient g(QPointF(-8, -180), 40);
                       g.setColorAt(0, s.Base);
                       g.setColorAt(1, s.Dark);
                       p.fillPath(bun, g);
                       p.end();
                     }
                     TFurStyle fur{s.Base, s.Dark, s.Light, 2500, 9, 1.0};
                     PaintFur(c, bun, fur, [](QPointF p) {
                       const QPointF d(p.x(), (p.y() + 172) * 1.33);
                       const double len = std::max(1.0, std::hypot(d.x(), d.y()));
                       return QPointF(-d.y() / len, d.x() / len);
                     }, 132);
                   }});
  }
  {  // Buzz cut: a short pile over the skull.
    QPainterPath cap;
    cap.moveTo(-100, -20);
    cap.cubicTo(-104, -100, -64, -142, 0, -142);
    cap.cubicTo(64, -142, 104, -100, 100, -20);
    cap.cubicTo(92, -40, 86, -60, 70, -72);
    cap.cubicTo(40, -86, -40, -86, -70, -72);
    cap.cubicTo(-86, -60, -92, -40, -100, -20);
    out.push_back({M, "Buzz1.psd", "Buzz cut", QRectF(-115, -155, 230, 145), [cap](TTemplateCanvas& c) {
                     TFurStyle fur{QColor(60, 44, 34), QColor(24, 16, 12), QColor(120, 96, 78), 9000, 3.5, 0.9};
                     {
                       QPainter p;
                       c.Begin(p);
                       QColor under(40, 30, 24, 150);
                       p.fillPath(cap, under);
                       p.end();
                       c.Soften(2);
                     }
                     PaintFur(c, cap, fur, [](QPointF p) {
                       const double len = std::max(1.0, std::hypot(p.x(), p.y() + 30));
                       return QPointF(p.x() / len, (p.y() + 30) / len);
                     }, 141);
                   }});
  }

  // --- fringes ---
  auto fringe = [&](std::string file, std::string name, const TPalette& pal, Guides g, int strands, double jitter,
                    double gather, std::uint32_t seed, double wave = 0, bool bothSides = false) {
    THairStyle s = Style(pal);
    s.SheenRadius = 110;
    THairGroup group = Group(std::move(g), strands, jitter);
    group.Gather = gather;
    group.Wave = wave;
    group.WaveLength = 40;
    if (bothSides) s.Groups.push_back(MirroredGroup(group));
    s.Groups.push_back(group);
    out.push_back(Hair(F, std::move(file), std::move(name), QRectF(-115, -150, 230, 140), s, seed));
  };
  fringe("Blunt1.psd", "Blunt fringe", kDarkBrown,
         {{{-80, -120}, {-88, -90}, {-88, -50}, {-86, -22}},
          {{-30, -138}, {-34, -100}, {-36, -50}, {-36, -16}},
          {{30, -138}, {34, -100}, {36, -50}, {36, -16}},
          {{80, -120}, {88, -90}, {88, -50}, {86, -22}}},
         1100, 0.8, 0.2, 151);
  fringe("Swept1.psd", "Side-swept fringe", kChestnut,
         {{{-60, -134}, {-30, -110}, {10, -84}, {50, -60}, {80, -40}},
          {{-50, -140}, {-20, -118}, {20, -92}, {60, -66}, {90, -36}},
          {{-20, -140}, {10, -112}, {46, -80}, {76, -50}, {96, -20}},
          {{30, -138}, {54, -112}, {78, -86}, {94, -56}, {100, -26}}},
         900, 1.6, 0.5, 161);
  fringe("Curtain1.psd", "Curtain fringe", kBlonde,
         {{{-2, -138}, {-18, -110}, {-44, -80}, {-70, -52}, {-88, -24}},
          {{-30, -136}, {-52, -114}, {-74, -88}, {-90, -60}, {-98, -34}},
          {{-60, -126}, {-80, -108}, {-94, -84}, {-102, -58}, {-104, -36}}},
         600, 1.6, 0.5, 171, 0, true);
  fringe("Wispy1.psd", "Wispy fringe", kBlack,
         {{{-70, -126}, {-74, -96}, {-72, -56}, {-70, -24}},
          {{0, -140}, {0, -104}, {2, -58}, {4, -18}},
          {{70, -126}, {74, -96}, {72, -56}, {70, -24}}},
         500, 2.8, 0.85, 181);
  fringe("Choppy1.psd", "Short choppy fringe", kAuburn,
         {{{-76, -124}, {-80, -100}, {-78, -70}, {-74, -44}},
          {{0, -140}, {0, -112}, {2, -80}, {4, -46}},
          {{76, -124}, {80, -100}, {78, -70}, {74, -44}}},
         800, 2.2, 0.8, 191, 2);

  // --- beards ---
  const auto down = [](QPointF p) {
    const double dx = -p.x() * 0.25, dy = 1.0;
    const double len = std::hypot(dx, dy);
    return QPointF(dx / len, dy / len);
  };
  auto beard = [&](std::string file, std::string name, QPainterPath area, TFurStyle fur, double soft, std::uint32_t seed) {
    const QRectF box = area.boundingRect();
    const double half = std::max(-box.left(), box.right()) + 12;
    out.push_back({B, std::move(file), std::move(name), QRectF(-half, box.top() - 12, 2 * half, box.height() + 24),
                   [area, fur, soft, seed, down](TTemplateCanvas& c) {
                     if (soft > 0) {
                       QPainter p;
                       c.Begin(p);
                       QColor under = fur.Dark;
                       under.setAlpha(int(200 * soft));
                       p.fillPath(area, under);
                       p.end();
                       c.Soften(3);
                     }
                     PaintFur(c, area, fur, down, seed);
                   }});
  };
  QPainterPath mouth;
  mouth.addEllipse(QPointF(0, 82), 26, 9);
  QPainterPath fullArea;
  fullArea.moveTo(-100, 10);
  fullArea.cubicTo(-96, 60, -74, 120, 0, 150);
  fullArea.cubicTo(74, 120, 96, 60, 100, 10);
  fullArea.lineTo(86, 12);
  fullArea.cubicTo(80, 40, 60, 56, 34, 60);
  fullArea.cubicTo(20, 56, 8, 58, 0, 60);
  fullArea.cubicTo(-8, 58, -20, 56, -34, 60);
  fullArea.cubicTo(-60, 56, -80, 40, -86, 12);
  fullArea.closeSubpath();
  fullArea = fullArea.subtracted(mouth);
  beard("Full1.psd", "Full beard", fullArea, {QColor(70, 46, 30), QColor(28, 16, 10), QColor(140, 100, 70), 16000, 9, 1.1},
        0.8, 201);
  beard("Stubble1.psd", "Stubble", fullArea, {QColor(60, 48, 40), QColor(30, 22, 18), QColor(90, 72, 60), 9000, 2.5, 0.8},
        0.18, 211);
  QPainterPath moustache;
  moustache.moveTo(-40, 80);
  moustache.cubicTo(-36, 62, -14, 58, 0, 64);
  moustache.cubicTo(14, 58, 36, 62, 40, 80);
  moustache.cubicTo(26, 72, 12, 70, 0, 74);
  moustache.cubicTo(-12, 70, -26, 72, -40, 80);
  beard("Moust1.psd", "Moustache", moustache, {QColor(60, 40, 28), QColor(22, 14, 10), QColor(120, 86, 60), 2600, 6, 1.1},
        0.8, 221);
  QPainterPath goatee = moustache;
  QPainterPath chin;
  chin.moveTo(-24, 96);
  chin.cubicTo(-24, 92, 24, 92, 24, 96);
  chin.cubicTo(26, 120, 16, 140, 0, 146);
  chin.cubicTo(-16, 140, -26, 120, -24, 96);
  goatee = goatee.united(chin);
  beard("Goatee1.psd", "Goatee", goatee, {QColor(40, 30, 26), QColor(12, 8, 6), QColor(96, 80, 70), 5000, 6, 1.0}, 0.8, 231);
  QPainterPath strap;
  strap.moveTo(-100, 10);
  strap.cubicTo(-96, 60, -74, 120, 0, 150);
  strap.cubicTo(74, 120, 96, 60, 100, 10);
  strap.lineTo(90, 10);
  strap.cubicTo(86, 60, 60, 112, 0, 134);
  strap.cubicTo(-60, 112, -86, 60, -90, 10);
  strap.closeSubpath();
  beard("Strap1.psd", "Chin strap and moustache", strap.united(moustache),
        {QColor(150, 90, 50), QColor(70, 36, 18), QColor(220, 160, 110), 8000, 6, 1.0}, 0.8, 241);
  return out;
}
