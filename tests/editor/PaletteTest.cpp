#include "editor/Palette.h"

#include <gtest/gtest.h>

#include "MainStateFixture.h"
#include "support/TestPaths.h"

namespace {

// `count` entries "r,g,b;name;" with red = the entry's number.
std::string Entries(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += std::to_string(i) + ",0,0;c" + std::to_string(i) + ";";
  return text;
}

}  // namespace

TEST(PaletteTest, EmptyLinesAreSkippedLongLinesCutAndTheCountIsWhatParsed) {
  TempFolder dir;
  const fs::path file = dir / "PalData.txt";
  WriteTestFile(file, "# palettes\r\nFirst;2;255,0,0;Red;0,0,255;Blue;\r\n\r\n   \r\n"
                      "Long;60;" + Entries(55) + "\r\n"
                      "Broken;5;1,2,3;One;4,5;Short;7,8,9;Never;\r\n"
                      "Liar;9;10,20,30;Only;\n");
  TPalette palette;
  palette.Read(file);
  EXPECT_EQ(palette.PaletteCount, 4);  // reading goes on past the empty lines
  EXPECT_EQ(palette.PaletteName, "First");
  ASSERT_EQ(palette.Colors.size(), 2u);
  EXPECT_EQ(palette.Colors[1].Color, 0xFF0000);  // $00BBGGRR
  EXPECT_EQ(palette.Colors[1].Name, "Blue");

  palette.Next(file);
  EXPECT_EQ(palette.PaletteName, "Long");
  ASSERT_EQ(palette.Colors.size(), std::size_t(kMaxPaletteColors));
  EXPECT_EQ(palette.Colors.back().Name, "c50");
  palette.Next(file);
  ASSERT_EQ(palette.Colors.size(), 1u);  // up to the bad entry
  EXPECT_EQ(palette.Colors[0].Color, 0x030201);
  palette.Next(file);
  EXPECT_EQ(palette.Colors.size(), 1u);  // declares 9, holds 1
  EXPECT_EQ(palette.Find(0x1E140A)->Name, "Only");
  EXPECT_EQ(palette.Find(0x123456), nullptr);

  palette.Next(file);  // the last wraps to the first, and the first back to the last
  EXPECT_EQ(palette.CurrentPaletteNo, 1);
  palette.Prev(file);
  EXPECT_EQ(palette.CurrentPaletteNo, 4);
  EXPECT_EQ(palette.PaletteName, "Liar");

  palette.PaletteFirstColor = 3;
  palette.Read(dir / "missing.txt");  // a missing file changes nothing
  EXPECT_EQ(palette.PaletteName, "Liar");
  EXPECT_EQ(palette.PaletteCount, 4);
  EXPECT_EQ(palette.PaletteFirstColor, 3);
}

TEST(PaletteTest, FourteenColoursInTwoRowsOfThreeScrollInFourPlaces) {
  TPalette palette;
  for (int i = 0; i < 14; ++i) palette.Colors.push_back({i, ""});
  TPaletteSlots slots = PaletteSlots(palette, 2, 3);
  EXPECT_TRUE(slots.Scrolls);
  EXPECT_EQ(slots.SliderMax, 3);  // 14 div 3 - 2 + 1
  palette.PaletteFirstColor = PaletteFirstColorAt(1, 3);
  slots = PaletteSlots(palette, 2, 3);
  EXPECT_EQ(slots.SliderValue, 1);
  EXPECT_EQ(slots.Slot, (std::vector<int>{3, 4, 5, 6, 7, 8}));  // colours 4 to 9
  palette.PaletteFirstColor = PaletteFirstColorAt(slots.SliderMax, 3);
  EXPECT_EQ(PaletteSlots(palette, 2, 3).Slot, (std::vector<int>{9, 10, 11, 12, 13, -1}));

  palette.Colors.resize(6);
  palette.PaletteFirstColor = 0;
  EXPECT_FALSE(PaletteSlots(palette, 2, 3).Scrolls);
  palette.Colors.resize(4);
  EXPECT_EQ(PaletteSlots(palette, 2, 3).Slot, (std::vector<int>{0, 1, 2, 3, -1, -1}));
}

TEST(PaletteTest, SlotPlacesNeedOneWholePairPerSlot) {
  EXPECT_EQ(PalettePlaces("11,105; 52,105;93,105", 3).size(), 3u);
  EXPECT_TRUE(PalettePlaces("11,105; 52,105", 3).empty());
  EXPECT_TRUE(PalettePlaces("11,105; 52,x; 9,9", 3).empty());
  EXPECT_EQ(PalettePlaces("121,596, 188,596", 2)[1].X, 188);
}

TEST_F(MainStateTest, APaletteColourTintsOnceAndTheSameColourRecordsNothing) {
  TLayer& layer = desk.Add();
  desk.Select(0);
  state.SetDeskMode(dmColoration);
  state.PaletteColorPicked(0x204080);
  EXPECT_EQ(layer.Color(), 0x204080);
  EXPECT_EQ(layer.History().size(), 1u);
  EXPECT_FALSE(state.Saved.Work);
  state.Saved.Work = true;
  state.PaletteColorPicked(0x204080);
  EXPECT_EQ(layer.History().size(), 1u);
  EXPECT_TRUE(state.Saved.Work);

  layer.Mask.SetRegionIndex(2);
  state.PaletteColorPicked(0x102030);
  EXPECT_EQ(layer.Mask.GetRegionColor(2), 0x102030);
  EXPECT_EQ(layer.Color(), 0x204080);
  ASSERT_EQ(layer.History().size(), 2u);
  EXPECT_EQ(layer.History().back()->RegionIndex, 2);
  state.PaletteColorPicked(0x102030);
  EXPECT_EQ(layer.History().size(), 2u);

  state.SetDeskMode(dmPaint);  // the brush takes the colour, the layer keeps its own
  state.PaletteColorPicked(0x0A141E);
  EXPECT_EQ(state.BrushColorRed, 0x1E);
  EXPECT_EQ(state.BrushColorBlue, 0x0A);
  EXPECT_EQ(layer.History().size(), 2u);
}
