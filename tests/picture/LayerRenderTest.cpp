#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "support/FakeLayerHost.h"
#include "picture/BitmapRoutines.h"
#include "picture/ColorStages.h"
#include "picture/Layer.h"
#include "support/PictureCompare.h"

namespace {

// A picture of varied colours with a transparent column every seventh pixel.
TBitmap32 VariedPicture(int w, int h) {
  TBitmap32 p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.SetPixel(x, y, Color32(std::uint8_t(x * 13 + y), std::uint8_t(y * 7 + 40), std::uint8_t((x ^ y) * 5),
                               x % 7 == 3 ? 0 : std::uint8_t(255 - y % 50)));
  return p;
}

std::uint8_t Tinted(int c, int t) { return std::uint8_t((c * 140 + t * 115) >> 8); }

}  // namespace

TEST(LayerRender, NeutralValuesGiveThePlainNearestCopy) {
  for (double scale : {0.5, 1.0, 2.0}) {
    FakeLayerHost host;
    host.desk = {scale, 400, 300, {0, 0, 800, 600}};
    TLayer layer(host, VariedPicture(61, 47));
    layer.Mask.SetRegionIndex(2);
    layer.Mask.SetWorkRect({0, 0, 30, 30});
    layer.Mask.Apply(kMaskSetRect);  // regions with neutral values change nothing
    layer.Left = 10;
    layer.Top = 20;
    layer.Render(host.desk);
    ASSERT_EQ(layer.ViewRendering().State, rsWhole);
    const int w = RoundInt(61 / scale), h = RoundInt(47 / scale);
    EXPECT_EQ(layer.ViewRendering().Pos, (TPoint{RoundInt(10 / scale), RoundInt(20 / scale)}));
    TBitmap32 expected(w, h);
    StretchDrawNearest(expected, {0, 0, w, h}, layer.Picture);
    EXPECT_TRUE(SamePicture(layer.ViewRendering().Bitmap, expected)) << "scale " << scale;
    EXPECT_EQ(layer.ViewRendering().SourceRect, (TRect{0, 0, 61, 47}));
  }
}

// An unedited layer at scale 1 holds one set of pixels for its picture, its base
// and its rendering; each keeps what it showed when another is written.
TEST(LayerRender, PictureBaseAndRenderingShareUntilOneIsWritten) {
  FakeLayerHost host;
  TLayer layer(host, VariedPicture(40, 30));
  layer.Render(host.desk);
  const TBitmap32 original = layer.Picture;
  EXPECT_TRUE(layer.Picture.Shared());
  layer.Picture.SetPixel(5, 5, Color32(1, 2, 3));
  EXPECT_EQ(layer.BasePicture, original);
  EXPECT_EQ(layer.ViewRendering().Bitmap, original);
  layer.Render(host.desk);
  EXPECT_EQ(layer.ViewRendering().Bitmap, layer.Picture);
  layer.SetRed(90);  // a real rendering now, written over the shared one
  EXPECT_EQ(layer.Picture.Pixel(5, 5), Color32(1, 2, 3));
  EXPECT_NE(layer.ViewRendering().Bitmap.Pixel(1, 2), layer.Picture.Pixel(1, 2));
  layer.SetRed(50);
  EXPECT_EQ(layer.ViewRendering().Bitmap, layer.Picture);
  EXPECT_EQ(layer.BasePicture, original);
}

TEST(LayerRender, TransparentPixelsNeverChange) {
  FakeLayerHost host;
  TLayer layer(host, VariedPicture(40, 30));
  layer.SetDeskFrame(host.desk);
  layer.Mask.SetRegionIndex(1);
  layer.Mask.SetWorkRect({0, 0, 20, 30});
  layer.Mask.Apply(kMaskSetRect);
  layer.Mask.SetRegionValues(1, {0x00FF00, 90, 10, 70, 150, 40, 130, 180, 100});
  layer.SetColor(0x0000FF);
  layer.SetRed(20);
  layer.SetHue(160);
  layer.SetContrast(40);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const TColor32 source = layer.Picture.Pixel(x, y);
      if (AlphaOf(source) == 0)
        EXPECT_EQ(layer.ViewRendering().Bitmap.Pixel(x, y), source);
      else
        EXPECT_EQ(AlphaOf(layer.ViewRendering().Bitmap.Pixel(x, y)), AlphaOf(source));
    }
}

TEST(LayerRender, RegionTintInsideLayerTintOutside) {
  FakeLayerHost host;
  TLayer layer(host, TBitmap32(10, 4, Color32(100, 150, 200)));
  layer.SetDeskFrame(host.desk);
  layer.Mask.SetRegionIndex(1);
  layer.Mask.SetWorkRect({0, 0, 5, 4});
  layer.Mask.Apply(kMaskSetRect);
  layer.Mask.SetRegionColor(1, 0x102030);  // $00BBGGRR: red 0x30, green 0x20, blue 0x10
  layer.SetColor(0xC0B0A0);
  const TColor32 inside = layer.ViewRendering().Bitmap.Pixel(2, 1), outside = layer.ViewRendering().Bitmap.Pixel(7, 1);
  EXPECT_EQ(inside, Color32(Tinted(100, 0x30), Tinted(150, 0x20), Tinted(200, 0x10)));
  EXPECT_EQ(outside, Color32(Tinted(100, 0xA0), Tinted(150, 0xB0), Tinted(200, 0xC0)));
}

TEST(LayerRender, OverlappingRegionsCompound) {
  FakeLayerHost host;
  TLayer layer(host, TBitmap32(9, 1, Color32(40, 40, 40)));
  for (int region : {1, 2}) {
    layer.Mask.SetRegionIndex(region);
    layer.Mask.SetWorkRect(region == 1 ? TRect{0, 0, 6, 1} : TRect{3, 0, 9, 1});
    layer.Mask.Apply(kMaskSetRect);
    layer.Mask.SetRegionRed(region, 100);  // factor 255: c * 255 >> 7
  }
  layer.SetGreen(25);  // the layer's value applies where no region sets green
  layer.Render(host.desk);
  EXPECT_EQ(RedOf(layer.ViewRendering().Bitmap.Pixel(0, 0)), 79);
  EXPECT_EQ(RedOf(layer.ViewRendering().Bitmap.Pixel(4, 0)), 157);
  EXPECT_EQ(RedOf(layer.ViewRendering().Bitmap.Pixel(8, 0)), 79);
  for (int x : {0, 4, 8}) EXPECT_EQ(GreenOf(layer.ViewRendering().Bitmap.Pixel(x, 0)), (40 * (25 * 255 / 100)) >> 7);
  // Saturation at 255.
  layer.Mask.SetRegionRed(1, 400);
  layer.Render(host.desk);
  EXPECT_EQ(RedOf(layer.ViewRendering().Bitmap.Pixel(4, 0)), 255);
}

TEST(LayerRender, ContrastMeanCountsOpaquePixelsOnly) {
  TBitmap32 picture(4, 1);
  picture.SetPixel(0, 0, Color32(100, 100, 100));
  picture.SetPixel(1, 0, Color32(200, 200, 200));
  picture.SetPixel(2, 0, Color32(255, 255, 255, 0));
  picture.SetPixel(3, 0, Color32(255, 255, 255, 0));
  EXPECT_EQ(MeanLuminance(picture), 150);
  FakeLayerHost host;
  TLayer layer(host, picture);
  layer.SetDeskFrame(host.desk);
  layer.SetContrast(200);
  EXPECT_EQ(layer.ViewRendering().Bitmap.Pixel(0, 0), Color32(50, 50, 50));
  EXPECT_EQ(layer.ViewRendering().Bitmap.Pixel(1, 0), Color32(250, 250, 250));
  layer.SetContrast(400);
  EXPECT_EQ(layer.ViewRendering().Bitmap.Pixel(0, 0), Color32(0, 0, 0));
  EXPECT_EQ(MeanLuminance(TBitmap32(3, 3, Color32(9, 9, 9, 0))), 0);
}

TEST(LayerRender, MeanLuminanceOfARandomPictureMatchesThePlainSum) {
  for (int width : {1, 7, 8, 9, 37}) {
    TBitmap32 picture(width, 13);
    std::uint32_t seed = 99u + std::uint32_t(width);
    std::int64_t sum = 0, count = 0;
    for (int y = 0; y < 13; ++y)
      for (int x = 0; x < width; ++x) {
        seed = seed * 1664525u + 1013904223u;
        const TColor32 c = seed % 3 == 0 ? seed & 0x00FFFFFFu : seed | 0x01000000u;
        picture.SetPixel(x, y, c);
        if (AlphaOf(c) == 0) continue;
        sum += (30 * RedOf(c) + 59 * GreenOf(c) + 11 * BlueOf(c)) / 100;
        ++count;
      }
    EXPECT_EQ(MeanLuminance(picture), RoundDiv(sum, count)) << width;
  }
  EXPECT_EQ(MeanLuminance(TBitmap32(16, 2, Color32(255, 255, 255))), 255);
}

TEST(LayerRender, MeanIsComputedOnlyWhenContrastApplies) {
  TBitmap32 picture = VariedPicture(8, 8);
  TColorValues values;
  values.Red = 70;
  TColorStages stages(picture, values, nullptr);
  for (int i = 0; i < 64; ++i) stages.Apply(picture.Pixel(i % 8, i / 8), 0);
  EXPECT_FALSE(stages.MeanComputed());
  values.Contrast = 120;
  TColorStages withContrast(picture, values, nullptr);
  withContrast.Apply(Color32(1, 2, 3), 0);
  EXPECT_TRUE(withContrast.MeanComputed());
}

TEST(LayerRender, HueShiftTurnsPrimaries) {
  FakeLayerHost host;
  TLayer layer(host, TBitmap32(1, 1, Color32(255, 0, 0)));
  layer.SetDeskFrame(host.desk);
  layer.SetHue(220);
  EXPECT_EQ(layer.ViewRendering().Bitmap.Pixel(0, 0), Color32(0, 255, 0));
  layer.SetHue(340);  // +240
  EXPECT_EQ(layer.ViewRendering().Bitmap.Pixel(0, 0), Color32(0, 0, 255));
  layer.SetHue(100);
  layer.SetBrightness(50);  // 100 % - 50 points
  EXPECT_EQ(layer.ViewRendering().Bitmap.Pixel(0, 0), Color32(127, 0, 0));
  layer.SetBrightness(100);
  layer.SetSaturation(0);
  EXPECT_EQ(layer.ViewRendering().Bitmap.Pixel(0, 0), Color32(255, 255, 255));
}

TEST(LayerRender, ExtremeStoredValuesSaturateWithoutOverflow) {
  FakeLayerHost host;
  TLayer layer(host, TBitmap32(2, 1, Color32(90, 120, 30)));
  layer.SetDeskFrame(host.desk);
  layer.SetHue(std::numeric_limits<int>::max());
  layer.SetSaturation(std::numeric_limits<int>::min());
  EXPECT_EQ(RedOf(layer.ViewRendering().Bitmap.Pixel(0, 0)), GreenOf(layer.ViewRendering().Bitmap.Pixel(0, 0)));  // grey
  layer.SetBrightness(std::numeric_limits<int>::min());
  EXPECT_EQ(layer.ViewRendering().Bitmap.Pixel(1, 0), Color32(0, 0, 0));
  layer.SetBrightness(100);
  layer.SetSaturation(100);
  layer.SetHue(100);
  layer.SetRed(std::numeric_limits<int>::max());
  layer.SetBlue(std::numeric_limits<int>::min());
  layer.SetContrast(std::numeric_limits<int>::max());
  EXPECT_EQ(layer.ViewRendering().Bitmap.Pixel(0, 0), Color32(255, 255, 0));
}

TEST(ColorConversion, HsbRoundTripOnAColourGrid) {
  int worst = 0;
  for (int r = 0; r < 256; r += 15)
    for (int g = 0; g < 256; g += 15)
      for (int b = 0; b < 256; b += 15) {
        const THsb hsb = RgbToHsb(r, g, b);
        ASSERT_GE(hsb.Hue, 0);
        ASSERT_LE(hsb.Hue, 360);
        ASSERT_LE(hsb.Saturation, 100);
        ASSERT_LE(hsb.Brightness, 100);
        const TColor32 back = HsbToRgb(hsb.Hue, hsb.Saturation, hsb.Brightness);
        worst = std::max({worst, std::abs(RedOf(back) - r), std::abs(GreenOf(back) - g), std::abs(BlueOf(back) - b)});
      }
  // Whole percent and whole degrees lose at most a few levels per channel.
  EXPECT_LE(worst, 5);
  EXPECT_EQ(RgbToHsb(255, 0, 0), (THsb{0, 100, 100}));
  EXPECT_EQ(RgbToHsb(0, 255, 0), (THsb{120, 100, 100}));
  EXPECT_EQ(RgbToHsb(0, 0, 255), (THsb{240, 100, 100}));
  EXPECT_EQ(RgbToHsb(128, 128, 128), (THsb{0, 0, 50}));
  EXPECT_EQ(HsbToRgb(0, 0, 50), Color32(128, 128, 128));  // 127.5 rounds to even
  // A hue that rounds up to 360 lands in the first sector, not in none.
  EXPECT_EQ(RgbToHsb(255, 0, 1).Hue, 360);
  EXPECT_EQ(HsbToRgb(360, 100, 100), HsbToRgb(0, 100, 100));
  EXPECT_EQ(HsbToRgb(-120, 100, 100), HsbToRgb(240, 100, 100));
  EXPECT_EQ(HsbToRgb(0, 150, -20), Color32(0, 0, 0));
}

// The conversion back in floating point, as the formulas read; the integer version
// must agree wherever a product is not within rounding noise of a whole number.
TEST(ColorConversion, BackConversionAgreesWithTheFloatingPointFormulas) {
  int compared = 0;
  for (int h = 0; h < 360; h += 7)
    for (int s = 1; s <= 100; s += 3)
      for (int v = 0; v <= 100; v += 3) {
        const double sv = s / 100.0, vv = v / 100.0, f = h / 60.0 - h / 60;
        const double exact[4] = {vv * 255, (1 - sv) * vv * 255, (1 - sv * f) * vv * 255,
                                 (1 - (1 - f) * sv) * vv * 255};
        bool ambiguous = false;
        int channel[4];
        for (int i = 0; i < 4; ++i) {
          channel[i] = int(exact[i]);
          ambiguous = ambiguous || std::abs(exact[i] - std::nearbyint(exact[i])) < 1e-9;
        }
        if (ambiguous) continue;
        const int V = channel[0], p = channel[1], q = channel[2], t = channel[3];
        const int rgb[6][3] = {{V, t, p}, {q, V, p}, {p, V, t}, {p, q, V}, {t, p, V}, {V, p, q}};
        const int* e = rgb[h / 60];
        ASSERT_EQ(HsbToRgb(h, s, v), Color32(std::uint8_t(e[0]), std::uint8_t(e[1]), std::uint8_t(e[2])))
            << h << " " << s << " " << v;
        ++compared;
      }
  EXPECT_GT(compared, 10000);
}

TEST(ColorConversion, ForwardConversionAgreesWithTheFloatingPointFormulas) {
  int compared = 0;
  auto tie = [](double x) { return std::abs(x - std::floor(x) - 0.5) < 1e-9; };
  for (int r = 0; r < 256; r += 5)
    for (int g = 0; g < 256; g += 5)
      for (int b = 0; b < 256; b += 5) {
        const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
        const double brightness = mx * 100.0 / 255, saturation = mx == 0 ? 0 : (mx - mn) * 100.0 / mx;
        double hue = 0;
        if (mx != mn) {
          const double d = mx - mn;
          hue = mx == r ? (g - b) / d : mx == g ? (b - r) / d + 2 : (r - g) / d + 4;
          hue /= 6;
          if (hue < 0) hue += 1;
          hue *= 360;
        }
        if (tie(brightness) || tie(saturation) || tie(hue)) continue;
        THsb expected{int(std::nearbyint(saturation)) == 0 ? 0 : int(std::nearbyint(hue)), int(std::nearbyint(saturation)),
                      int(std::nearbyint(brightness))};
        ASSERT_EQ(RgbToHsb(r, g, b), expected) << r << " " << g << " " << b;
        ++compared;
      }
  EXPECT_GT(compared, 100000);
}

TEST(ColorConversion, RoundDivRoundsHalfToEven) {
  EXPECT_EQ(RoundDiv(5, 2), 2);
  EXPECT_EQ(RoundDiv(7, 2), 4);
  EXPECT_EQ(RoundDiv(-5, 2), -2);
  EXPECT_EQ(RoundDiv(-7, 2), -4);
  EXPECT_EQ(RoundDiv(-1, 3), 0);
  EXPECT_EQ(RoundDiv(-2, 3), -1);
}

TEST(LayerRender, LargeLayerIsClippedToTheView) {
  FakeLayerHost host;
  host.desk = {2.0, 100, 80, {50, 40, 250, 200}};
  TLayer layer(host, VariedPicture(400, 300));
  layer.Left = 100;
  layer.Top = 0;
  layer.Render(host.desk);
  ASSERT_EQ(layer.ViewRendering().State, rsPart);
  // Intersection (100, 40, 250, 200): left edge (100 - 50) / 2, top at the view's top.
  EXPECT_EQ(layer.ViewRendering().Pos, (TPoint{25, 0}));
  EXPECT_EQ(layer.ViewRendering().Bitmap.Width(), 75);
  EXPECT_EQ(layer.ViewRendering().Bitmap.Height(), 80);
  EXPECT_EQ(layer.ViewRendering().SourceRect, (TRect{0, 40, 150, 200}));
  TBitmap32 expected(75, 80);
  TBitmap32 part(150, 160);
  DrawBitmap(part, 0, -40, layer.Picture);
  StretchDrawNearest(expected, {0, 0, 75, 80}, part);
  EXPECT_TRUE(SamePicture(layer.ViewRendering().Bitmap, expected));

  layer.Left = 1000;  // no overlap
  layer.Render(host.desk);
  EXPECT_EQ(layer.ViewRendering().State, rsNothing);
  EXPECT_EQ(layer.ViewRendering().Pos, (TPoint{-1, -1}));
  EXPECT_TRUE(layer.ViewRendering().Bitmap.Empty());
}

// Each target pixel takes its regions from the picture pixel it was copied from,
// also when the layer is clipped and scaled.
TEST(LayerRender, RegionsFollowTheCopiedPixelsWhenClippedAndScaled) {
  for (double scale : {0.5, 2.0, 3.0}) {
    FakeLayerHost host;
    host.desk = {scale, 60, 50, {30, 20, 30 + int(60 * scale), 20 + int(50 * scale)}};
    TBitmap32 picture(300, 240, Color32(10, 10, 10));
    for (int y = 0; y < 240; ++y)
      for (int x = 0; x < 300; ++x)
        if ((x / 7 + y / 5) % 2) picture.SetPixel(x, y, Color32(200, 200, 200));
    TLayer layer(host, picture);
    // Region 1 covers exactly the light cells.
    for (int y = 0; y < 240; ++y)
      for (int x = 0; x < 300; ++x) layer.Mask.Map().At(x, y) = (x / 7 + y / 5) % 2 ? 1 : 0;
    layer.Mask.SetRegionColor(1, 0x0000FF);  // red tint on the light cells only
    layer.Render(host.desk);
    ASSERT_EQ(layer.ViewRendering().State, rsPart) << scale;
    for (int y = 0; y < layer.ViewRendering().Bitmap.Height(); ++y)
      for (int x = 0; x < layer.ViewRendering().Bitmap.Width(); ++x) {
        const TColor32 p = layer.ViewRendering().Bitmap.Pixel(x, y);
        if (RedOf(p) == 10) continue;  // a dark cell: untouched
        ASSERT_EQ(p, Color32(Tinted(200, 0xFF), Tinted(200, 0), Tinted(200, 0))) << scale << " " << x << "," << y;
      }
  }
}

TEST(LayerRender, ZeroScaleOrEmptyTargetRendersNothing) {
  FakeLayerHost host;
  TLayer layer(host, VariedPicture(20, 20));
  host.desk.Scale = 0;
  layer.Render(host.desk);
  EXPECT_EQ(layer.ViewRendering().State, rsNothing);
  host.desk = {1.0, 0, 600, {0, 0, 800, 600}};
  layer.Render(host.desk);
  EXPECT_EQ(layer.ViewRendering().State, rsNothing);
  EXPECT_TRUE(layer.ViewRendering().Bitmap.Empty());
  host.exportFrame = {1.0, 0, 0, {}};
  layer.RenderExport(host.exportFrame);
  EXPECT_EQ(layer.OutputRendering().State, rsNothing);
}

TEST(LayerRender, FullRenderUsesTheExportFrameAtScaleOne) {
  FakeLayerHost host;
  host.desk.Scale = 4;
  host.exportFrame = {1.0, 300, 200, {20, 10, 320, 210}};
  TLayer layer(host, VariedPicture(30, 20));
  layer.Left = 50;
  layer.Top = 30;
  layer.RenderExport(host.exportFrame);
  EXPECT_EQ(layer.OutputRendering().State, rsWhole);
  EXPECT_EQ(layer.OutputRendering().Pos, (TPoint{30, 20}));
  EXPECT_TRUE(SamePicture(layer.OutputRendering().Bitmap, layer.Picture));
  // The whole picture, though the desk at scale 4 shows a part of it only.
  host.desk = {4.0, 2, 2, {50, 30, 58, 38}};
  EXPECT_TRUE(SamePicture(layer.RenderedPicture(), layer.Picture));
}

// The spans the desk skips pixels by follow every rendering: shared, scaled and
// recoloured (measured row by row as the bands run), and again after an edit.
TEST(LayerRender, SpansDescribeEachRenderingAsItIs) {
  FakeLayerHost host;
  host.desk = {0.5, 400, 300, {0, 0, 800, 600}};
  TBitmap32 picture = VariedPicture(300, 220);
  for (int y = 0; y < 220; ++y)
    for (int x = 0; x < 300; ++x)
      if (x < y / 2 || x > 290 - y / 3) picture.SetPixel(x, y, 0);
  TLayer layer(host, picture);
  const auto measured = [&] {
    const std::vector<TAlphaSpan> expected = MeasureAlphaSpans(layer.ViewRendering().Bitmap);
    const std::vector<TAlphaSpan>& spans = layer.ViewRendering().Spans;
    if (spans.size() != expected.size()) return false;
    for (std::size_t y = 0; y < spans.size(); ++y)
      if (spans[y].Left != expected[y].Left || spans[y].Right != expected[y].Right ||
          spans[y].SolidLeft != expected[y].SolidLeft || spans[y].SolidRight != expected[y].SolidRight)
        return false;
    return true;
  };
  layer.Render(host.desk);  // scaled: a rendering of its own
  EXPECT_TRUE(measured()) << "scaled";
  host.desk.Scale = 1.0;
  layer.Render(host.desk);  // the picture's own pixels
  EXPECT_TRUE(layer.ViewRendering().Bitmap.Shared());
  EXPECT_TRUE(measured()) << "shared";
  layer.SetRed(90);
  EXPECT_TRUE(measured()) << "recoloured";
  for (int x = 0; x < 300; ++x) layer.Picture.SetPixel(x, 100, 0xFF000000);
  layer.Render(host.desk);
  EXPECT_TRUE(measured()) << "after an edit";
  EXPECT_EQ(layer.ViewRendering().Spans[100].SolidRight - layer.ViewRendering().Spans[100].SolidLeft, 300);
}
