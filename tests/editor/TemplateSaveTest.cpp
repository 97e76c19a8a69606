// Saving a layer or a region as a template: the files judged by psd-tools and
// Python's zlib, the list line read back by the template browser's reader, and
// the ways a save can fail without leaving half a template behind.
#include <gtest/gtest.h>

#include <cerrno>

#include "editor/LayerRegions.h"
#include "editor/TemplateSave.h"
#include "picture/Layer.h"
#include "platform/FileIO.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "support/FakeLayerHost.h"
#include "support/PictureJudges.h"
#include "support/SaveGuarantee.h"

namespace {

const TPartTypeRecord kHair{3, "Hairstyles", "Hair\\Mine", 20, "F"};

struct Saving : ::testing::Test {
  TempFolder exe;
  FakeLayerHost host;
  std::vector<std::string> ids;
  std::function<std::string()> newId = [this] {
    const std::string id = ids.empty() ? "55555555" : ids.front();
    if (!ids.empty()) ids.erase(ids.begin());
    return id;
  };
  void SetUp() override { base.Types = {kHair, {7, "Nails", "Nails", 30, "N"}, {8, "Bodies", "Body", 5, "B"}}; }
  TTemplateBase base;
};

}  // namespace

TEST_F(Saving, LayerTemplateReadsBackInPsdToolsZlibAndTheBrowsersList) {
  TLayer layer(host, TestPicture(37, 23, true));
  layer.Left = 140;
  layer.Top = 90;
  for (int y = 4; y < 15; ++y)
    for (int x = 2; x < 30; ++x) layer.Mask.Map().At(x, y) = 0x05;  // regions 1 and 3
  layer.SetRed(80);
  TColorValues region = layer.Mask.RegionValues(1);
  region.Hue = 160;
  layer.Mask.SetRegionValues(1, region);
  const TBitmap32 rendered = layer.RenderedPicture();
  ASSERT_FALSE(rendered == layer.Picture) << "the colours are not in what is saved";

  // The list exists with a last line that has no line end.
  WriteTestFile(exe / "PartBase.txt", "3;1;2;Old.psd;Old one;");
  ASSERT_TRUE(base.LoadList(exe.Path(), nullptr));
  ids = {"12345678", "12345678", "87654321"};
  WriteTestFile(exe / "Hair" / "Mine" / "12345678.psd", "taken");
  const TTemplateSaveResult saved =
      SaveTemplate(exe.Path(), kHair, "  My;\r\ncurls  ", LayerTemplate(layer, {100, 50}), newId);
  ASSERT_EQ(saved.Fault, TTemplateSaveFault::None);
  EXPECT_EQ(saved.FileName, "87654321.psd");
  EXPECT_TRUE(base.ListChanged(exe.Path())) << "a shown browser reloads its list";

  WriteTestFile(exe / "expected.rgba", ToRgba(rendered));
  WriteTestFile(exe / "map.bin", std::string(layer.Mask.Map().Bytes().begin(), layer.Mask.Map().Bytes().end()));
  // psd-tools' decoded channel planes (its composite would un-matte the colours
  // against white, which this merged picture is not), and Pillow's reading.
  const std::string script =
      "import sys, zlib\n"
      "from PIL import Image\n"
      "from psd_tools import PSDImage\n"
      "d=sys.argv[1]\n"
      "name=d+'/Hair/Mine/87654321.psd'\n"
      "expected=open(d+'/expected.rgba','rb').read()\n"
      "psd=PSDImage.open(name)\n"
      "assert (psd.width,psd.height,psd.channels,psd.depth)==(37,23,4,8)\n"
      "planes=psd._record.image_data.get_data(psd._record.header)\n"
      "assert bytes(v for px in zip(*planes) for v in px)==expected, 'psd-tools pixels'\n"
      "assert Image.open(name).tobytes()==expected, 'pillow pixels'\n"
      "assert zlib.decompress(open(d+'/Hair/Mine/87654321.msk','rb').read())==open(d+'/map.bin','rb').read()\n"
      "print('ok')\n";
  EXPECT_EQ(RunPython(script, Quoted(exe.Path())), "ok\n");

  ASSERT_TRUE(base.LoadList(exe.Path(), nullptr));
  ASSERT_EQ(base.List.size(), 2u);
  EXPECT_EQ(base.List[0].Name, "Old one");
  const TPartInfoRecord& entry = base.List[1];
  EXPECT_EQ(entry.PartType, 3);
  EXPECT_EQ(entry.FileName, "Hair\\Mine\\87654321.psd");
  EXPECT_EQ(entry.Name, "Mycurls");
  EXPECT_EQ(entry.X, 40);
  EXPECT_EQ(entry.Y, 40);
  EXPECT_EQ(entry.Flags, "?USCR=Y;");

  // The same name again makes a second entry; a layer without regions no mask.
  TLayer plain(host, TestPicture(5, 5, false));
  const TTemplateSaveResult again = SaveTemplate(exe.Path(), kHair, "Mycurls", LayerTemplate(plain, {-1, -1}), newId);
  ASSERT_EQ(again.Fault, TTemplateSaveFault::None);
  EXPECT_FALSE(fs::exists(exe / "Hair" / "Mine" / ChangeFileExt(again.FileName, ".msk")));
  EXPECT_EQ(ReadTextLines(exe / "PartBase.txt")->back(), "3;0;0;55555555.psd;Mycurls;?UsCr=Y;");
}

TEST_F(Saving, OffsetsByKindAndFailuresLeaveNothingHalfDone) {
  TTemplateToSave entry{TestPicture(4, 4, true), {1, 2, 3}, {-30, 12}};
  EXPECT_EQ(TemplateOffsets("B", entry.OffsetToFace), (TPoint{0, 0}));
  EXPECT_EQ(TemplateOffsets("N", entry.OffsetToFace), (TPoint{100, 100}));
  EXPECT_EQ(TemplateOffsets("F", entry.OffsetToFace), (TPoint{-30, 12}));
  EXPECT_EQ(FaceOffset({10, 20}, {-1, 5}), (TPoint{0, 15}));

  // A missing list is created.
  ASSERT_EQ(SaveTemplate(exe.Path(), base.Types[1], "Red", entry, newId).Fault, TTemplateSaveFault::None);
  EXPECT_EQ(*ReadTextLines(exe / "PartBase.txt"),
            (std::vector<std::string>{"7;100;100;55555555.psd;Red;?UsCr=Y;"}));

  // Nothing to name it: nothing written.
  EXPECT_EQ(SaveTemplate(exe.Path(), kHair, " ;\n ", entry, newId).Fault, TTemplateSaveFault::NoName);
  EXPECT_FALSE(fs::exists(exe / "Hair"));

  // A folder that cannot be made.
  WriteTestFile(exe / "Blocked", "a file");
  const TTemplateSaveResult blocked =
      SaveTemplate(exe.Path(), {9, "x", "Blocked\\Sub", 1, "F"}, "A", entry, newId);
  EXPECT_EQ(blocked.Fault, TTemplateSaveFault::NoFolder);
  EXPECT_NE(blocked.Folder.find("Blocked\\Sub\\"), std::string::npos);

  // A list that cannot be written: the picture and mask go again, the list stays.
  fs::remove(exe / "PartBase.txt");
  fs::create_directory(exe / "PartBase.txt");
  const TTemplateSaveResult listless = SaveTemplate(exe.Path(), kHair, "A", entry, newId);
  EXPECT_EQ(listless.Fault, TTemplateSaveFault::ListFailed);
  EXPECT_EQ(listless.Detail, "Denied access to file PartBase.txt");
  EXPECT_TRUE(fs::is_empty(exe / "Hair" / "Mine"));
}

TEST_F(Saving, ATemplateThatCannotBeWrittenNamesTheFileAndTheCause) {
  const TTemplateToSave entry{TestPicture(64, 64, true), {}, {0, 0}};
  FullDisk disk;
  TTemplateSaveResult result;
  const auto save = [&] {
    result = SaveTemplate(disk.Path(), kHair, "Full", entry, newId);
    return result.Fault == TTemplateSaveFault::None;
  };
  // Without a mount allowed here, a file size limit stands in for the full disk.
  EXPECT_FALSE(disk.Full() ? save() : SaveUnderSizeLimit(10, save));
  EXPECT_EQ(result.Fault, TTemplateSaveFault::PictureFailed);
  EXPECT_EQ(result.Failure.System, disk.Full() ? ENOSPC : EFBIG);
  EXPECT_EQ(result.Failure.Path, disk.Path() / "Hair" / "Mine" / "55555555.psd");
}

TEST(RegionCut, BoundsMarginOffsetsAndTransparentRegions) {
  TBitmap32 picture(20, 12, Color32(10, 20, 30, 200));
  TMaskA map(20, 12, 0);
  for (int y = 3; y < 7; ++y)
    for (int x = 4; x < 12; ++x) map.At(x, y) = 0x02;  // region 2: 8 x 4 at (4, 3)
  picture.SetPixel(4, 3, Color32(10, 20, 30, 0));         // a transparent corner moves no bound
  map.At(15, 10) = 0x01;                                   // region 1: one transparent pixel
  picture.SetPixel(15, 10, Color32(1, 2, 3, 0));
  const auto cut = CutRegion(picture, map, 2, {100, 200}, {90, 150});
  ASSERT_TRUE(cut);
  // Bounds (4, 3)-(12, 7), margin 8 / 4 = 2: a 10 x 6 picture, the region at (1, 1).
  ASSERT_EQ(cut->Picture.Width(), 10);
  ASSERT_EQ(cut->Picture.Height(), 6);
  EXPECT_EQ(cut->Picture.Pixel(0, 0), 0x00FFFFFFu);
  EXPECT_EQ(cut->Picture.Pixel(1, 1), Color32(10, 20, 30, 0));
  EXPECT_EQ(cut->Picture.Pixel(8, 4), Color32(10, 20, 30, 200));
  EXPECT_EQ(cut->Picture.Pixel(9, 5), 0x00FFFFFFu);
  EXPECT_EQ(cut->DX, 100 - 90 + 4 - 1);
  EXPECT_EQ(cut->DY, 200 - 150 + 3 - 1);
  EXPECT_EQ(CutRegion(picture, map, 2, {100, 200}, {-1, -1})->DX, 0);
  // Only transparent pixels, or none at all: no template.
  EXPECT_FALSE(CutRegion(picture, map, 1, {0, 0}, {-1, -1}));
  EXPECT_FALSE(CutRegion(picture, map, 5, {0, 0}, {-1, -1}));

  // Thumbnails: 0 and an empty region stay white; the fitted map follows the
  // fitted picture (20 x 12 into 50: 50 x 30 at row 10).
  const auto thumbs = RegionThumbnails(picture, map, 50);
  const TBitmap32 white(50, 50, 0xFFFFFFFF);
  EXPECT_EQ(thumbs[0], white);
  EXPECT_EQ(thumbs[5], white);
  // The picture over white at its alpha (the stretch may move a channel by 1).
  const TColor32 shown = thumbs[2].Pixel(25, 20);
  const int expected[3] = {255 + (10 - 255) * 200 / 255, 255 + (20 - 255) * 200 / 255, 255 + (30 - 255) * 200 / 255};
  EXPECT_NEAR(RedOf(shown), expected[0], 1);
  EXPECT_NEAR(GreenOf(shown), expected[1], 1);
  EXPECT_NEAR(BlueOf(shown), expected[2], 1);
  EXPECT_EQ(thumbs[2].Pixel(25, 5), 0xFFFFFFFFu);   // above the picture
  EXPECT_EQ(thumbs[2].Pixel(40, 20), 0xFFFFFFFFu);  // picture, but not region 2
}
