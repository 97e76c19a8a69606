// The post card without Qt: the four-corner mapping against numpy, the drawing
// through it, the handle gestures and their guards, and the background placements.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "exchange/CardBackground.h"
#include "exchange/CardQuad.h"
#include "exchange/LabelLook.h"
#include "support/TestPaths.h"

namespace {

// numpy solves the homography of the rectangle (0, 0)-(w, h) onto the quad from the
// four correspondences and maps each of `points`; the results, in order.
std::vector<TFloatPoint> NumpyMap(double w, double h, const TQuad& q, const std::vector<TFloatPoint>& points) {
  std::ostringstream args;
  args << w << ' ' << h;
  for (const TFloatPoint& p : q) args << ' ' << p.X << ' ' << p.Y;
  for (const TFloatPoint& p : points) args << ' ' << p.X << ' ' << p.Y;
  const std::string script = R"PY(
import sys, numpy as np
v = [float(a) for a in sys.argv[1:]]
w, h, quad, pts = v[0], v[1], v[2:10], v[10:]
src = [(0, 0), (w, 0), (w, h), (0, h)]
A, b = [], []
for (x, y), (u, t) in zip(src, zip(quad[0::2], quad[1::2])):
    A.append([x, y, 1, 0, 0, 0, -u * x, -u * y]); b.append(u)
    A.append([0, 0, 0, x, y, 1, -t * x, -t * y]); b.append(t)
H = np.append(np.linalg.solve(np.array(A), np.array(b)), 1).reshape(3, 3)
for x, y in zip(pts[0::2], pts[1::2]):
    p = H @ [x, y, 1]
    print(p[0] / p[2], p[1] / p[2])
)PY";
  TempFolder dir;
  WriteTestFile(dir / "judge.py", script);
  std::string out;
  EXPECT_EQ(RunCommand("/usr/bin/python3 " + (dir / "judge.py").string() + " " + args.str(), &out), 0);
  std::istringstream in(out);
  std::vector<TFloatPoint> mapped;
  for (TFloatPoint p; in >> p.X >> p.Y;) mapped.push_back(p);
  return mapped;
}

TEST(CardQuad, TheMappingAgreesWithNumpyAndDrawsEachQuarterWhereNumpySendsIt) {
  const int w = 200, h = 120;
  const TQuad quad = {{{60, 40}, {330, 70}, {300, 290}, {40, 250}}};
  const std::vector<TFloatPoint> samples = {{0, 0}, {w, 0}, {w, h}, {0, h}, {w / 2.0, h / 2.0},
                                            {50, 30}, {150, 30}, {50, 90}, {150, 90}};
  const std::vector<TFloatPoint> judged = NumpyMap(w, h, quad, samples);
  ASSERT_EQ(judged.size(), samples.size());
  const auto map = TProjectiveMap::FromRect(w, h, quad);
  ASSERT_TRUE(map);
  for (std::size_t i = 0; i < 5; ++i) {
    const TFloatPoint ours = map->Map(samples[i]);
    EXPECT_NEAR(ours.X, judged[i].X, 0.5) << i;
    EXPECT_NEAR(ours.Y, judged[i].Y, 0.5) << i;
  }

  // Four coloured quarters, half transparent nowhere: each quarter's middle lands
  // where numpy maps it, over a grey card whose alpha stays.
  const TColor32 colours[4] = {Color32(220, 20, 20), Color32(20, 200, 20), Color32(20, 20, 220), Color32(230, 210, 0)};
  TBitmap32 source(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) source.SetPixel(x, y, colours[(y >= h / 2) * 2 + (x >= w / 2)]);
  TBitmap32 card(400, 320, Color32(128, 128, 128, 77));
  TransformOnto(card, source, quad);
  for (int i = 0; i < 4; ++i) {
    const TFloatPoint at = judged[5 + i];
    EXPECT_EQ(card.Pixel(int(at.X), int(at.Y)), (colours[i] & 0xFFFFFFu) | (77u << 24)) << i;
  }
  EXPECT_EQ(card.Pixel(5, 5), Color32(128, 128, 128, 77));
  EXPECT_EQ(card.Pixel(395, 315), Color32(128, 128, 128, 77));
}

TEST(CardQuad, ASourceAlphaBlendsOverTheCard) {
  TBitmap32 card(100, 100, Color32(0, 0, 200));
  TransformOnto(card, TBitmap32(50, 50, Color32(200, 0, 0, 128)), {{{10, 10}, {90, 10}, {90, 90}, {10, 90}}});
  const TColor32 mixed = card.Pixel(50, 50);
  EXPECT_NEAR(RedOf(mixed), 100, 2);
  EXPECT_NEAR(BlueOf(mixed), 100, 2);
  EXPECT_EQ(AlphaOf(mixed), 255);
}

// The drawing, however its rows are cut up and its pixels grouped, against the
// mapping taken back pixel by pixel, bilinear with 8-bit fractions, over a card
// whose alpha stays: exact on every pixel, for quads in perspective, on exact
// pixel steps, turned, partly off the card, a few pixels wide and folded over.
TEST(CardQuad, TheDrawingIsThePixelByPixelMappingExactly) {
  std::uint32_t seed = 12345;
  const auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  TBitmap32 source(97, 61);
  for (int y = 0; y < source.Height(); ++y)
    for (int x = 0; x < source.Width(); ++x) {
      const std::uint32_t r = next();
      const std::uint8_t alpha = (r >> 30) == 0 ? 0 : (r >> 30) == 1 ? 255 : std::uint8_t(r >> 8);
      source.SetPixel(x, y, (next() & 0xFFFFFFu) | TColor32(alpha) << 24);
    }
  const auto expected = [&](const TBitmap32& before, const TQuad& quad) {
    TBitmap32 card = before;
    const auto map = TProjectiveMap::FromRect(source.Width(), source.Height(), quad);
    if (!map) return card;
    const int sw = source.Width(), sh = source.Height();
    // Only the quad's bounding box is drawn: a quad folded over maps more.
    double left = quad[0].X, right = left, top = quad[0].Y, bottom = top;
    for (const TFloatPoint& c : quad) {
      left = std::min(left, c.X), right = std::max(right, c.X);
      top = std::min(top, c.Y), bottom = std::max(bottom, c.Y);
    }
    for (int y = std::max(0, int(std::floor(top))); y < std::min(card.Height(), int(std::ceil(bottom))); ++y)
      for (int x = std::max(0, int(std::floor(left))); x < std::min(card.Width(), int(std::ceil(right))); ++x) {
        const auto s = map->Unmap({x + 0.5, y + 0.5});
        if (!s || !(s->X >= 0 && s->X < sw && s->Y >= 0 && s->Y < sh)) continue;
        const double fx = std::clamp(s->X - 0.5, 0.0, sw - 1.0), fy = std::clamp(s->Y - 0.5, 0.0, sh - 1.0);
        const int ix = int(fx), iy = int(fy), ix1 = std::min(ix + 1, sw - 1), iy1 = std::min(iy + 1, sh - 1);
        const std::uint64_t tx = std::uint64_t((fx - ix) * 256), ty = std::uint64_t((fy - iy) * 256);
        const TColor32 p[4] = {source.Pixel(ix, iy), source.Pixel(ix1, iy), source.Pixel(ix, iy1),
                               source.Pixel(ix1, iy1)};
        const std::uint64_t w[4] = {(256 - tx) * (256 - ty), tx * (256 - ty), (256 - tx) * ty, tx * ty};
        std::uint64_t a = 0, c[3] = {0, 0, 0};
        for (int i = 0; i < 4; ++i) {
          a += w[i] * AlphaOf(p[i]);
          c[0] += w[i] * AlphaOf(p[i]) * RedOf(p[i]);
          c[1] += w[i] * AlphaOf(p[i]) * GreenOf(p[i]);
          c[2] += w[i] * AlphaOf(p[i]) * BlueOf(p[i]);
        }
        if (a == 0) continue;
        const std::uint64_t full = 255 * 65536, keep = full - a;
        const TColor32 d = card.Pixel(x, y);
        const auto mix = [&](std::uint64_t premul, int dst) { return std::uint8_t((premul + dst * keep + full / 2) / full); };
        card.SetPixel(x, y, Color32(mix(c[0], RedOf(d)), mix(c[1], GreenOf(d)), mix(c[2], BlueOf(d)), AlphaOf(d)));
      }
    return card;
  };
  const TQuad quads[] = {
      {{{30, 20}, {170, 35}, {160, 150}, {25, 130}}},     // perspective
      {{{40, 30}, {137, 30}, {137, 91}, {40, 91}}},       // the source's own size: whole pixel steps
      {{{10.25, 5.5}, {204.25, 5.5}, {204.25, 127.5}, {10.25, 127.5}}},  // twice, on half pixels
      {{{100, 0}, {190, 80}, {100, 160}, {10, 80}}},      // turned a quarter of the way round
      {{{-40, -30}, {120, -10}, {110, 170}, {-30, 150}}}, // over the card's edges
      {{{60, 10}, {66, 12}, {67, 150}, {61, 149}}},       // a few pixels wide
      {{{20, 20}, {180, 20}, {60, 140}, {140, 140}}},     // folded over: not convex
      {{{20, 20}, {120, 25}, {125, 30}, {25, 140}}},      // near its horizon
  };
  for (const TQuad& quad : quads) {
    SCOPED_TRACE(quad[0].X);
    TBitmap32 card(200, 160);
    for (int y = 0; y < card.Height(); ++y)
      for (int x = 0; x < card.Width(); ++x) card.SetPixel(x, y, next());
    const TBitmap32 want = expected(card, quad);
    TransformOnto(card, source, quad);
    EXPECT_TRUE(card == want);
  }
}

class CardImageTest : public ::testing::Test {
 protected:
  void SetUp() override { image_.Place(200, 100, 482, 481); }  // corners (141, 190) - (341, 290)
  void Drag(int fromX, int fromY, std::initializer_list<TPoint> path) {
    image_.MouseDown(fromX, fromY);
    for (const TPoint& p : path) image_.MouseMove(p.X, p.Y);
    image_.MouseUp();
  }
  TCardImage image_;
};

TEST_F(CardImageTest, ACornerDragScalesAboutTheOppositeCornerAndNeverCrossesIt) {
  EXPECT_EQ(image_.HitZone(341, 290), kZoneHandle0 + 4);
  EXPECT_EQ(image_.HitZone(240, 240), kZoneInside);
  EXPECT_EQ(image_.HitZone(100, 100), kZoneOutside);
  // The bottom-right corner pulled along the diagonal: twice the size.
  Drag(341, 290, {{441, 390}, {541, 390}});
  EXPECT_NEAR(image_.Handles()[4].X, 541, 1e-9);
  EXPECT_NEAR(image_.Handles()[4].Y, 390, 1e-9);
  EXPECT_EQ(image_.Handles()[0], (TFloatPoint{141, 190}));
  EXPECT_NEAR(image_.Handles()[2].X, 541, 1e-9);
  EXPECT_NEAR(image_.Handles()[6].Y, 390, 1e-9);
  // Across the top-left corner: refused once the quad would be too small.
  const TCardHandles before = image_.Handles();
  Drag(541, 390, {{150, 200}, {60, 120}});
  EXPECT_EQ(image_.Handles(), before);
  EXPECT_TRUE(QuadAcceptable(image_.Handles()));
}

TEST_F(CardImageTest, AnEdgeStopsFiftyPixelsFromTheOppositeOne) {
  // The top middle pushed down step by step towards the bottom edge (y 290).
  image_.MouseDown(241, 190);
  for (int y = 191; y <= 300; ++y) image_.MouseMove(241, y);
  image_.MouseUp();
  const TCardHandles& p = image_.Handles();
  EXPECT_GT(p[5].Y - p[1].Y, kMinQuadSide);
  EXPECT_LE(p[5].Y - p[1].Y, kMinQuadSide + 1);
  EXPECT_EQ(p[0].Y, p[1].Y);
  EXPECT_EQ(p[2].Y, p[1].Y);
  EXPECT_EQ(p[4], (TFloatPoint{341, 290}));
}

TEST_F(CardImageTest, RotationTurnsTheImageAboutItsCentreAndMovingShiftsIt) {
  // Down on the right of the centre: clockwise on the screen, 5 degrees a step.
  Drag(400, 240, {{400, 245}, {400, 250}});
  const TCardHandles& p = image_.Handles();
  EXPECT_NEAR(std::atan2(p[2].Y - p[0].Y, p[2].X - p[0].X) * 180 / M_PI, 10, 0.7);
  EXPECT_TRUE(QuadAcceptable(p));
  const TCardHandles turned = image_.Handles();
  Drag(241, 240, {{251, 250}});
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(image_.Handles()[i].X, turned[i].X + 10) << i;
    EXPECT_EQ(image_.Handles()[i].Y, turned[i].Y + 10) << i;
  }
}

TEST(CardQuad, MirroredOrDentedOrTinyQuadsAreRefusedAndTheLastGoodOneStays) {
  TCardImage image;
  image.Place(100, 100, 400, 400);
  const TQuad good = {{{0, 0}, {200, 0}, {200, 100}, {0, 100}}};
  ASSERT_TRUE(image.SetCorners(good));
  EXPECT_EQ(image.Handles()[3], (TFloatPoint{200, 50}));  // the right edge's middle follows
  EXPECT_EQ(image.BoundingRect(), (TRect{0, 0, 200, 100}));
  const TQuad bad[] = {{{{200, 0}, {0, 0}, {0, 100}, {200, 100}}},   // mirrored
                       {{{0, 0}, {200, 0}, {60, 40}, {0, 200}}},     // dented
                       {{{150, 60}, {200, 0}, {200, 200}, {0, 200}}}, // dented at the first corner
                       {{{0, 0}, {200, 0}, {200, 50}, {0, 50}}}};    // too low
  // The drawing clips its rows to a convex quad of either turn, never to a dented one.
  EXPECT_EQ(QuadTurn(good), 1);
  EXPECT_EQ(QuadTurn(bad[0]), -1);
  EXPECT_EQ(QuadTurn(bad[1]), 0);
  EXPECT_EQ(QuadTurn(bad[2]), 0);
  EXPECT_EQ(QuadTurn({{{0, 0}, {100, 0}, {200, 0}, {0, 100}}}), 0) << "three corners in a line";
  for (const TQuad& quad : bad) {
    EXPECT_FALSE(image.SetCorners(quad));
    EXPECT_EQ(image.Corners(), good);
    EXPECT_EQ(image.Handles()[3], (TFloatPoint{200, 50}));
  }
}

TEST(CardBackground, TiledCentredAndStretchedPicturesSitWhereThePlacementSays) {
  // 30 x 20 with a marked top-left pixel, on a 100 x 50 card.
  TBitmap32 picture(30, 20, Color32(10, 120, 10, 90));
  picture.SetPixel(0, 0, Color32(250, 0, 0));
  const TColor32 ground = Color32(255, 255, 255);

  const TBitmap32 tiled = PlaceBackground(picture, 100, 50, kPlaceTile, ground);
  for (int x : {0, 30, 60, 90})
    for (int y : {0, 20, 40}) EXPECT_EQ(tiled.Pixel(x, y), Color32(250, 0, 0)) << x << "," << y;
  EXPECT_EQ(tiled.Pixel(99, 49), Color32(10, 120, 10));  // opaque: the card keeps no alpha

  const TBitmap32 centred = PlaceBackground(picture, 100, 50, kPlaceCenter, ground);
  EXPECT_EQ(centred.Pixel(35, 15), Color32(250, 0, 0));
  EXPECT_EQ(centred.Pixel(34, 15), ground);
  EXPECT_EQ(centred.Pixel(64, 34), Color32(10, 120, 10));
  EXPECT_EQ(centred.Pixel(65, 34), ground);

  // Wider than high on a 100 x 80 card: the card's width, 50 high, centred.
  const TBitmap32 stretched = PlaceBackground(TBitmap32(40, 20, Color32(0, 0, 240)), 100, 80, kPlaceStretch, ground);
  EXPECT_EQ(stretched.Pixel(0, 14), ground);
  EXPECT_EQ(stretched.Pixel(0, 15), Color32(0, 0, 240));
  EXPECT_EQ(stretched.Pixel(99, 64), Color32(0, 0, 240));
  EXPECT_EQ(stretched.Pixel(99, 65), ground);

  EXPECT_TRUE(PlaceBackground(TBitmap32(), 100, 80, kPlaceTile, ground).Empty());
  EXPECT_TRUE(PlaceBackground(TBitmap32(0, 20), 100, 80, kPlaceTile, ground).Empty());
}

TEST(LabelLook, ThickShadowDrawsFourShadowsOnePixelFurtherEachThenTheFace) {
  TLabelLook look;
  TColor32 font = Color32(0, 0, 0);
  ApplyShadowStyle(look, ssThickShadow, font);
  const std::vector<TLabelPass> passes = LabelPasses(look, font, true);
  ASSERT_EQ(passes.size(), 5u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(passes[i], (TLabelPass{{i + 1, i + 1}, kBtnShadow})) << i;
  EXPECT_EQ(passes.back(), (TLabelPass{{0, 0}, font}));
  EXPECT_EQ(NormalizeAngle(-90), 270);
  EXPECT_EQ(NormalizeAngle(720), 0);
}

}  // namespace
