// Colour calibration, judged by numpy: the spot takes the calibration colour and
// every opaque pixel scales by the same per-channel factors.
#include <gtest/gtest.h>

#include <random>

#include "editor/ColorCalibration.h"
#include "support/PictureCompare.h"
#include "support/TestPaths.h"

namespace {

std::string Raw(const TBitmap32& b) { return std::string(reinterpret_cast<const char*>(b.Bits()), b.ByteSize()); }

TBitmap32 Noise(int w, int h, int lo, int hi, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> value(lo, hi);
  TBitmap32 b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.SetPixel(x, y, Color32(std::uint8_t(value(random)), std::uint8_t(value(random)), std::uint8_t(value(random))));
  return b;
}

TEST(ColorCalibration, SpotTakesTheColourAndEveryPixelScalesAlike) {
  // A spot near the target colour, so that none of its pixels saturates.
  TBitmap32 before = Noise(64, 48, 20, 250, 7);
  const TBitmap32 spotNoise = Noise(3, 3, 0, 4, 9);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) {
      const TColor32 n = spotNoise.Pixel(x, y);
      before.SetPixel(9 + x, 11 + y, Color32(243 + RedOf(n), 210 + GreenOf(n), 182 + BlueOf(n)));
    }
  TBitmap32 after = before;
  const TColor32 target = Color32(252, 217, 188);
  ASSERT_TRUE(CalibrateColors(after, 10, 12, target));
  const TColor32 spot = SpotAverage(after, 10, 12);
  EXPECT_NEAR(RedOf(spot), 252, 1);
  EXPECT_NEAR(GreenOf(spot), 217, 1);
  EXPECT_NEAR(BlueOf(spot), 188, 1);

  TempFolder dir;
  WriteTestFile(dir / "before", Raw(before));
  WriteTestFile(dir / "after", Raw(after));
  WriteTestFile(dir / "judge.py", R"PY(
import sys, numpy as np
d = sys.argv[1]
b = np.fromfile(d + '/before', np.uint8).reshape(48, 64, 4).astype(float)
a = np.fromfile(d + '/after', np.uint8).reshape(48, 64, 4).astype(float)
spot = b[11:14, 9:12, :3].reshape(-1, 3).sum(0) // 9      # B, G, R
factor = np.array([188, 217, 252]) / spot
expected = np.minimum(255, b[:, :, :3] * factor)
assert np.abs(expected - a[:, :, :3]).max() <= 0.5 + 1e-9, np.abs(expected - a[:, :, :3]).max()
assert (a[:, :, :3] == 255).any(), 'no channel saturated'
assert (a[:, :, 3] == 255).all()
print('ok')
)PY");
  std::string out;
  EXPECT_EQ(RunCommand("/usr/bin/python3 " + (dir / "judge.py").string() + " " + dir.Path().string() + " 2>&1", &out), 0)
      << out;
}

TEST(ColorCalibration, EdgesBlackSpotsAndTransparency) {
  // A spot in the corner averages the four pixels that exist.
  TBitmap32 corner(4, 4, Color32(0, 0, 0));
  corner.SetPixel(0, 0, Color32(40, 40, 40));
  corner.SetPixel(1, 0, Color32(80, 80, 80));
  corner.SetPixel(0, 1, Color32(40, 40, 40));
  corner.SetPixel(1, 1, Color32(80, 80, 80));
  EXPECT_EQ(SpotAverage(corner, 0, 0), Color32(60, 60, 60));

  // A black spot (every factor 1) leaves opaque pixels as they were; a zero
  // channel keeps its factor 1 while the others scale.
  const TBitmap32 noise = Noise(16, 16, 0, 255, 3);
  TBitmap32 blackSpot = noise;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) blackSpot.SetPixel(x, y, Color32(0, 0, 0));
  TBitmap32 calibrated = blackSpot;
  ASSERT_TRUE(CalibrateColors(calibrated, 1, 1, Color32(252, 217, 188)));
  EXPECT_TRUE(SamePicture(calibrated, blackSpot));

  TBitmap32 greenless(8, 8, Color32(100, 0, 50));
  greenless.SetPixel(7, 7, Color32(10, 90, 20));
  ASSERT_TRUE(CalibrateColors(greenless, 2, 2, Color32(200, 200, 200)));
  EXPECT_EQ(greenless.Pixel(7, 7), Color32(20, 90, 80));

  // Half-transparent pixels are drawn toward white; transparent ones stay; a
  // click outside changes nothing.
  TBitmap32 faded(4, 4, Color32(100, 100, 100));
  faded.SetPixel(3, 3, Color32(100, 100, 100, 128));
  faded.SetPixel(3, 0, Color32(7, 8, 9, 0));
  ASSERT_TRUE(CalibrateColors(faded, 1, 1, Color32(100, 100, 100)));
  EXPECT_EQ(faded.Pixel(0, 0), Color32(100, 100, 100));
  EXPECT_EQ(faded.Pixel(3, 3), Color32(177, 177, 177, 128));
  EXPECT_EQ(faded.Pixel(3, 0), Color32(7, 8, 9, 0));
  const TBitmap32 before = faded;
  EXPECT_FALSE(CalibrateColors(faded, 4, 1, Color32(1, 2, 3)));
  EXPECT_TRUE(SamePicture(faded, before));
}

}  // namespace
