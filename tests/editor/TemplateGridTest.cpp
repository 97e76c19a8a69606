// The template browser's grid: cells, fitting, hit test, scrolling and file lookup.
#include <gtest/gtest.h>

#include "support/TestPaths.h"
#include "editor/TemplateGrid.h"
#include "platform/ProgramFolders.h"
#include "shell/MainSettings.h"

TEST(TemplateGrid, CellsOfTheDesignedImage) {
  const TTemplateGrid grid(184, 265, 2, 4);
  EXPECT_EQ(grid.CellWidth(), 92);
  EXPECT_EQ(grid.CellHeight(), 66);
  EXPECT_EQ(grid.Cell(3, 1), Bounds(92, 198, 92, 66));
}

TEST(TemplateGrid, FittingKeepsSmallPicturesAndRoundsHalvesToEven) {
  const TTemplateGrid grid(184, 265, 2, 4);
  const TRect cell = grid.Cell(1, 1);  // (92, 66) 92 x 66
  // No larger than the cell: own size, centred with truncated halves.
  EXPECT_EQ(grid.FitPicture(cell, 31, 21), Bounds(92 + 30, 66 + 22, 31, 21));
  EXPECT_EQ(grid.FitPicture(cell, 92, 66), cell);
  // Wide: full width; height 95 / 2 = 47.5 -> 48, top (66 - 48) / 2 = 9.
  EXPECT_EQ(grid.FitPicture(cell, 184, 95), Bounds(92, 66 + 9, 92, 48));
  // Height 47, top 9.5 -> 10; height 45, top 10.5 -> 10.
  EXPECT_EQ(grid.FitPicture(cell, 184, 94), Bounds(92, 66 + 10, 92, 47));
  EXPECT_EQ(grid.FitPicture(cell, 184, 90), Bounds(92, 66 + 10, 92, 45));
  // 300 x 200 is flatter than the cell: the width decides; height 61.3 -> 61,
  // top 2.5 -> 2.
  EXPECT_EQ(grid.FitPicture(cell, 300, 200), Bounds(92, 66 + 2, 92, 61));
  // 101 x 132: width 101 / 2 = 50.5 -> 50, left (92 - 50) / 2 = 21.
  EXPECT_EQ(grid.FitPicture(cell, 101, 132), Bounds(92 + 21, 66, 50, 66));
  // 103 x 132: width 51.5 -> 52, left 20.
  EXPECT_EQ(grid.FitPicture(cell, 103, 132), Bounds(92 + 20, 66, 52, 66));
}

TEST(TemplateGrid, ScrollRangeAndSteps) {
  const TTemplateGrid grid(184, 265, 2, 4);
  EXPECT_EQ(grid.ScrollMax(0), 0);
  EXPECT_EQ(grid.ScrollMax(8), 0);
  EXPECT_EQ(grid.ScrollMax(9), 1);   // a partial last row still counts
  EXPECT_EQ(grid.ScrollMax(10), 1);
  EXPECT_EQ(grid.ScrollMax(11), 2);
  EXPECT_EQ(grid.ScrollStep(0, 11, true, false), 1);
  EXPECT_EQ(grid.ScrollStep(1, 11, true, true), 2);    // a page clamps at the maximum
  EXPECT_EQ(grid.ScrollStep(2, 11, true, false), 2);   // nothing at the end
  EXPECT_EQ(grid.ScrollStep(2, 11, false, true), 0);
  EXPECT_EQ(grid.ScrollStep(0, 11, false, false), 0);
}

TEST(TemplateGrid, HitTestDividesByTheCellSize) {
  const TTemplateGrid grid(184, 265, 2, 4);
  // The first pixel row and column of a cell belong to it.
  EXPECT_EQ(grid.HitTest(92, 66, 0, 8), 3);
  EXPECT_EQ(grid.HitTest(91, 65, 0, 8), 0);
  EXPECT_EQ(grid.HitTest(0, 0, 0, 8), 0);
  // Scrolled by two rows: the top left cell is entry 4.
  EXPECT_EQ(grid.HitTest(5, 5, 2, 11), 4);
  // A partial last row: the empty cell is no entry.
  EXPECT_EQ(grid.HitTest(100, 200, 0, 7), std::nullopt);
  EXPECT_EQ(grid.HitTest(10, 200, 0, 7), 6);
  // The strip below the last row that the integer cell height leaves over.
  EXPECT_EQ(grid.HitTest(10, 264, 0, 20), std::nullopt);
  EXPECT_EQ(grid.HitTest(-1, 10, 0, 20), std::nullopt);
}

TEST(TemplateFiles, OneExistenceRuleWithThePictureExtensions) {
  TempFolder hd, exe;
  SetProgramFolders(exe.Path());
  TContentFolders content;
  content.HDPath = hd.Path().string() + "/";
  WriteTestFile(exe / "HairW/Bob.psd", "x");
  WriteTestFile(exe / "HairW/Pony.FCC", "x");
  WriteTestFile(hd / "HairW/Bob.fll", "x");

  // The apply order looks in HDPath first; a missing CDPath means the installation.
  EXPECT_EQ(TemplateApplyFolders(content), (std::vector<std::string>{content.HDPath, InstallationFolder(), InstallationFolder()}));
  EXPECT_EQ(TemplatePreviewFolders(content), (std::vector<std::string>{InstallationFolder(), content.HDPath}));
  EXPECT_EQ(FindTemplateFile(TemplateApplyFolders(content), "hairw\\bob.psd"), hd / "HairW/Bob.fll");
  EXPECT_EQ(FindTemplateFile(TemplatePreviewFolders(content), "HAIRW\\BOB.PSD"), exe / "HairW/Bob.psd");
  // A stored name with another of the loader's extensions finds the file.
  EXPECT_EQ(FindTemplateFile(TemplateApplyFolders(content), "HairW\\Pony.psd"), exe / "HairW/Pony.FCC");
  EXPECT_EQ(FindTemplateFile(TemplateApplyFolders(content), "HairW\\Gone.psd"), std::nullopt);
  SetProgramFolders({});
}
