#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "picture/Compression.h"
#include "picture/Mask.h"
#include "support/TestPaths.h"

namespace {

int CountBit(const TMask& mask, std::uint8_t bit) {
  int n = 0;
  for (std::uint8_t c : mask.Map().Bytes()) n += (c & bit) ? 1 : 0;
  return n;
}

struct BoundMask {
  TBitmap32 picture;
  TMask mask;
  BoundMask(int w, int h, TColor32 fill = Color32(0, 0, 0)) : picture(w, h, fill) { mask.SetBitmap(&picture); }
};

}  // namespace

TEST(MaskRegionIndex, ClampsAndAlwaysNotifies) {
  TMask mask;
  int calls = 0;
  mask.OnChange = [&] { ++calls; };
  mask.SetRegionIndex(12);
  EXPECT_EQ(mask.GetRegionIndex(), 8);
  EXPECT_EQ(mask.CurrentRegion(), 0x80);
  mask.SetRegionIndex(3);
  mask.SetRegionIndex(3);
  EXPECT_EQ(mask.CurrentRegion(), 0x04);
  mask.SetRegionIndex(0);
  EXPECT_EQ(mask.GetRegionIndex(), 0);
  mask.SetRegionIndex(-4);
  EXPECT_EQ(mask.CurrentRegion(), 0);
  EXPECT_EQ(calls, 5);
}

TEST(MaskRegionValues, OutOfRangeIndexThrowsTheMessage) {
  TMask mask;
  try {
    mask.GetRegionColor(0);
    FAIL();
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "Mask index out of bounds (0)");
  }
  try {
    mask.SetRegionOpacity(9, 5);
    FAIL();
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "Mask index out of bounds (9)");
  }
  mask.SetRegionRed(8, 70);
  EXPECT_EQ(mask.GetRegionRed(8), 70);
  EXPECT_EQ(mask.GetRegionColor(1), -1);
}

TEST(MaskRects, SetInvertClearCoverRightAndBottomExclusive) {
  BoundMask m(20, 20);
  m.mask.SetRegionIndex(2);
  m.mask.SetWorkRect({0, 0, 10, 10});
  m.mask.Apply(kMaskSetRect);
  EXPECT_EQ(CountBit(m.mask, 2), 100);
  EXPECT_TRUE(m.mask.PixelInRegion(9, 9, 2));
  EXPECT_FALSE(m.mask.PixelInRegion(10, 9, 2));
  m.mask.SetWorkRect({5, 5, 15, 15});
  m.mask.Apply(kMaskInvertRect);
  EXPECT_EQ(CountBit(m.mask, 2), 100 - 25 + 75);
  EXPECT_FALSE(m.mask.PixelInRegion(6, 6, 2));
  EXPECT_TRUE(m.mask.PixelInRegion(14, 14, 2));
  m.mask.Apply(kMaskClearRect);
  EXPECT_EQ(CountBit(m.mask, 2), 75);
}

TEST(MaskRects, WorkRectIsClampedToTheMap) {
  BoundMask m(8, 6);
  m.mask.SetRegionIndex(1);
  m.mask.SetWorkRect({-5, -5, 100, 100});
  EXPECT_EQ(m.mask.WorkRect(), (TRect{0, 0, 8, 6}));
  m.mask.Apply(kMaskSetRect);
  EXPECT_EQ(CountBit(m.mask, 1), 48);
}

TEST(MaskApply, FlagsRunInTheirOrder) {
  BoundMask m(10, 10);
  m.mask.SetRegionIndex(1);
  m.mask.SetWorkRect({0, 0, 4, 4});
  // Invert runs before set and set before clear: set wins over invert, clear over both.
  m.mask.Apply(kMaskInvertRect | kMaskSetRect);
  EXPECT_EQ(CountBit(m.mask, 1), 16);
  m.mask.Apply(kMaskSetRect | kMaskClearRect);
  EXPECT_EQ(CountBit(m.mask, 1), 0);
  // The whole-map clear runs before the rectangle.
  m.mask.SetWorkRect({0, 0, 10, 10});
  m.mask.Apply(kMaskSetRect);
  m.mask.SetWorkRect({0, 0, 2, 2});
  m.mask.Apply(kMaskClearAll | kMaskSetRect);
  EXPECT_EQ(CountBit(m.mask, 1), 4);
}

TEST(MaskApply, ReplaceSelectionRunsOnlyClearAndAddSelection) {
  BoundMask m(10, 10, Color32(10, 20, 30));
  m.picture.SetPixel(9, 9, Color32(200, 200, 200));
  m.mask.SetBitmap(&m.picture);
  m.mask.SetRegionIndex(1);
  m.mask.SetWorkRect({9, 9, 10, 10});
  m.mask.Apply(kMaskSetRect);
  m.mask.AddLassoPoint({0, 0});
  m.mask.AddLassoPoint({5, 0});
  m.mask.AddLassoPoint({5, 5});
  m.mask.SetWorkRect({0, 0, 9, 9});
  m.mask.Apply(kMaskReplaceSelection | kMaskLassoAdd | kMaskSetRect);
  // Everything of the reference colour inside the inclusive rectangle; the old
  // cell cleared; the lasso left unfilled and still pending.
  EXPECT_EQ(CountBit(m.mask, 1), 99);
  EXPECT_FALSE(m.mask.PixelInRegion(9, 9, 1));
  EXPECT_EQ(m.mask.Lasso().size(), 3u);
  EXPECT_EQ(m.mask.SelectMode, 0);
}

TEST(MaskSnapshot, RestoresOnlyTheCurrentRegionBit) {
  BoundMask m(6, 6);
  m.mask.SetRegionIndex(1);
  m.mask.SetWorkRect({0, 0, 3, 3});
  m.mask.Apply(kMaskSetRect);
  m.mask.Apply(kMaskSnapshot | kMaskClearAll);  // the snapshot is taken before the clear
  EXPECT_EQ(CountBit(m.mask, 1), 0);
  m.mask.SetRegionIndex(2);
  m.mask.SetWorkRect({0, 0, 6, 6});
  m.mask.Apply(kMaskSetRect);
  m.mask.SetRegionIndex(1);
  m.mask.SetWorkRect({3, 3, 6, 6});
  m.mask.Apply(kMaskSetRect);
  m.mask.Apply(kMaskRestoreSnapshot);
  EXPECT_EQ(CountBit(m.mask, 1), 9);
  EXPECT_TRUE(m.mask.PixelInRegion(2, 2, 1));
  EXPECT_FALSE(m.mask.PixelInRegion(4, 4, 1));
  EXPECT_EQ(CountBit(m.mask, 2), 36);
  // The snapshot is used up: a second restore changes nothing.
  m.mask.Apply(kMaskSetRect | kMaskRestoreSnapshot);
  EXPECT_EQ(CountBit(m.mask, 1), 18);
}

TEST(MaskColorSelection, ToleranceWindowFollowsTheDirection) {
  struct Case {
    int direction, low, high;
  } cases[] = {{1, 250, 255}, {2, 240, 250}, {3, 240, 255}, {0, 250, 250}};
  for (const Case& c : cases) {
    BoundMask m(256, 1);
    for (int x = 0; x < 256; ++x) m.picture.SetPixel(x, 0, Color32(std::uint8_t(x), 7, 9));
    m.mask.SetBitmap(&m.picture);
    m.mask.SetRegionIndex(1);
    m.mask.Tolerance = 10;
    m.mask.ToleranceDirection = c.direction;
    m.mask.SetCurrentPoint({250, 0});
    m.mask.SetWorkRect({0, 0, 255, 0});
    m.mask.Apply(kMaskSelectAdd);
    for (int x = 0; x < 256; ++x)
      EXPECT_EQ(m.mask.PixelInRegion(0, x, 1), x >= c.low && x <= c.high) << "direction " << c.direction << " x " << x;
  }
}

TEST(MaskColorSelection, VisitsTheRectangleInclusiveAndRemovesByMode) {
  BoundMask m(20, 20, Color32(1, 2, 3));
  m.mask.SetRegionIndex(1);
  m.mask.SetWorkRect({0, 0, 10, 10});
  m.mask.Apply(kMaskSelectAdd);
  EXPECT_EQ(CountBit(m.mask, 1), 121);
  // Mode 2 clears the bit on non-matching pixels only.
  m.picture.SetPixel(3, 3, Color32(50, 2, 3));
  m.mask.Apply(kMaskSelectKeep);
  EXPECT_EQ(CountBit(m.mask, 1), 120);
  EXPECT_EQ(m.mask.SelectMode, 2);
  // Mode 1 clears it on matching pixels.
  m.mask.SetCurrentPoint({5, 5});
  m.mask.SetWorkRect({0, 0, 4, 4});
  m.mask.Apply(kMaskSelectRemove);
  EXPECT_EQ(CountBit(m.mask, 1), 120 - 24);  // (3, 3) was already out
}

TEST(MaskColorSelection, ActiveSelectionLimitsToTheSnapshotBlock) {
  BoundMask m(10, 10, Color32(9, 9, 9));
  m.mask.SetRegionIndex(1);
  m.mask.SetWorkRect({2, 3, 5, 6});
  m.mask.Apply(kMaskSetRect);
  m.mask.SetSelectionActive(true);
  EXPECT_EQ(m.mask.SelectionRect(), (TRect{2, 3, 4, 5}));
  // Remove everything of the colour: only cells inside the saved block are visited.
  m.mask.SetWorkRect({0, 0, 9, 9});
  m.mask.Apply(kMaskSelectRemove | kMaskSelectAdd);
  EXPECT_EQ(CountBit(m.mask, 1), 9);
  m.mask.IgnoreSelection = 1;
  m.mask.Apply(kMaskSelectAdd);
  EXPECT_EQ(CountBit(m.mask, 1), 100);
  m.mask.SetSelectionActive(false);
  EXPECT_FALSE(m.mask.SelectionActive());
}

TEST(MaskLasso, SquareCoversItsLastRowAndColumn) {
  BoundMask m(20, 20);
  m.mask.SetRegionIndex(1);
  for (TPoint p : {TPoint{0, 0}, TPoint{9, 0}, TPoint{9, 9}, TPoint{0, 9}}) m.mask.AddLassoPoint(p);
  m.mask.Apply(kMaskLassoAdd);
  EXPECT_EQ(CountBit(m.mask, 1), 100);
  EXPECT_TRUE(m.mask.PixelInRegion(9, 9, 1));
  EXPECT_FALSE(m.mask.PixelInRegion(10, 9, 1));
  EXPECT_TRUE(m.mask.Lasso().empty());
}

TEST(MaskLasso, TriangleCellsAreOutlineAndInterior) {
  BoundMask m(20, 20);
  m.mask.SetRegionIndex(3);
  for (TPoint p : {TPoint{0, 0}, TPoint{10, 0}, TPoint{0, 10}}) m.mask.AddLassoPoint(p);
  m.mask.Apply(kMaskLassoAdd);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) EXPECT_EQ(m.mask.PixelInRegion(y, x, 3), x + y <= 10) << x << "," << y;
  // Removing a smaller triangle from it leaves the rest.
  for (TPoint p : {TPoint{0, 0}, TPoint{4, 0}, TPoint{0, 4}}) m.mask.AddLassoPoint(p);
  m.mask.Apply(kMaskLassoRemove);
  EXPECT_EQ(CountBit(m.mask, 4), 66 - 15);
}

TEST(MaskLasso, SelfCrossingOutlineUsesEvenOdd) {
  BoundMask m(40, 40);
  m.mask.SetRegionIndex(1);
  // Two overlapping squares drawn as one outline: the overlap is enclosed twice.
  for (TPoint p : {TPoint{0, 0}, TPoint{20, 0}, TPoint{20, 20}, TPoint{10, 20}, TPoint{10, 10}, TPoint{30, 10},
                   TPoint{30, 30}, TPoint{10, 30}, TPoint{10, 20}, TPoint{0, 20}})
    m.mask.AddLassoPoint(p);
  m.mask.Apply(kMaskLassoAdd);
  EXPECT_TRUE(m.mask.PixelInRegion(5, 5, 1));
  EXPECT_TRUE(m.mask.PixelInRegion(25, 25, 1));
  EXPECT_FALSE(m.mask.PixelInRegion(15, 15, 1));
  EXPECT_FALSE(m.mask.PixelInRegion(35, 35, 1));
}

TEST(MaskLasso, PointsAreClampedAndEmptyLassoChangesNothing) {
  BoundMask m(10, 10);
  m.mask.SetRegionIndex(1);
  m.mask.Apply(kMaskLassoAdd);
  EXPECT_EQ(CountBit(m.mask, 1), 0);
  EXPECT_EQ(m.mask.AddLassoPoint({-5, 50}), 0);
  EXPECT_EQ(m.mask.Lasso()[0], (TPoint{0, 9}));
  m.mask.AddLassoPoint({50, 50});
  m.mask.AddLassoPoint({50, -3});
  m.mask.Apply(kMaskLassoAdd);
  // Triangle (0,9) (9,9) (9,0): cells with x + y >= 9.
  EXPECT_EQ(CountBit(m.mask, 1), 55);
}

TEST(MaskBinding, ResamplesByNearestNeighbourOnRebinding) {
  TBitmap32 wide(100, 50), tall(50, 100);
  TMask mask;
  mask.SetBitmap(&wide);
  mask.SetRegionIndex(1);
  mask.SetWorkRect({0, 0, 50, 50});  // left half of the wide picture
  mask.Apply(kMaskSetRect);
  mask.SetRegionIndex(2);
  mask.SetWorkRect({0, 0, 100, 10});  // top fifth
  mask.Apply(kMaskSetRect);
  mask.SetBitmap(&tall);
  EXPECT_EQ(mask.MaxX(), 49);
  EXPECT_EQ(mask.MaxY(), 99);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 50; ++x) {
      int sx = std::min(int(std::nearbyint(x * 2.0)), 99), sy = std::min(int(std::nearbyint(y * 0.5)), 49);
      ASSERT_EQ(mask.PixelInRegion(y, x, 1), sx < 50) << x << "," << y;
      ASSERT_EQ(mask.PixelInRegion(y, x, 2), sy < 10) << x << "," << y;
    }
  // A resampling is taken from the given source, not from the current map.
  TMaskA base(100, 50, 0x01);
  mask.SetBitmap(&wide, base);
  EXPECT_EQ(mask.Map(), base);
}

TEST(MaskBinding, UsedRegionsAndPixelTestsFollowTheMap) {
  BoundMask m(5, 4);
  EXPECT_TRUE(m.mask.GetUsedRegions().empty());
  m.mask.Map().At(4, 3) = 0x81;
  m.mask.Map().At(0, 0) = 0x04;
  EXPECT_EQ(m.mask.GetUsedRegions(), (std::vector<int>{1, 3, 8}));
  EXPECT_TRUE(m.mask.PixelInRegion(3, 4, 8));
  EXPECT_FALSE(m.mask.PixelInRegion(4, 3, 8));  // row 4 is beyond the map
  EXPECT_FALSE(m.mask.PixelInRegion(-1, 0, 3));
  EXPECT_FALSE(m.mask.PixelInRegion(0, 0, 9));
  m.mask.SetRegionIndex(3);
  EXPECT_TRUE(m.mask.PixelInRegion(0, 0, 0));
}

TEST(MaskFile, RoundTripIsPlainZlibOfTheMap) {
  TempFolder dir;
  BoundMask m(7, 5);
  m.mask.Map().At(6, 4) = 0x21;
  m.mask.Map().At(0, 1) = 0x02;
  m.mask.FileName = (dir / "a.b" / "hair.msk").string();
  fs::create_directories(dir / "a.b");
  ASSERT_TRUE(m.mask.SaveToFile());
  std::string out;
  ASSERT_EQ(RunCommand("/usr/bin/python3 -c \"import zlib,sys; d=zlib.decompress(open(sys.argv[1],'rb').read());"
                       " print(len(d), d[7], d[34])\" '" + m.mask.FileName + "'", &out), 0);
  EXPECT_EQ(out, "35 2 33\n");
  BoundMask back(7, 5);
  EXPECT_EQ(back.mask.LoadFromFile(m.mask.FileName), TMaskLoad::Loaded);
  EXPECT_EQ(back.mask.Map(), m.mask.Map());
  EXPECT_EQ(back.mask.FileName, m.mask.FileName);
}

TEST(MaskFile, WrongSizeMissingOrDamagedFileLeavesTheMap) {
  TempFolder dir;
  BoundMask m(7, 5);
  m.mask.Map().At(1, 1) = 0x08;
  const TMaskA before = m.mask.Map();
  std::vector<std::uint8_t> small(34, 0x01), large(36, 0x01);
  auto write = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
    WriteTestFile(dir / name, std::string(bytes.begin(), bytes.end()));
    return (dir / name).string();
  };
  EXPECT_EQ(m.mask.LoadFromFile(write("s.msk", CompressStream(small))), TMaskLoad::WrongSize);
  EXPECT_EQ(m.mask.LoadFromFile(write("l.msk", CompressStream(large))), TMaskLoad::WrongSize);
  EXPECT_EQ(m.mask.LoadFromFile(write("z.msk", {1, 2, 3, 4})), TMaskLoad::Undecodable);
  EXPECT_EQ(m.mask.LoadFromFile((dir / "none.msk").string()), TMaskLoad::Missing);
  EXPECT_EQ(m.mask.Map(), before);
  m.mask.StoreEnabled = 0;
  m.mask.FileName = (dir / "off.msk").string();
  EXPECT_FALSE(m.mask.SaveToFile());
  EXPECT_FALSE(fs::exists(dir / "off.msk"));
}

TEST(MaskStream, RoundTripCarriesSecondMapValuesAndMode) {
  BoundMask m(4, 3);
  m.mask.Map().At(3, 2) = 0x05;
  m.mask.SetRegionColor(2, 0x123456);
  m.mask.SetRegionContrast(8, -7);
  m.mask.SetRegionOpacity(1, 40);
  std::vector<std::uint8_t> stream = {0xEE};  // written at the stream's position
  m.mask.SaveToStream(stream);
  ASSERT_GT(stream.size(), 1u);
  EXPECT_EQ(stream[0], 0xEE);
  // Python's zlib sees the map, the flag, 8 x 33 value bytes and the mode.
  TempFolder dir;
  WriteTestFile(dir / "s.bin", std::string(stream.begin() + 1, stream.end()));
  std::string out;
  ASSERT_EQ(RunCommand("/usr/bin/python3 -c \"import zlib,sys,struct; d=zlib.decompress(open(sys.argv[1],'rb').read());"
                       " print(len(d), d[11], d[12], struct.unpack_from('<i',d,13+33)[0], d[13+32],"
                       " struct.unpack_from('<i',d,13+7*33+28)[0], struct.unpack_from('<i',d,len(d)-4)[0])\" '" +
                           (dir / "s.bin").string() + "'", &out), 0);
  EXPECT_EQ(out, "281 5 0 1193046 40 -7 0\n");

  BoundMask back(4, 3);
  ASSERT_EQ(back.mask.LoadFromStream({stream.data() + 1, stream.size() - 1}), TMaskLoad::Loaded);
  EXPECT_EQ(back.mask.Map(), m.mask.Map());
  EXPECT_EQ(back.mask.GetRegionColor(2), 0x123456);
  EXPECT_EQ(back.mask.GetRegionContrast(8), -7);
  EXPECT_EQ(back.mask.GetRegionOpacity(1), 40);
  EXPECT_TRUE(back.mask.SecondMap().Empty());
}

TEST(MaskStream, SecondMapBecomesActiveOnlyWhenPresent) {
  auto makeStream = [](bool second, int mode) {
    std::vector<std::uint8_t> raw(6, 0x01);
    raw.push_back(second ? 1 : 0);
    if (second) raw.insert(raw.end(), 6, 0x80);
    raw.insert(raw.end(), 8 * 33, 0);
    for (int i = 0; i < 4; ++i) raw.push_back(std::uint8_t(mode >> (8 * i)));
    return CompressStream(raw);
  };
  BoundMask m(3, 2);
  ASSERT_EQ(m.mask.LoadFromStream(makeStream(true, 2)), TMaskLoad::Loaded);
  EXPECT_EQ(m.mask.Mode(), 2);
  EXPECT_EQ(m.mask.GetUsedRegions(), (std::vector<int>{8}));
  EXPECT_TRUE(m.mask.PixelInRegion(1, 2, 8));
  // Rebinding makes the second map the primary one.
  m.mask.SetBitmap(&m.picture);
  EXPECT_EQ(m.mask.Mode(), 0);
  EXPECT_EQ(m.mask.Map().At(0, 0), 0x80);
  BoundMask n(3, 2);
  ASSERT_EQ(n.mask.LoadFromStream(makeStream(false, 2)), TMaskLoad::Loaded);
  EXPECT_EQ(n.mask.Mode(), 0);
  EXPECT_EQ(n.mask.GetUsedRegions(), (std::vector<int>{1}));
}

TEST(MaskStream, WrongSizeOrTruncatedStreamLeavesEverything) {
  BoundMask source(4, 3);
  source.mask.Map().At(0, 0) = 0x01;
  source.mask.SetRegionRed(1, 90);
  std::vector<std::uint8_t> stream;
  source.mask.SaveToStream(stream);
  BoundMask other(3, 4);  // same cell count, but the map is written for 4 x 3 ...
  ASSERT_EQ(other.mask.LoadFromStream(stream), TMaskLoad::Loaded);  // ... so only the count can be checked
  BoundMask smaller(4, 2);
  smaller.mask.Map().At(1, 1) = 0x02;
  const TMaskA before = smaller.mask.Map();
  EXPECT_EQ(smaller.mask.LoadFromStream(stream), TMaskLoad::WrongSize);
  EXPECT_EQ(smaller.mask.Map(), before);
  EXPECT_EQ(smaller.mask.GetRegionRed(1), 50);
  std::vector<std::uint8_t> cut(stream.begin(), stream.end() - 3);
  EXPECT_EQ(source.mask.LoadFromStream(cut), TMaskLoad::Undecodable);
  // A whole stream with one byte more after the values was not made by a mask.
  std::vector<std::uint8_t> longer = *DecompressStream(stream);
  longer.push_back(0);
  EXPECT_EQ(source.mask.LoadFromStream(CompressStream(longer)), TMaskLoad::WrongSize);
  TMask unbound;
  EXPECT_EQ(unbound.LoadFromStream(stream), TMaskLoad::WrongSize);
  std::vector<std::uint8_t> nothing;
  unbound.SaveToStream(nothing);
  source.mask.StoreEnabled = 0;
  source.mask.SaveToStream(nothing);
  EXPECT_TRUE(nothing.empty());
}

TEST(MaskMap, SharedCellsPartWhenEitherSideWrites) {
  TMaskA a(4, 3, 1);
  TMaskA b = a.Share();
  TMaskA same = a.Resampled(4, 3);
  b.At(1, 1) = 5;
  a.Bytes()[0] = 2;
  EXPECT_EQ(a.At(1, 1), 1);
  EXPECT_EQ(b.At(0, 0), 1);
  EXPECT_EQ(same.At(1, 1), 1);
  EXPECT_EQ(same.At(0, 0), 1);
  TMaskA copy = b;
  copy.At(1, 1) = 0;
  EXPECT_EQ(b.At(1, 1), 5);
}

// A map of zeros holds no cells: it reads 0 everywhere, equals a map of zero
// cells, and what is derived from it holds none either, until a cell is written.
TEST(MaskMap, AMapOfZerosHoldsNoCellsUntilOneIsWritten) {
  const TMaskA zeros(300, 200);
  EXPECT_FALSE(zeros.Empty());
  EXPECT_FALSE(zeros.HasCells());
  EXPECT_EQ(zeros.At(299, 199), 0);
  for (const TMaskA& derived : {zeros.Share(), zeros.Resampled(30, 500), zeros.FlippedHorizontally(), TMaskA(zeros)})
    EXPECT_FALSE(derived.HasCells());
  TMaskA written = zeros;
  written.At(299, 199) = 4;
  EXPECT_TRUE(written.HasCells());
  EXPECT_FALSE(zeros.HasCells());
  EXPECT_FALSE(written == zeros);
  EXPECT_FALSE(zeros == written);
  EXPECT_EQ(written.Resampled(600, 400).At(599, 399), 4);
  written.DropCellsIfClear();
  EXPECT_TRUE(written.HasCells());
  written.At(299, 199) = 0;
  EXPECT_EQ(written, zeros);
  EXPECT_EQ(zeros, written);
  written.DropCellsIfClear();
  EXPECT_FALSE(written.HasCells());
  EXPECT_EQ(written.At(299, 199), 0);
  // Wider than any picture, zeros are read from cells of their own.
  const TMaskA wide(kMaxPictureSide + 1, 2);
  EXPECT_EQ(wide.At(kMaxPictureSide, 1), 0);
}

// The region tools make a layer's map only when they set a region; undoing or
// clearing the last region gives it back when the regions are next counted.
TEST(MaskRegions, AMapIsMadeByTheFirstRegionAndGivenBackWhenNoneIsLeft) {
  BoundMask m(40, 30, Color32(10, 20, 30));
  auto held = [&m] { return static_cast<const TMask&>(m.mask).GetMap().HasCells(); };
  m.mask.SetRegionIndex(3);
  m.mask.SetWorkRect({0, 0, 40, 30});
  m.mask.SetCurrentPoint({5, 5});
  m.mask.Apply(kMaskSnapshot | kMaskClearAll | kMaskClearRect | kMaskSelectRemove | kMaskSelectKeep);
  for (TPoint p : {TPoint{0, 0}, TPoint{10, 0}, TPoint{10, 10}}) m.mask.AddLassoPoint(p);
  m.mask.Apply(kMaskLassoRemove | kMaskRestoreSnapshot);
  m.mask.SetSelectionActive(true);
  m.mask.SetSelectionActive(false);
  m.mask.FlipHorizontally();
  EXPECT_FALSE(m.mask.PixelInRegion(29, 39, 3));
  EXPECT_TRUE(m.mask.GetUsedRegions().empty());
  EXPECT_FALSE(held());

  m.mask.SetWorkRect({2, 3, 5, 7});
  m.mask.Apply(kMaskSnapshot | kMaskSetRect);
  EXPECT_TRUE(held());
  EXPECT_EQ(m.mask.GetUsedRegions(), std::vector<int>{3});
  EXPECT_EQ(CountBit(m.mask, 4), 12);
  m.mask.Apply(kMaskRestoreSnapshot);
  EXPECT_EQ(CountBit(m.mask, 4), 0);
  EXPECT_TRUE(m.mask.GetUsedRegions().empty());
  EXPECT_FALSE(held());

  // A snapshot of no map undoes only its own region.
  m.mask.Apply(kMaskSnapshot);
  m.mask.SetRegionIndex(1);
  m.mask.Apply(kMaskSetRect);
  m.mask.SetRegionIndex(3);
  m.mask.SetWorkRect({0, 0, 40, 30});
  m.mask.Apply(kMaskSelectAdd);  // every pixel has the seed's colour
  EXPECT_EQ(CountBit(m.mask, 4), 1200);
  m.mask.Apply(kMaskRestoreSnapshot);
  EXPECT_EQ(CountBit(m.mask, 4), 0);
  EXPECT_EQ(CountBit(m.mask, 1), 12);
  EXPECT_EQ(m.mask.GetUsedRegions(), std::vector<int>{1});
  m.mask.SetRegionIndex(1);
  m.mask.Apply(kMaskClearAll);
  EXPECT_TRUE(m.mask.GetUsedRegions().empty());
  EXPECT_FALSE(held());
}

// A map without cells is stored as the zeros it reads as, byte for byte, and a
// stored map of zeros comes back without cells; a region anywhere in it, on
// either side of the parts it is read in, comes back where it was.
TEST(MaskStream, AMapOfZerosIsStoredAsZerosAndReadBackWithoutCells) {
  BoundMask none(400, 300), zeros(400, 300);
  zeros.mask.Map().At(0, 0) = 0;
  ASSERT_TRUE(zeros.mask.Map().HasCells());
  for (BoundMask* m : {&none, &zeros}) m->mask.SetRegionOpacity(2, 30);
  std::vector<std::uint8_t> stream, same;
  none.mask.SaveToStream(stream);
  zeros.mask.SaveToStream(same);
  EXPECT_EQ(stream, same);
  EXPECT_EQ(none.mask.FileBytes(), zeros.mask.FileBytes());
  BoundMask back(400, 300);
  back.mask.Map().At(5, 5) = 1;
  ASSERT_EQ(back.mask.LoadFromStream(stream), TMaskLoad::Loaded);
  EXPECT_FALSE(back.mask.Map().HasCells());
  EXPECT_EQ(back.mask.GetRegionOpacity(2), 30);
  back.mask.Map().At(5, 5) = 1;
  ASSERT_EQ(back.mask.LoadFromFileBytes(none.mask.FileBytes()), TMaskLoad::Loaded);
  EXPECT_FALSE(back.mask.Map().HasCells());

  for (TPoint cell : {TPoint{0, 0}, TPoint{335, 163}, TPoint{336, 163}, TPoint{399, 299}}) {
    BoundMask one(400, 300);
    one.mask.Map().At(cell.X, cell.Y) = 0x40;
    std::vector<std::uint8_t> bytes;
    one.mask.SaveToStream(bytes);
    BoundMask got(400, 300);
    ASSERT_EQ(got.mask.LoadFromStream(bytes), TMaskLoad::Loaded);
    EXPECT_EQ(got.mask.Map(), one.mask.Map()) << cell.X << "," << cell.Y;
    EXPECT_EQ(got.mask.GetUsedRegions(), std::vector<int>{7});
  }
}
