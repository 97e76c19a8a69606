// The compositor's fast paths (runs of eight, tables of region coverage, the
// spans that skip clear pixels and what opaque ones hide) against a
// pixel-by-pixel reading of the desk's arithmetic, over pictures wide enough to
// take every path: clear runs, opaque runs, mixed runs and ragged ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

#include "editor/DeskCompositor.h"
#include "picture/Mask.h"
#include "support/PictureCompare.h"

namespace {

struct Source {
  TBitmap32 picture;
  TBitmap32 canvas;  // what the mask's map covers
  std::unique_ptr<TMask> mask;
  TCompositeLayer layer;
};

// The layers of `sources`, with their renderings' spans or without.
std::vector<TCompositeLayer> Layers(const std::vector<Source>& sources, bool withSpans,
                                    std::vector<std::vector<TAlphaSpan>>& spans) {
  std::vector<TCompositeLayer> layers;
  spans.clear();
  spans.reserve(sources.size());
  for (const Source& s : sources) {
    layers.push_back(s.layer);
    spans.push_back(withSpans ? MeasureAlphaSpans(s.picture) : std::vector<TAlphaSpan>());
    layers.back().Spans = spans.back();
  }
  return layers;
}

std::uint32_t Faded(std::uint32_t percent, std::uint32_t a) { return (percent * 255 / 100 * a) >> 8; }

// `scale` takes a rendering pixel to its map cell, as the desk's does.
TColor32 ReferencePixel(const std::vector<Source>& sources, int x, int y, TCompositeAlpha kind, double scale = 1) {
  TColor32 d = kind == TCompositeAlpha::Coverage ? 0xFFFFFFFF : 0x00FFFFFF;
  for (auto it = sources.rbegin(); it != sources.rend(); ++it) {
    const TCompositeLayer& layer = it->layer;
    const int dx = x - layer.Pos.X, dy = y - layer.Pos.Y;
    if (!layer.Rendering->Contains(dx, dy)) continue;
    const TColor32 s = layer.Rendering->Pixel(dx, dy);
    std::uint32_t a = s >> 24;
    if (a == 0) continue;
    bool applied = false;
    if (layer.Mask)
      for (int region : layer.Mask->UsedRegions()) {
        const std::uint8_t opacity = layer.Mask->GetRegionOpacity(region);
        const TMaskA& map = layer.Mask->GetMap();
        const int cellX = std::clamp(int(std::nearbyint(dx * scale)), 0, map.Width() - 1);
        const int cellY = std::clamp(int(std::nearbyint(dy * scale)), 0, map.Height() - 1);
        if (opacity < 100 && map.At(cellX, cellY) & (1 << (region - 1))) {
          a = Faded(opacity, a);
          applied = true;
        }
      }
    if (!applied && layer.Opacity < 100) a = Faded(layer.Opacity, a);
    if (a == 0) continue;
    if (a == 255) {
      d = s;
      continue;
    }
    TColor32 out = 0;
    for (int shift : {0, 8, 16}) {
      const std::uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
      out |= ((sc * a + dc * (255 - a)) >> 8) << shift;
    }
    const std::uint32_t alpha = kind == TCompositeAlpha::Coverage ? a : (a * 255 + (d >> 24) * (255 - a)) >> 8;
    d = out | (alpha << 24);
  }
  return d;
}

// A picture whose first eight pixels of each row are clear, the next eight and
// those from 32 to 39 opaque, and the rest random with many clear and opaque ones.
TBitmap32 RaggedPicture(int w, int h, std::mt19937& random) {
  TBitmap32 picture(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t alpha = random() % 3 == 0 ? 0 : random() % 3 == 0 ? 255 : random() % 256;
      if (x < 8) alpha = 0;
      if ((x >= 8 && x < 16) || (x >= 32 && x < 40)) alpha = 255;
      picture.SetPixel(x, y, (random() & 0xFFFFFF) | (alpha << 24));
    }
  return picture;
}

// The top layer opaque (its opaque runs hide what lies below), then faded and
// half-opaque layers, and at the bottom one wholly clear.
std::vector<Source> Scene(std::mt19937& random) {
  std::vector<Source> sources(5);
  const int sizes[5][2] = {{45, 9}, {37, 11}, {61, 6}, {29, 13}, {33, 7}};
  const TPoint places[5] = {{3, 1}, {-5, 0}, {0, 4}, {20, -2}, {1, 1}};
  const std::uint8_t opacities[5] = {100, 70, 100, 35, 100};
  for (std::size_t i = 0; i < sources.size(); ++i) {
    Source& s = sources[i];
    s.picture = i == 4 ? TBitmap32(sizes[i][0], sizes[i][1]) : RaggedPicture(sizes[i][0], sizes[i][1], random);
    s.layer = {&s.picture, places[i], {0, 0, sizes[i][0], sizes[i][1]}, nullptr, opacities[i], {}};
    if (i == 1 || i == 2) {
      s.mask = std::make_unique<TMask>();
      s.mask->SetBitmap(&s.picture);
      TMaskA& map = s.mask->Map();
      // Runs of eight: outside every region, mixed, in two compounding regions, in
      // an unfaded region only.
      const std::uint8_t runs[4] = {0, 0, 3, 4};
      for (int y = 0; y < map.Height(); ++y)
        for (int x = 0; x < map.Width(); ++x)
          map.At(x, y) = (x / 8) % 4 == 1 ? std::uint8_t(random() % 16) : runs[(x / 8) % 4];
      s.mask->SetRegionOpacity(1, 40);
      s.mask->SetRegionOpacity(2, 70);
      s.mask->SetRegionOpacity(3, 100);
      s.mask->SetRegionOpacity(4, 0);
      s.mask->GetUsedRegions();
      s.layer.Mask = s.mask.get();
    }
  }
  return sources;
}

// Each width of vectors the compositor may take (none, eight pixels, sixteen),
// where the processor has it; the widest otherwise.
class DeskCompositorVectors : public ::testing::TestWithParam<int> {};

INSTANTIATE_TEST_SUITE_P(Widths, DeskCompositorVectors, ::testing::Values(0, 1, 2));

TEST_P(DeskCompositorVectors, EveryPathAgreesWithThePixelArithmetic) {
  std::mt19937 random(7);
  const std::vector<Source> sources = Scene(random);
  std::vector<std::vector<TAlphaSpan>> spans;
  for (bool withSpans : {false, true})
    for (TCompositeAlpha kind : {TCompositeAlpha::Coverage, TCompositeAlpha::Accumulate}) {
      SCOPED_TRACE(withSpans ? "with spans" : "without spans");
      const std::vector<TCompositeLayer> layers = Layers(sources, withSpans, spans);
      TBitmap32 target(70, 16, 0x12345678);
      CompositeLayers(target, {0, 0, 70, 16}, layers, 1.0, kind, nullptr, GetParam());
      TBitmap32 reference(70, 16);
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 70; ++x) reference.SetPixel(x, y, ReferencePixel(sources, x, y, kind));
      EXPECT_TRUE(SamePicture(target, reference))
          << (kind == TCompositeAlpha::Coverage ? "on the desk" : "in the export");
    }
}

// Wide layers on a zoomed desk: the map read at twice, half and a third more
// than the rendering's size, cells gathered in runs and reused by rows that
// meet the same map row (with spans, over the columns those rows lay); runs of
// sixteen clear, opaque and mixed pixels; on top, an opaque block with holes.
TEST_P(DeskCompositorVectors, EveryPathAgreesWithThePixelArithmeticAtEveryScale) {
  std::mt19937 random(11);
  for (bool withSpans : {false, true})
    for (double scale : {2.0, 0.5, 1.33}) {
      SCOPED_TRACE(scale);
      SCOPED_TRACE(withSpans ? "with spans" : "without spans");
      std::vector<Source> sources(4);
      const int sizes[4][2] = {{60, 11}, {301, 9}, {263, 12}, {150, 10}};
      const TPoint places[4] = {{100, 0}, {0, 1}, {-7, 0}, {40, 2}};
      for (std::size_t i = 0; i < sources.size(); ++i) {
        Source& s = sources[i];
        if (i == 0) {
          s.picture = TBitmap32(sizes[i][0], sizes[i][1], 0xFF405060);
          for (int y = 0; y < sizes[i][1]; ++y) s.picture.SetPixel((y * 7) % sizes[i][0], y, 0x80102030);
          s.layer = {&s.picture, places[i], {0, 0, sizes[i][0], sizes[i][1]}, nullptr, 100, {}};
          continue;
        }
        s.picture = RaggedPicture(sizes[i][0], sizes[i][1], random);
        for (int y = 0; y < sizes[i][1]; ++y)
          for (int x = 64; x < 96; ++x) s.picture.SetPixel(x, y, x < 80 ? 0 : (random() & 0xFFFFFF) | 0xFF000000);
        s.layer = {&s.picture, places[i], {0, 0, sizes[i][0], sizes[i][1]}, nullptr, std::uint8_t(i == 3 ? 60 : 100),
                   {}};
        if (i == 3) continue;
        s.canvas = TBitmap32(int(sizes[i][0] * scale + 0.5), int(sizes[i][1] * scale + 0.5));
        s.mask = std::make_unique<TMask>();
        s.mask->SetBitmap(&s.canvas);
        TMaskA& map = s.mask->Map();
        for (int y = 0; y < map.Height(); ++y)
          for (int x = 0; x < map.Width(); ++x) map.At(x, y) = (x / 24) % 2 ? std::uint8_t(random() % 4) : 1;
        s.mask->SetRegionOpacity(1, 40);
        s.mask->SetRegionOpacity(2, 70);
        s.mask->GetUsedRegions();
        s.layer.Mask = s.mask.get();
      }
      std::vector<std::vector<TAlphaSpan>> spans;
      const std::vector<TCompositeLayer> layers = Layers(sources, withSpans, spans);
      TBitmap32 target(290, 14, 0x12345678);
      CompositeLayers(target, {0, 0, 290, 14}, layers, scale, TCompositeAlpha::Coverage, nullptr, GetParam());
      TBitmap32 reference(290, 14);
      for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 290; ++x)
          reference.SetPixel(x, y, ReferencePixel(sources, x, y, TCompositeAlpha::Coverage, scale));
      EXPECT_TRUE(SamePicture(target, reference));
    }
}

TEST(DeskCompositorPaths, RectIsClampedToTheTarget) {
  TBitmap32 target(3, 2, 0x12345678);
  TBitmap32 source(5, 5, 0xFF010203);
  const TCompositeLayer layer{&source, {-1, -1}, {0, 0, 5, 5}, nullptr, 100, {}};
  CompositeLayers(target, {-5, -5, 50, 1}, std::span(&layer, 1), 1.0, TCompositeAlpha::Coverage);
  EXPECT_EQ(target.Pixel(2, 0), 0xFF010203);
  EXPECT_EQ(target.Pixel(0, 1), 0x12345678u);  // below the rect: untouched
}

// The screen's copy made as the rows are composed: the same pixels made opaque,
// only within the rect and as far as the copy reaches.
TEST(DeskCompositorPaths, OpaqueCopyTakesTheRectsRowsMadeOpaque) {
  TBitmap32 source(40, 6, 0x80102030);
  const TCompositeLayer layer{&source, {0, 0}, {0, 0, 40, 6}, nullptr, 100, {}};
  TBitmap32 target(40, 6), copy(30, 6, 0x12345678);
  CompositeLayers(target, {2, 1, 40, 5}, std::span(&layer, 1), 1.0, TCompositeAlpha::Coverage, &copy);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 30; ++x) {
      const bool inside = x >= 2 && y >= 1 && y < 5;
      ASSERT_EQ(copy.Pixel(x, y), inside ? target.Pixel(x, y) | 0xFF000000 : 0x12345678u) << x << "," << y;
    }
  EXPECT_EQ(AlphaOf(target.Pixel(3, 2)), 0x80);
}

}  // namespace
