// The row and band forms of the colour stages against the one-pixel routine:
// every bit of every pixel must agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <limits>
#include <string>
#include <vector>

#include "picture/ColorStages.h"
#include "picture/Mask.h"

namespace {

struct Random {
  std::uint32_t seed;
  std::uint32_t Next() {
    seed ^= seed << 13;
    seed ^= seed >> 17;
    seed ^= seed << 5;
    return seed;
  }
  int Below(int n) { return int(Next() % std::uint32_t(n)); }
  bool OneIn(int n) { return Below(n) == 0; }
};

// A colour value drawn to hit the edges: neutral half the time, else near the
// usual range, occasionally far outside it.
int DrawValue(Random& random, int neutral, int spread) {
  if (random.OneIn(2)) return neutral;
  if (random.OneIn(12)) {
    const int extremes[] = {std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), -1000, 1000};
    return extremes[random.Below(4)];
  }
  return neutral - spread + random.Below(2 * spread + 1);
}

TColorValues DrawValues(Random& random) {
  TColorValues v;
  v.Color = random.OneIn(2) ? -1 : int(random.Next() & 0xFFFFFF);
  v.Red = DrawValue(random, 50, 60);
  v.Green = DrawValue(random, 50, 60);
  v.Blue = DrawValue(random, 50, 60);
  v.Hue = random.OneIn(6) ? 100 + (random.OneIn(2) ? 360 : -360) * (1 + random.Below(3)) : DrawValue(random, 100, 400);
  v.Saturation = DrawValue(random, 100, 150);
  v.Brightness = DrawValue(random, 100, 150);
  v.Contrast = DrawValue(random, 100, 120);
  return v;
}

// Colours with the awkward cases over-represented: black, white, greys, pure and
// nearly pure primaries (hue near 0 and 360), one-off channels, alpha 0 and 255.
TColor32 DrawPixel(Random& random) {
  const std::uint32_t bits = random.Next();
  std::uint8_t alpha = std::uint8_t(bits >> 24);
  if (random.OneIn(3)) alpha = random.OneIn(2) ? 0 : 255;
  switch (random.Below(6)) {
    case 0: {
      const std::uint8_t grey = random.OneIn(2) ? std::uint8_t(bits) : (random.OneIn(2) ? 0 : 255);
      return Color32(grey, grey, grey, alpha);
    }
    case 1: {
      std::uint8_t c[3] = {255, 0, 0};
      c[random.Below(3)] = 0;
      c[random.Below(3)] = std::uint8_t(random.OneIn(2) ? 255 : random.Below(3));
      c[random.Below(3)] = std::uint8_t(random.Below(2));
      return Color32(c[0], c[1], c[2], alpha);
    }
    case 2: {
      const int base = random.Below(256);
      auto near = [&] { return std::uint8_t(std::clamp(base + random.Below(3) - 1, 0, 255)); };
      return Color32(near(), near(), near(), alpha);
    }
    default:
      return (bits & 0x00FFFFFFu) | TColor32(alpha) << 24;
  }
}

// Each instruction set the processor has, the default restored afterwards.
template <typename Check>
void ForEachWidth(const Check& check) {
  for (TStagesWidth width : {TStagesWidth::Plain, TStagesWidth::Wide, TStagesWidth::Widest}) {
    if (width > SupportedStagesWidth()) continue;
    SCOPED_TRACE("width " + std::to_string(int(width)));
    LimitStagesWidth(width);
    check();
  }
  LimitStagesWidth(TStagesWidth::Widest);
}

TMask MaskWith(Random& random) {
  TMask mask;
  for (int i = 1; i <= 8; ++i) mask.SetRegionValues(i, DrawValues(random));
  return mask;
}

}  // namespace

TEST(ColorStagesRows, EveryColourAgreesWithThePixelRoutine) {
  // All 2^24 colours once, under shifts that wrap the hue both ways and clamp
  // saturation and brightness at both ends, with and without the other stages.
  TBitmap32 picture(4096, 4096);
  for (std::uint32_t i = 0; i < 4096u * 4096u; ++i) picture.PixelPtr(0, 0)[i] = i | (i % 5 == 0 ? 0u : 0xFF000000u);
  TColorValues shifts[3];
  shifts[0].Hue = 101;
  shifts[0].Saturation = 70;
  shifts[0].Brightness = 123;
  shifts[1].Hue = 2;
  shifts[1].Saturation = 160;
  shifts[1].Brightness = 40;
  shifts[1].Contrast = 135;
  shifts[2].Hue = 299;
  shifts[2].Brightness = 101;
  shifts[2].Color = 0x3366CC;
  shifts[2].Red = 80;
  for (const TColorValues& values : shifts) {
    TColorStages reference(picture, values, nullptr);
    TBitmap32 expected = picture;
    for (int y = 0; y < 4096; ++y)
      for (TColor32* p = expected.PixelPtr(0, y); p != expected.PixelPtr(0, y) + 4096; ++p) *p = reference.Apply(*p, 0);
    ForEachWidth([&] {
      TColorStages rows(picture, values, nullptr);
      std::vector<TColor32> row(4096);
      for (int y = 0; y < 4096; ++y) {
        std::copy_n(picture.PixelPtr(0, y), 4096, row.data());
        rows.ApplyRow(row.data(), nullptr, 4096);
        const TColor32* want = expected.PixelPtr(0, y);
        for (int x = 0; x < 4096; ++x)
          if (row[std::size_t(x)] != want[x])
            FAIL() << std::hex << "colour " << picture.Pixel(x, y) << " gave " << row[std::size_t(x)] << " not "
                   << want[x] << " (hue " << std::dec << values.Hue << ")";
      }
    });
  }
}

TEST(ColorStagesRows, EveryShiftedHueSaturationAndBrightnessAgreesWithThePixelRoutine) {
  // Every fully saturated, full-brightness colour (all 360 hues, each edge of a
  // sector both ways) shifted to every saturation and brightness: every colour
  // the shift can make, each under a different hue shift so that every turn is
  // taken too.
  std::vector<TColor32> pure;
  for (int step = 0; step < 256; ++step)
    for (const auto& c : {std::array{255, step, 0}, std::array{255 - step, 255, 0}, std::array{0, 255, step},
                          std::array{0, 255 - step, 255}, std::array{step, 0, 255}, std::array{255, 0, 255 - step}})
      pure.push_back(Color32(std::uint8_t(c[0]), std::uint8_t(c[1]), std::uint8_t(c[2]), 255));
  std::vector<bool> hues(360);
  for (TColor32 c : pure) hues[std::size_t(RgbToHsb(RedOf(c), GreenOf(c), BlueOf(c)).Hue % 360)] = true;
  ASSERT_EQ(std::count(hues.begin(), hues.end(), false), 0) << "a hue no pure colour has";
  const int count = int(pure.size());
  TBitmap32 picture(count, 1);
  std::copy(pure.begin(), pure.end(), picture.PixelPtr(0, 0));
  ForEachWidth([&] {
    for (int saturation = 0; saturation <= 100; ++saturation)
      for (int brightness = 0; brightness <= 100; ++brightness) {
        TColorValues values;
        values.Hue = (saturation * 101 + brightness) % 720 - 260;
        values.Saturation = saturation;
        values.Brightness = brightness;
        TColorStages rows(picture, values, nullptr), reference(picture, values, nullptr);
        std::vector<TColor32> row = pure;
        rows.ApplyRow(row.data(), nullptr, count);
        for (int x = 0; x < count; ++x)
          if (row[std::size_t(x)] != reference.Apply(pure[std::size_t(x)], 0))
            FAIL() << std::hex << "colour " << pure[std::size_t(x)] << std::dec << " to saturation " << saturation
                   << ", brightness " << brightness << " with hue shift " << values.Hue - 100;
      }
  });
}

TEST(ColorStagesRows, RandomPixelsRegionsAndSettingsAgreeWithThePixelRoutine) {
  ForEachWidth([] {
    Random random{20261207u};
    TBitmap32 picture(97, 61);
    for (int y = 0; y < picture.Height(); ++y)
      for (int x = 0; x < picture.Width(); ++x) picture.SetPixel(x, y, DrawPixel(random));
    for (int round = 0; round < 300; ++round) {
      const TMask mask = MaskWith(random);
      const TColorValues layer = DrawValues(random);
      TColorStages reference(picture, layer, &mask), rows(picture, layer, &mask);
      // Runs of one region byte, from single pixels to whole rows, so that both the
      // many-pixel steps and their leftovers meet every byte value over the rounds;
      // a few bytes a round keep the plans to build few.
      std::uint8_t palette[12];
      for (std::uint8_t& cell : palette) cell = std::uint8_t(random.Below(256));
      std::vector<TColor32> row;
      std::vector<std::uint8_t> cells;
      for (int y = 0; y < picture.Height(); ++y) {
        const int width = 1 + random.Below(picture.Width());
        row.assign(picture.PixelPtr(0, y), picture.PixelPtr(0, y) + width);
        cells.resize(std::size_t(width));
        for (int x = 0; x < width;) {
          const std::uint8_t cell = palette[random.Below(12)];
          const int run = 1 + random.Below(random.OneIn(4) ? width : 20);
          for (int end = std::min(width, x + run); x < end; ++x) cells[std::size_t(x)] = cell;
        }
        const bool noRegions = random.OneIn(8);
        rows.ApplyRow(row.data(), noRegions ? nullptr : cells.data(), width);
        for (int x = 0; x < width; ++x) {
          const TColor32 expected = reference.Apply(picture.Pixel(x, y), noRegions ? 0 : cells[std::size_t(x)]);
          ASSERT_EQ(row[std::size_t(x)], expected) << "round " << round << " pixel " << std::hex << picture.Pixel(x, y)
                                                   << " cells " << int(noRegions ? 0 : cells[std::size_t(x)]);
        }
      }
    }
  });
}

TEST(ColorStagesRows, BandsOfALargeRenderMatchTheRowsDoneOneByOne) {
  // Large enough to be split over threads; scaled both ways so that columns and
  // region bytes are sampled, and the map smaller than the picture.
  Random random{77u};
  TBitmap32 picture(1201, 911);
  for (int y = 0; y < 911; ++y)
    for (int x = 0; x < 1201; ++x) picture.SetPixel(x, y, DrawPixel(random));
  TMaskA map(1100, 911);
  for (std::uint8_t& cell : map.Bytes()) cell = std::uint8_t(random.Next() >> 8);
  const TMask mask = MaskWith(random);
  TColorValues layer = DrawValues(random);
  layer.Hue = 140;
  layer.Contrast = 90;
  for (const TRect source : {TRect{0, 0, 1201, 911}, TRect{13, 7, 1113, 810}}) {
    for (const TPoint size : {TPoint{1201, 911}, TPoint{1500, 700}}) {
      TBitmap32 target(size.X, size.Y);
      TColorStages stages(picture, layer, &mask), reference(picture, layer, &mask);
      RenderLayerPixels(picture, source, map, stages, target);
      for (int y = 0; y < size.Y; ++y) {
        const int sy = source.Top + int(std::int64_t(y) * source.Height() / size.Y);
        for (int x = 0; x < size.X; ++x) {
          const int sx = source.Left + int(std::int64_t(x) * source.Width() / size.X);
          const TColor32 expected = reference.Apply(picture.Pixel(sx, sy), map.At(std::min(sx, 1099), sy));
          ASSERT_EQ(target.Pixel(x, y), expected) << x << "," << y;
        }
      }
    }
  }
}

TEST(ColorStagesRows, MeanLuminanceIsThePlainSumOnEveryWidthAndInBands) {
  Random random{4242u};
  for (const TPoint size : {TPoint{1, 5}, TPoint{17, 3}, TPoint{333, 77}, TPoint{1021, 300}}) {
    TBitmap32 picture(size.X, size.Y);
    std::int64_t sum = 0, count = 0;
    for (int y = 0; y < size.Y; ++y)
      for (int x = 0; x < size.X; ++x) {
        const TColor32 c = DrawPixel(random);
        picture.SetPixel(x, y, c);
        if (AlphaOf(c) == 0) continue;
        sum += (30 * RedOf(c) + 59 * GreenOf(c) + 11 * BlueOf(c)) / 100;
        ++count;
      }
    ForEachWidth([&] { EXPECT_EQ(MeanLuminance(picture), RoundDiv(sum, count)) << size.X << "x" << size.Y; });
  }
}
