#include <gtest/gtest.h>

#include "picture/Bmp32.h"
#include "picture/Layer.h"
#include "picture/PsdFile.h"
#include "support/FakeLayerHost.h"
#include "support/PictureCompare.h"
#include "support/TestPaths.h"

namespace {

TBitmap32 Pattern(int w, int h) {
  TBitmap32 p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.SetPixel(x, y, Color32(std::uint8_t(10 * x), std::uint8_t(20 * y), 99, 200));
  return p;
}

std::vector<std::uint8_t> MaskFile(int w, int h, int region, TRect rect) {
  TBitmap32 picture(w, h);
  TMask mask;
  mask.SetBitmap(&picture);
  mask.SetRegionIndex(region);
  mask.SetWorkRect(rect);
  mask.Apply(kMaskSetRect);
  return mask.FileBytes();
}

std::string Text(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace

TEST(LayerFromFile, PhotoshopPictureWithTheMaskBesideIt) {
  TempFolder dir;
  const fs::path folder = dir / "Content.v2" / "Hair";
  fs::create_directories(folder);
  ASSERT_TRUE(SavePsdFile(Pattern(6, 4), folder / "long.psd"));
  WriteTestFile(folder / "long.msk", Text(MaskFile(6, 4, 3, {1, 1, 4, 3})));
  WriteTestFile(dir / "Content.msk", Text(MaskFile(6, 4, 1, {0, 0, 6, 4})));  // cut at the first dot: never read
  FakeLayerHost host;
  auto made = TLayer::CreateFromFile(host, (folder / "long.psd").string(), {"", dir.Path().string() + "/CONTENT.V2/"});
  ASSERT_TRUE(made) << made.Error().Text();
  const std::unique_ptr<TLayer>& layer = *made;
  EXPECT_TRUE(SamePicture(layer->Picture, Pattern(6, 4)));
  EXPECT_EQ(layer->SourceFile, "Hair/long.psd");
  EXPECT_EQ(layer->Mask.UsedRegions(), (std::vector<int>{3}));
  EXPECT_TRUE(layer->Mask.PixelInRegion(1, 1, 3));
  EXPECT_FALSE(layer->Mask.PixelInRegion(0, 0, 3));
  EXPECT_EQ(layer->Mask.FileName, (folder / "long.msk").string());
  EXPECT_EQ(layer->Caption, "");  // until its creator names it
  EXPECT_EQ(layer->TypeId, -1);
  EXPECT_EQ(layer->EditMode(), emCreated);
  EXPECT_EQ(layer->BaseMask(), layer->Mask.Map());
}

TEST(LayerFromFile, ADottedTemplateNameFindsTheMaskNamedUpToItsFirstDot) {
  TempFolder dir;
  const fs::path folder = dir / "Hair.v2";
  fs::create_directories(folder);
  ASSERT_TRUE(SavePsdFile(Pattern(6, 4), folder / "Bob.curly.psd"));
  WriteTestFile(folder / "Bob.msk", Text(MaskFile(6, 4, 2, {0, 0, 2, 2})));
  WriteTestFile(folder / "Bob.curly.msk", Text(MaskFile(6, 4, 5, {0, 0, 6, 4})));  // never read
  WriteTestFile(dir / "Hair.msk", Text(MaskFile(6, 4, 7, {0, 0, 6, 4})));          // nor the folder cut
  FakeLayerHost host;
  auto made = TLayer::CreateFromFile(host, (folder / "Bob.curly.psd").string(), {});
  ASSERT_TRUE(made) << made.Error().Text();
  const std::unique_ptr<TLayer>& layer = *made;
  EXPECT_EQ(layer->Mask.UsedRegions(), (std::vector<int>{2}));
  EXPECT_EQ(layer->Mask.FileName, (folder / "Bob.msk").string());
}

TEST(LayerFromFile, AMaskOfAnotherSizeLeavesNoRegions) {
  TempFolder dir;
  ASSERT_TRUE(SavePsdFile(Pattern(6, 4), dir / "a.psd"));
  WriteTestFile(dir / "a.msk", Text(MaskFile(5, 4, 1, {0, 0, 5, 4})));
  FakeLayerHost host;
  auto made = TLayer::CreateFromFile(host, (dir / "a.psd").string(), {});
  ASSERT_TRUE(made) << made.Error().Text();
  const std::unique_ptr<TLayer>& layer = *made;
  EXPECT_TRUE(layer->Mask.UsedRegions().empty());
  EXPECT_EQ(layer->Mask.MaxX(), 5);
}

TEST(LayerFromFile, OtherPicturesGoThroughTheImagingLibrary) {
  TempFolder dir;
  const fs::path png = dir / "cap.png";
  ASSERT_EQ(RunCommand("/usr/bin/python3 -c \"from PIL import Image; im=Image.new('RGB',(5,3),(200,100,50));"
                       " im.putpixel((4,2),(1,2,3)); im.save('" + png.string() + "')\""), 0);
  FakeLayerHost host;
  auto made = TLayer::CreateFromFile(host, png.string(), {});
  ASSERT_TRUE(made) << made.Error().Text();
  const std::unique_ptr<TLayer>& layer = *made;
  EXPECT_EQ(layer->Width(), 5);
  EXPECT_EQ(layer->Height(), 3);
  EXPECT_EQ(layer->Picture.Pixel(0, 0), Color32(200, 100, 50));
  EXPECT_EQ(layer->Picture.Pixel(4, 2), Color32(1, 2, 3));
  EXPECT_EQ(layer->Id, "10000000");
  EXPECT_EQ(layer->Mask.MaxY(), 2);
  EXPECT_EQ(layer->EditMode(), emCreated);
}

TEST(LayerFromFile, MissingOrBrokenFilesNameTheFileAndTheCause) {
  TempFolder dir;
  FakeLayerHost host;
  auto failure = [&](const fs::path& file) -> std::string {
    const auto layer = TLayer::CreateFromFile(host, file.string(), {});
    return layer ? "loaded" : layer.Error().Text();
  };
  EXPECT_EQ(failure(dir / "none.psd"), (dir / "none.psd").string() + ": there is no such file");
  WriteTestFile(dir / "bad.fcc", "not zlib");
  EXPECT_EQ(failure(dir / "bad.fcc"), (dir / "bad.fcc").string() + ": Invalid PSD format");
  WriteTestFile(dir / "bad.png", "not a picture");
  EXPECT_NE(failure(dir / "bad.png").find((dir / "bad.png").string() + ": "), std::string::npos);
}

TEST(LayerFromStorage, TakesPictureMaskAndStoredSettings) {
  FakeLayerStorage storage;
  storage.Put("12345678.bmp", EncodeBmp32(Pattern(7, 5)));
  TBitmap32 sized(7, 5);
  TMask mask;
  mask.SetBitmap(&sized);
  mask.SetRegionIndex(2);
  mask.SetWorkRect({0, 0, 3, 5});
  mask.Apply(kMaskSetRect);
  mask.SetRegionHue(2, 150);
  std::vector<std::uint8_t> stream;
  mask.SaveToStream(stream);
  storage.Put("12345678.MSK", stream);
  FakeLayerHost host;
  host.ids = {"12345678"};  // already on the desk: a fresh id is taken
  TLayerRecord record;
  record.Id = "12345678";
  record.Caption = "Fringe";
  record.TypeId = 7;
  record.Left = -12;
  record.Top = 30;
  record.Visible = false;
  record.Values.Red = 61;
  record.Values.Contrast = 140;
  record.Values.Opacity = 55;
  record.Level = 3;
  record.SourceFile = "Hair\\f.psd";
  auto made = TLayer::CreateFromStorage(host, storage, record);
  ASSERT_TRUE(made) << made.Error().Text();
  const std::unique_ptr<TLayer>& layer = *made;
  EXPECT_TRUE(SamePicture(layer->Picture, Pattern(7, 5)));
  EXPECT_EQ(layer->Id, "10000000");
  EXPECT_EQ(layer->Caption, "Fringe");
  EXPECT_EQ(layer->TypeId, 7);
  EXPECT_EQ(layer->Left, -12);
  EXPECT_EQ(layer->Top, 30);
  EXPECT_FALSE(layer->Visible());
  EXPECT_EQ(layer->Red(), 61);
  EXPECT_EQ(layer->Contrast(), 140);
  EXPECT_EQ(layer->Opacity(), 55);
  EXPECT_EQ(layer->Level(), 3);
  EXPECT_EQ(layer->SourceFile, "Hair\\f.psd");
  EXPECT_EQ(layer->Mask.UsedRegions(), (std::vector<int>{2}));
  EXPECT_EQ(layer->Mask.GetRegionHue(2), 150);
  EXPECT_EQ(layer->Mask.FileName, "12345678.msk");
}

TEST(LayerFromStorage, AMissingOrBadPictureIsDamagedAndAnEmptyMaskIsNoRegions) {
  FakeLayerStorage storage;
  FakeLayerHost host;
  TLayerRecord record;
  record.Id = "1";
  const auto missing = TLayer::CreateFromStorage(host, storage, record);
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.Error().Cause, TFileFault::Damaged);
  EXPECT_EQ(missing.Error().Text(), "1.bmp: Stream 1.bmp is missing");
  storage.Put("1.bmp", {1, 2, 3});
  const auto bad = TLayer::CreateFromStorage(host, storage, record);
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.Error().Cause, TFileFault::Damaged);
  EXPECT_EQ(bad.Error().Reason(), "Stream 1.bmp is not a valid bitmap");
  storage.Put("1.bmp", EncodeBmp32(Pattern(3, 3)));
  storage.Put("1.msk", {});
  auto layer = TLayer::CreateFromStorage(host, storage, record);
  ASSERT_TRUE(layer);
  EXPECT_TRUE((*layer)->Mask.UsedRegions().empty());
  EXPECT_EQ((*layer)->Mask.MaxX(), 2);
}
