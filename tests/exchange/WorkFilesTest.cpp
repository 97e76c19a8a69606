#include <gtest/gtest.h>

#include "exchange/PictureOutput.h"
#include "exchange/WorkFiles.h"
#include "picture/LoadedWork.h"
#include "picture/Compression.h"
#include "platform/CompoundFile.h"
#include "platform/FileIO.h"
#include "support/FakeDeskOwner.h"
#include "support/FakeWorkPorts.h"
#include "support/PeakMemory.h"
#include "support/SaveGuarantee.h"
#include "support/TestPaths.h"

namespace {
std::optional<TFileFault> FailureOf(const TFileResult<>& result) {
  if (result) return std::nullopt;
  return result.Error().Cause;
}

class WorkFiles : public ::testing::Test, public DeskFixture {
 protected:
  void SetUp() override {
    SetSmallDesk(200, 200, 300, 300);
  }
  FakeWorkPorts ports;
  TWorkFiles files{desk, ports};
  TempFolder dir;

  // Three layers: a portrait at the bottom, a hidden one, and one with two
  // regions carrying their own values; slots, markers and the active layer set.
  void BuildWork() {
    TLayer& portrait = Add(40, 30, Color32(200, 150, 120), 5, 6, 0, "Portrait");
    TLayer& hidden = Add(10, 10, Color32(0, 0, 255, 77), 50, 60, 4, "Hidden");
    TLayer& hair = Add(20, 16, Color32(60, 40, 20), -3, 2, 9, "Hair");
    hidden.SetVisible(false);
    hair.SetOpacity(70);
    hair.SetHue(140);
    for (int x = 0; x < 20; ++x) hair.Picture.SetPixel(x, 0, Color32(60, 40, 20, std::uint8_t(x * 13)));
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 20; ++x) hair.Mask.Map().At(x, y) = x < 10 ? 1 : 2;
    TColorValues band = hair.Mask.RegionValues(2);
    band.Red = 80;
    band.Opacity = 40;
    hair.Mask.SetRegionValues(2, band);
    desk.SetPortraitLayer(&portrait);
    desk.SetHandLayer(&hidden);
    desk.SetBodyLayer(&hair);
    desk.SelectLayer(desk.IndexOfLayer(&hidden));
    desk.Points.Face = {100, 120};
    desk.Points.Body = {7, 8};
    desk.Points.HandMarkers[0].X = 11;
    desk.Points.HandMarkers[0].Y = 12;
    desk.Points.HandMarkers[0].Width = 13;
    desk.Points.HandMarkers[0].Length = 14;
    // The file keeps the marker's angle on the canvas, not the one on the screen.
    desk.Points.HandMarkers[0].Angle = -30;
    desk.Points.HandMarkers[0].ViewAngle = 12;
  }

  // The desk's work saved as a container whose list names its top layer
  // `repeats` times more at its end.
  bool SaveListingTopLayerAgain(const fs::path& file, int repeats) {
    if (!files.SaveWork(dir / "plain.tsu")) return false;
    auto reader = *TCompoundFileReader::Open(dir / "plain.tsu");
    const std::vector<std::uint8_t> listBytes = *reader->ReadStream("ListFile.txt");
    std::string list(listBytes.begin(), listBytes.end());
    const std::size_t line = list.find("LAYER=" + desk.Layer(0).Id);
    if (line == std::string::npos) return false;
    const std::string again = list.substr(line, list.find('\r', line) + 1 - line);
    for (int i = 0; i < repeats; ++i) list += again;
    TCompoundFileWriter w;
    w.AddStream("ListFile.txt", list);
    for (const std::string& name : reader->StreamNames())
      if (name != "ListFile.txt") w.AddStream(name, *reader->ReadStream(name));
    return w.Save(file).Ok();
  }

  void ExpectSameWork(const std::vector<TLayerRecord>& before, const std::vector<TBitmap32>& pictures,
                      int colourTolerance) {
    ASSERT_EQ(desk.LayerCount(), int(before.size()));
    for (int i = 0; i < desk.LayerCount(); ++i) {
      TLayerRecord now = LayerRecordOf(desk.Layer(i));
      EXPECT_EQ(LayerRecordLine(now), LayerRecordLine(before[std::size_t(i)]));
      const TBitmap32& a = desk.Layer(i).Picture;
      const TBitmap32& b = pictures[std::size_t(i)];
      ASSERT_EQ(a.Width(), b.Width());
      for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
          ASSERT_EQ(AlphaOf(a.Pixel(x, y)), AlphaOf(b.Pixel(x, y))) << i << " at " << x << "," << y;
          if (AlphaOf(b.Pixel(x, y)) == 255) {
            ASSERT_NEAR(RedOf(a.Pixel(x, y)), RedOf(b.Pixel(x, y)), colourTolerance);
          }
        }
    }
    TLayer& hair = desk.Layer(0);
    EXPECT_EQ(hair.Mask.Map().At(3, 3), 1);
    EXPECT_EQ(hair.Mask.Map().At(15, 3), 2);
    EXPECT_EQ(hair.Mask.RegionValues(2).Red, 80);
    EXPECT_EQ(hair.Mask.RegionValues(2).Opacity, 40);
    EXPECT_EQ(desk.PortraitLayer(), &desk.Layer(2));
    EXPECT_EQ(desk.HandLayer(), &desk.Layer(1));
    EXPECT_EQ(desk.BodyLayer(), &desk.Layer(0));
    EXPECT_EQ(desk.SelectedIndex(), 1);
    EXPECT_EQ(desk.Points.Face, (TPoint{100, 120}));
    EXPECT_EQ(desk.Points.Body, (TPoint{7, 8}));
    EXPECT_EQ(desk.Points.HandMarkers[0].X, 11);
    EXPECT_EQ(desk.Points.HandMarkers[0].Length, 14);
    EXPECT_EQ(desk.Points.HandMarkers[0].Angle, -30);
    EXPECT_EQ(desk.Points.HandMarkers[1].X, -1);
  }

  void RoundTrip(const std::string& name, int colourTolerance) {
    BuildWork();
    std::vector<TLayerRecord> before;
    std::vector<TBitmap32> pictures;
    for (int i = 0; i < desk.LayerCount(); ++i) {
      before.push_back(LayerRecordOf(desk.Layer(i)));
      pictures.push_back(desk.Layer(i).Picture);
    }
    ports.saved.Work = false;
    ASSERT_TRUE(files.SaveWork(dir / name));
    EXPECT_TRUE(ports.saved.Work);
    desk.ClearLayers();
    desk.Points = TWorkPoints{};
    ports.saved = {false, false};
    ASSERT_TRUE(files.LoadWorkFromFile(dir / name));
    EXPECT_TRUE(ports.saved.Work && ports.saved.Image);  // as the file holds it
    EXPECT_TRUE(ports.messages.empty());
    ExpectSameWork(before, pictures, colourTolerance);
    EXPECT_TRUE(fs::exists(dir / name));  // the user's file is never removed
    EXPECT_EQ(ports.portrait.Width(), 40);
    EXPECT_EQ(files.LastWorkFileName, fs::path(name).stem().string());
    // Only the layer with regions holds a map, and saved again the work stores
    // the same streams but its preview (a compressed work: the same mask
    // streams, since its pictures pass through JPEG again).
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(std::as_const(desk.Layer(i).Mask).GetMap().HasCells(), i == 0) << desk.Layer(i).Caption;
    const fs::path again = dir / ("again" + fs::path(name).extension().string());
    ASSERT_TRUE(files.SaveWork(again));
    if (colourTolerance == 0) {
      auto a = *TCompoundFileReader::Open(dir / name), b = *TCompoundFileReader::Open(again);
      ASSERT_TRUE(a && b);
      EXPECT_EQ(a->StreamNames(), b->StreamNames());
      for (const std::string& stream : a->StreamNames()) {
        if (stream == "preview.jpg") continue;
        EXPECT_TRUE(a->ReadStream(stream) == b->ReadStream(stream)) << stream;
      }
    } else {
      const auto first = ReadFileBytes(dir / name), second = ReadFileBytes(again);
      ASSERT_TRUE(first && second);
      const auto a = ReadCompressedWork(*first), b = ReadCompressedWork(*second);
      ASSERT_TRUE(a && b);
      ASSERT_EQ(a->Layers.size(), 3u);
      ASSERT_EQ(b->Layers.size(), 3u);
      for (std::size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(std::ranges::equal(a->Layers[i].Mask, b->Layers[i].Mask)) << i;
    }
  }
};
}  // namespace

TEST_F(WorkFiles, ContainerRoundTripKeepsEveryValueAndAlphaByte) { RoundTrip("work.tsu", 0); }

TEST_F(WorkFiles, CompressedRoundTripKeepsValuesAndAlphaColoursWithinJpegLoss) { RoundTrip("work.tsc", 12); }

TEST_F(WorkFiles, NameWithoutWorkExtensionGetsTheCompressedOne) {
  BuildWork();
  ASSERT_TRUE(files.SaveWork(dir / "portrait.jpg"));
  EXPECT_TRUE(fs::exists(dir / "portrait.jpg.tsc"));
  EXPECT_FALSE(fs::exists(dir / "portrait.jpg"));
}

TEST_F(WorkFiles, FailedSaveReportsAndLeavesTheFlagClear) {
  BuildWork();
  ports.saved.Work = false;
  EXPECT_FALSE(files.SaveWork(dir / "no-such-folder" / "w.tsc"));
  EXPECT_FALSE(ports.saved.Work);
  EXPECT_EQ(ports.messages, (std::vector<std::string>{"MessageUnableSaveWork"}));
  EXPECT_EQ(ports.details, (std::vector<std::string>{(dir / "no-such-folder" / "w.tsc").string() +
                                                     "\rThe folder does not exist."}));
  desk.ClearLayers();
  EXPECT_FALSE(files.SaveWork(dir / "w.tsc"));
  EXPECT_EQ(ports.messages.back(), "MessageWorkIsEmpty");
}

// The picture save dialog suggests the name of the work last saved or opened;
// an empty desk is refused before any dialog asks for a name.
TEST_F(WorkFiles, TheWorkNameBecomesThePicturesNameAndAnEmptyDeskIsToldFirst) {
  EXPECT_FALSE(files.CheckWorkToSave());
  EXPECT_EQ(ports.messages, std::vector<std::string>{"MessageWorkIsEmpty"});
  BuildWork();
  EXPECT_TRUE(files.CheckWorkToSave());
  EXPECT_EQ(ports.messages.size(), 1u);
  files.LastImageFileName = "earlier picture";
  ASSERT_TRUE(files.SaveWork(dir / "Bob.tsc"));
  EXPECT_EQ(files.LastImageFileName, "Bob");
  fs::rename(dir / "Bob.tsc", dir / "Ann.tsc");
  desk.ClearLayers();
  ASSERT_TRUE(files.LoadWorkFromFile(dir / "Ann.tsc"));
  EXPECT_EQ(files.LastImageFileName, "Ann");
}

TEST_F(WorkFiles, SaveReplacesEitherFormWholeOrNotAtAll) {
  for (const char* name : {"w.tsc", "w.tsu"}) {
    desk.ClearLayers();
    Add(8, 8, Color32(1, 2, 3), 0, 0, 0, "Old");
    ASSERT_TRUE(files.SaveWork(dir / name));
    BuildWork();
    ports.messages.clear();
    ExpectSaveKeepsOldFile(dir / name, [&] { return files.SaveWork(dir / name); });
    EXPECT_EQ(ports.messages, (std::vector<std::string>{"MessageUnableSaveWork"}));
  }
}

TEST_F(WorkFiles, ASaveOntoAFullDiskNamesTheFileAndTheCause) {
  BuildWork();
  FullDisk disk;
  const fs::path file = disk.Path() / "w.tsc";
  if (disk.Full()) {
    EXPECT_FALSE(files.SaveWork(file));
    EXPECT_EQ(ports.details, (std::vector<std::string>{file.string() + "\rThere is no space left on the disk."}));
  } else {
    // No mount allowed here: a file size limit stands in for the full disk.
    EXPECT_FALSE(SaveUnderSizeLimit(100, [&] { return files.SaveWork(file); })) << "size limit, not a full disk";
    EXPECT_EQ(ports.details,
              (std::vector<std::string>{file.string() + "\rThe file is larger than the system allows."}));
  }
  EXPECT_FALSE(fs::exists(file));
}

TEST_F(WorkFiles, MergeMapsCollidingIdsToTheLayersItMade) {
  BuildWork();
  ASSERT_TRUE(files.SaveWork(dir / "w.tsu"));
  // The desk keeps its three layers (answer No) and gets the file's three on top,
  // whose ids all collide with those present.
  TLayer* oldPortrait = desk.PortraitLayer();
  ports.answer = 7;
  ASSERT_TRUE(files.LoadWorkFromFile(dir / "w.tsu"));
  ASSERT_EQ(desk.LayerCount(), 6);
  EXPECT_NE(desk.PortraitLayer(), oldPortrait);
  EXPECT_EQ(desk.PortraitLayer(), &desk.Layer(2));
  EXPECT_NE(desk.Layer(2).Id, oldPortrait->Id);
  EXPECT_EQ(desk.SelectedIndex(), 1);  // the file's active layer, as loaded
  EXPECT_FALSE(ports.saved.Work);
  EXPECT_FALSE(ports.saved.Image);
  EXPECT_EQ(ports.questions, (std::vector<std::string>{"ConfirmClearPrevWork"}));
}

TEST_F(WorkFiles, ALayerListedTwiceGivesTwoLayersWithRegionsOfTheirOwn) {
  BuildWork();
  ASSERT_TRUE(SaveListingTopLayerAgain(dir / "twice.tsu", 1));
  desk.ClearLayers();
  ASSERT_TRUE(files.LoadWorkFromFile(dir / "twice.tsu"));
  ASSERT_EQ(desk.LayerCount(), 4);
  TLayer& first = desk.Layer(1);
  TLayer& again = desk.Layer(0);
  ASSERT_EQ(first.Caption, "Hair");
  ASSERT_EQ(again.Caption, "Hair");
  for (TLayer* hair : {&first, &again}) {
    EXPECT_EQ(hair->Mask.UsedRegions(), (std::vector<int>{1, 2}));
    EXPECT_EQ(hair->Mask.RegionValues(2).Red, 80);
  }
  // A region drawn on one is not drawn on the other.
  again.Mask.Map().At(0, 0) = 8;
  EXPECT_EQ(first.Mask.Map().At(0, 0), 1);
}

// A work of large layers costs about its pictures while it opens, whether the
// file is small (packed pictures) or holds them as bitmaps: a container is read
// where it lies, not held whole; no second copy of a picture is held on the way
// to its layer; layers without regions hold no region map.
TEST_F(WorkFiles, OpeningAWorkCostsAboutItsLayersPixels) {
  if (!kPeakMemoryMeasurable) GTEST_SKIP() << "a sanitizer's allocator hides the peak memory of a load";
  constexpr int kSide = 3000;
  for (int i = 0; i < 3; ++i) Add(kSide, kSide, Color32(90, 60, std::uint8_t(30 * i), 200), 0, 0, i, "Big");
  ASSERT_TRUE(files.SaveWork(dir / "big.tsc"));
  ASSERT_TRUE(files.SaveWork(dir / "big.tsu"));
  const double pixelBytes = 3.0 * 4 * kSide * kSide;
  for (const char* name : {"big.tsc", "big.tsu"}) {
    SCOPED_TRACE(name);
    desk.ClearLayers();
    const TPeakMeter meter;
    ASSERT_TRUE(files.LoadWorkFromFile(dir / name));
    ASSERT_EQ(desk.LayerCount(), 3);
    EXPECT_EQ(desk.Layer(0).Picture.Pixel(kSide - 1, kSide - 1), Color32(90, 60, 60, 200));
    const auto peak = meter.PeakAbove();
    ASSERT_TRUE(peak) << "the kernel lets the peak be reset";
    const double fileBytes = double(fs::file_size(dir / name));
    EXPECT_LT(double(*peak), 1.1 * pixelBytes)
        << *peak / 1000000 << " MB at the peak for " << pixelBytes / 1e6 << " MB of pixels in a file of "
        << fileBytes / 1e6 << " MB";
  }
}

// A compressed work at the cap whose layers have no regions opens on the desk at
// the cost of its pixels: a layer's region map, a byte a pixel, is only made
// when a region is drawn.
TEST_F(WorkFiles, AWorkAtThePixelCapWithoutRegionsOpensAtTheCostOfItsPixels) {
  if (!kPeakMemoryMeasurable) GTEST_SKIP() << "a sanitizer's allocator hides the peak memory of a load";
  const int side = int(std::sqrt(double(kMaxWorkPixels) / 3));
  {
    // One picture stored three times: the file is made at the cost of one.
    const TBitmap32 picture(side, side, Color32(90, 60, 30, 200));
    TMask noRegions;
    noRegions.SetBitmap(&picture);
    TWorkLayerData layer{&picture, {}};
    noRegions.SaveToStream(layer.MaskStream);
    TWorkHeader header;
    for (int i = 0; i < 3; ++i) {
      TLayerRecord record;
      record.Id = "L" + std::to_string(i);
      record.Width = record.Height = side;
      header.Layers.push_back(record);
    }
    ASSERT_TRUE(WriteFileAtomic(dir / "cap.tsc", BuildCompressedWork(header, {layer, layer, layer}, TBitmap32(8, 8))));
  }
  const TPeakMeter meter;
  ASSERT_TRUE(files.LoadWorkFromFile(dir / "cap.tsc"));
  ASSERT_EQ(desk.LayerCount(), 3);
  EXPECT_EQ(desk.Layer(0).Picture.Width(), side);
  EXPECT_EQ(AlphaOf(desk.Layer(0).Picture.Pixel(side - 1, side - 1)), 200);
  const auto peak = meter.PeakAbove();
  ASSERT_TRUE(peak) << "the kernel lets the peak be reset";
  const double pixelBytes = 3.0 * 4 * side * side;
  EXPECT_LT(double(*peak), 1.1 * pixelBytes)
      << *peak / 1000000 << " MB at the peak for " << pixelBytes / 1e6 << " MB of pixels";
}

// Each listing of a layer makes a layer with a picture of its own, so each
// counts against the pixels a work may hold: a list repeating one layer past
// them is refused before any picture is decoded, at the cost of one.
TEST_F(WorkFiles, ALayerListedOverAndOverCountsEachTimeAgainstTheWorksPixels) {
  constexpr int kSide = 1000;
  Add(kSide, kSide, Color32(60, 40, 20), 0, 0, 0, "Hair");
  const int repeats = int(kMaxWorkPixels / (kSide * kSide));  // one more listing than fits
  ASSERT_TRUE(SaveListingTopLayerAgain(dir / "fits.tsu", repeats - 1));
  ASSERT_TRUE(SaveListingTopLayerAgain(dir / "many.tsu", repeats));
  desk.ClearLayers();
  {
    const TPeakMeter meter;
    EXPECT_EQ(FailureOf(files.LoadWorkFromFile(dir / "many.tsu")), TFileFault::TooLarge);
    EXPECT_EQ(desk.LayerCount(), 0);
    ASSERT_EQ(ports.details.size(), 1u);
    EXPECT_NE(ports.details[0].find("more than the " + std::to_string(kMaxWorkPixels)), std::string::npos)
        << ports.details[0];
    const auto peak = meter.PeakAbove();
    if (kPeakMemoryMeasurable && peak) {
      EXPECT_LT(*peak, 4u * 4 * kSide * kSide);
    }
  }
  // One listing fewer is a work at its cap (read, not opened on the desk: that
  // costs the gigabyte the cap allows).
  const auto fits = TLoadedWork::Read(*ReadFileBytes(dir / "fits.tsu"), false);
  EXPECT_TRUE(fits) << fits.Error().Text();
}

// A container may list as many layers as a compressed work may hold, and no more.
TEST(WorkContainer, ListsAtMostAsManyLayersAsACompressedWork) {
  auto read = [](std::size_t layers) {
    std::string list = "VERSION=Tressary 5.10;\r";
    for (std::size_t i = 0; i < layers; ++i) {
      TLayerRecord record;
      record.Id = "L" + std::to_string(i);
      list += LayerRecordLine(record) + "\r";
    }
    TCompoundFileWriter w;
    w.AddStream("ListFile.txt", list);
    return TLoadedWork::Read(*w.Build(), false, "many.tsu");
  };
  const auto atCap = read(kMaxWorkLayers);
  EXPECT_TRUE(atCap) << atCap.Error().Text();
  const auto over = read(kMaxWorkLayers + 1);
  ASSERT_FALSE(over);
  EXPECT_EQ(over.Error().Cause, TFileFault::TooLarge);
  EXPECT_EQ(over.Error().Text(), "many.tsu: it lists more than the 4096 layers a work may hold");
}

TEST_F(WorkFiles, HeaderSkipRulesAndBadNumbers) {
  auto load = [&](const std::string& lines) {
    TCompoundFileWriter w;
    w.AddStream("ListFile.txt", lines);
    ASSERT_TRUE(w.Save(dir / "h.tsu"));
    ASSERT_TRUE(files.LoadWorkFromFile(dir / "h.tsu"));
  };
  desk.Points.Face = {5, 6};
  desk.Points.HandMarkers[0].Width = 9;
  load("PORTRAIT=nil;-1;-1;\rHAND=nil;-1;1;2;3;4;\r");
  EXPECT_EQ(desk.Points.Face, (TPoint{5, 6}));
  EXPECT_EQ(desk.Points.HandMarkers[0].X, -1);  // -1 first: no marker changes
  load("HAND=nil;10;-1;0;0;45;20;21;22;23;x;30;31;32;33;34;\r");
  EXPECT_EQ(desk.Points.HandMarkers[0].X, 10);
  EXPECT_EQ(desk.Points.HandMarkers[0].Y, -1);     // "-1" skipped
  EXPECT_EQ(desk.Points.HandMarkers[0].Width, 9);  // "0" keeps the present width
  EXPECT_EQ(desk.Points.HandMarkers[0].ViewAngle, 45);
  EXPECT_EQ(desk.Points.HandMarkers[1].Length, 23);
  EXPECT_EQ(desk.Points.HandMarkers[1].ViewAngle, 0);  // "x" ended the line before the angle
  EXPECT_EQ(desk.Points.HandMarkers[2].X, -1);
  load("BODY=nil;12;oops;\rPORTRAIT=nil;1;2;\r");
  EXPECT_EQ(desk.Points.Body, (TPoint{12, -1}));
  EXPECT_EQ(desk.Points.Face, (TPoint{1, 2}));
  EXPECT_EQ(desk.LayerCount(), 0);
}

TEST_F(WorkFiles, BadLayersAreLeftOutAndTheRestLoads) {
  BuildWork();
  ASSERT_TRUE(files.SaveWork(dir / "w.tsu"));
  auto reader = *TCompoundFileReader::Open(dir / "w.tsu");
  std::string list = [&] {
    auto bytes = *reader->ReadStream("ListFile.txt");
    return std::string(bytes.begin(), bytes.end());
  }();
  // Spoil the first LAYER line's numbers and drop the picture of the second.
  TCompoundFileWriter w;
  std::string spoiled = list;
  std::size_t type = spoiled.find(";Portrait;") + std::string(";Portrait;").size();
  spoiled.replace(type, spoiled.find(';', type) - type, "X");
  w.AddStream("ListFile.txt", spoiled);
  std::string secondId = desk.Layer(1).Id;
  for (const std::string& name : reader->StreamNames())
    if (name != "ListFile.txt" && name != secondId + ".bmp") w.AddStream(name, *reader->ReadStream(name));
  ASSERT_TRUE(w.Save(dir / "bad.tsu"));
  desk.ClearLayers();
  ASSERT_TRUE(files.LoadWorkFromFile(dir / "bad.tsu"));
  EXPECT_EQ(desk.LayerCount(), 1);
  EXPECT_EQ(desk.Layer(0).Caption, "Hair");
  EXPECT_EQ(ports.messages, (std::vector<std::string>{"MessageLayersNotLoaded"}));
}

// A layer whose packed picture inflates to garbage, its head giving lengths of
// nothing: that layer alone is left out with the cause its decoding found, not
// the whole work refused as too large for the pixels the garbage claims.
TEST_F(WorkFiles, ALayerWithADamagedHeadFailsAloneAndTheGoodLayersOpen) {
  BuildWork();
  const std::string hiddenId = desk.Layer(1).Id;
  ASSERT_TRUE(files.SaveWork(dir / "w.tsc"));
  const std::vector<std::uint8_t> tsc = *ReadFileBytes(dir / "w.tsc");
  const TFileResult<TStoredWork> stored = ReadCompressedWork(tsc);
  ASSERT_TRUE(stored);
  std::vector<std::uint8_t> garbage(6000);
  std::uint32_t seed = 12345;
  for (std::uint8_t& byte : garbage) byte = std::uint8_t((seed = seed * 1103515245u + 12345u) >> 24);
  for (int i = 0; i < 4; ++i) garbage[std::size_t(4 + i)] = std::uint8_t(543527313u >> (8 * i));  // its alpha length
  const std::vector<std::uint8_t> packed = CompressStream(garbage);
  std::vector<std::uint8_t> damaged;
  for (const TStoredWorkLayer& layer : stored->Layers) {
    if (layer.Id != hiddenId) continue;
    // The picture's field: its 32-bit count, then its bytes.
    const auto at = std::size_t(layer.Picture.data() - tsc.data());
    damaged.assign(tsc.begin(), tsc.begin() + std::ptrdiff_t(at - 4));
    for (int i = 0; i < 4; ++i) damaged.push_back(std::uint8_t(packed.size() >> (8 * i)));
    damaged.insert(damaged.end(), packed.begin(), packed.end());
    damaged.insert(damaged.end(), tsc.begin() + std::ptrdiff_t(at + layer.Picture.size()), tsc.end());
  }
  ASSERT_FALSE(damaged.empty());
  WriteTestFile(dir / "damaged.tsc", std::string(damaged.begin(), damaged.end()));
  desk.ClearLayers();
  ASSERT_TRUE(files.LoadWorkFromFile(dir / "damaged.tsc"));
  ASSERT_EQ(desk.LayerCount(), 2);
  EXPECT_EQ(desk.Layer(0).Caption, "Hair");
  EXPECT_EQ(desk.Layer(1).Caption, "Portrait");
  EXPECT_EQ(ports.messages, (std::vector<std::string>{"MessageLayersNotLoaded"}));
  ASSERT_EQ(ports.details.size(), 1u);
  EXPECT_NE(ports.details[0].find("layer " + hiddenId + ": its compressed data ends too early"), std::string::npos)
      << ports.details[0];
}

// Works whose every layer picture fails to decode, though the files themselves
// read: the desk keeps its work and its undo step, nothing is asked, and the
// message gives each layer's real cause.
TEST_F(WorkFiles, AWorkWhoseLayersAllFailToDecodeKeepsTheDesk) {
  BuildWork();
  ASSERT_TRUE(files.SaveWork(dir / "w.tsc"));
  ASSERT_TRUE(files.SaveWork(dir / "w.tsu"));
  // A broken Adler-32 checksum at the end of each packed layer picture.
  std::vector<std::uint8_t> tsc = *ReadFileBytes(dir / "w.tsc");
  const TFileResult<TStoredWork> stored = ReadCompressedWork(tsc);
  ASSERT_TRUE(stored);
  for (const TStoredWorkLayer& layer : stored->Layers)
    tsc[std::size_t(layer.Picture.data() + layer.Picture.size() - 1 - tsc.data())] ^= 0x55;
  WriteTestFile(dir / "checksum.tsc", std::string(tsc.begin(), tsc.end()));
  // Every bitmap stream of the container made 5 pixels wide the wrong way.
  auto reader = *TCompoundFileReader::Open(dir / "w.tsu");
  TCompoundFileWriter w;
  for (const std::string& name : reader->StreamNames()) {
    std::vector<std::uint8_t> bytes = *reader->ReadStream(name);
    if (name.ends_with(".bmp"))
      for (int i = 0; i < 4; ++i) bytes[std::size_t(18 + i)] = std::uint8_t(std::uint32_t(-5) >> (8 * i));
    w.AddStream(name, bytes);
  }
  ASSERT_TRUE(w.Save(dir / "width.tsu"));

  TLayer& hair = desk.Layer(0);
  desk.SelectLayer(0);
  hair.SaveUndo(lhkMove, false);
  hair.Left += 7;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"checksum.tsc", "its compressed data fails its checksum"},
      {"width.tsu", "its bitmap picture gives the size -5 x 16"},
  };
  for (const auto& [name, cause] : cases) {
    ports.details.clear();
    EXPECT_EQ(FailureOf(files.LoadWorkFromFile(dir / name)), TFileFault::Damaged) << name;
    ASSERT_EQ(ports.details.size(), 1u) << name;
    EXPECT_TRUE(ports.details[0].starts_with(name + ": none of its layers can be read:\r")) << ports.details[0];
    EXPECT_NE(ports.details[0].find("\rlayer " + hair.Id + ": " + cause), std::string::npos) << ports.details[0];
    EXPECT_EQ(ports.details[0].find("missing"), std::string::npos) << ports.details[0];
    ASSERT_EQ(desk.LayerCount(), 3) << name;
    EXPECT_EQ(&desk.Layer(0), &hair);
    EXPECT_EQ(desk.SelectedIndex(), 0);
    EXPECT_EQ(hair.History().size(), 1u);
  }
  EXPECT_TRUE(ports.questions.empty());
  EXPECT_TRUE(ports.changes.empty());
  hair.Undo();
  EXPECT_EQ(hair.Left, -3);
}

TEST_F(WorkFiles, HostileOrMissingFilesLeaveTheDeskAlone) {
  BuildWork();
  WriteTestFile(dir / "junk.tsc", std::string(100, '\x7f'));
  WriteTestFile(dir / "junk.tsu", "not a compound file");
  EXPECT_EQ(FailureOf(files.LoadWorkFromFile(dir / "junk.tsc")), TFileFault::Damaged);
  EXPECT_EQ(FailureOf(files.LoadWorkFromFile(dir / "junk.tsu")), TFileFault::Damaged);
  const TFileResult<> none = files.LoadWorkFromFile(dir / "none.tsu");
  ASSERT_EQ(FailureOf(none), TFileFault::NoSuchFile);
  EXPECT_EQ(none.Error().Path, dir / "none.tsu");
  EXPECT_EQ(desk.LayerCount(), 3);
  EXPECT_TRUE(ports.questions.empty());
  EXPECT_EQ(ports.messages.size(), 3u);
  EXPECT_TRUE(ports.changes.empty());
}

TEST_F(WorkFiles, AFileThatCannotBeOpenedIsNamedWithAPlainReason) {
  BuildWork();
  ASSERT_TRUE(files.SaveWork(dir / "whole.tsu"));
  ASSERT_TRUE(files.SaveWork(dir / "whole.tsc"));
  for (const std::string ext : {".tsu", ".tsc"}) {
    ASSERT_TRUE(WriteCutCopy(dir / ("whole" + ext), dir / ("cut" + ext), 2, 3));
    WriteTestFile(dir / ("empty" + ext), "");
  }
  WriteTestFile(dir / "photo.tsu", "\xFF\xD8\xFF\xE0 a picture renamed");
  WriteTestFile(dir / "photo.tsc", std::string(100, '\x7f'));
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"cut.tsu", "cut.tsu: the file ends too early"},
      {"cut.tsc", "cut.tsc: the file ends too early"},
      {"empty.tsu", "empty.tsu: the file is empty"},
      {"empty.tsc", "empty.tsc: the file is empty"},
      {"photo.tsu", "photo.tsu: the file does not start like a work file"},
      {"photo.tsc", "photo.tsc: the file does not start like a work file"},
      {"none.tsc", "none.tsc: there is no such file"},
  };
  for (const auto& [name, detail] : cases) {
    ports.details.clear();
    EXPECT_FALSE(files.LoadWorkFromFile(dir / name)) << name;
    EXPECT_EQ(ports.details, (std::vector<std::string>{detail}));
  }
  EXPECT_EQ(desk.LayerCount(), 3);
}

TEST_F(WorkFiles, LoadsACompressedWorkMadeFromTheFormatTableAlone) {
  ASSERT_EQ(RunCommand("/usr/bin/python3 " + (SourceDir() / "tests/support/make_tsc.py").string() + " " +
                       (dir / "made.tsc").string()),
            0);
  ASSERT_TRUE(files.LoadWorkFromFile(dir / "made.tsc"));
  ASSERT_EQ(desk.LayerCount(), 1);
  const TLayer& layer = desk.Layer(0);
  EXPECT_EQ(layer.Id, "00000001");
  EXPECT_EQ(layer.Caption, "Red square");
  EXPECT_EQ(layer.Left, 300);
  EXPECT_EQ(layer.Top, 300);
  ASSERT_EQ(layer.Picture.Width(), 200);
  EXPECT_EQ(AlphaOf(layer.Picture.Pixel(100, 75)), 0);  // the disc
  EXPECT_EQ(AlphaOf(layer.Picture.Pixel(5, 5)), 255);
  EXPECT_GT(RedOf(layer.Picture.Pixel(5, 5)), 240);
  EXPECT_EQ(desk.SelectedIndex(), 0);
}

// A small file whose eight layer pictures declare 8192 x 8192 pixels each, in their
// lengths and their JPEG heads alike (their streams stop after the heads): refused
// for its size before anything is decoded or asked, with a message naming the
// file, and the desk's work is kept.
TEST_F(WorkFiles, AWorkTooLargeToOpenIsRefusedAndTheDeskKept) {
  BuildWork();
  fs::copy_file(SourceDir() / "tests/fuzz/corpus/work_load/huge-declared-jpeg.tsc", dir / "huge.tsc");
  EXPECT_EQ(FailureOf(files.LoadWorkFromFile(dir / "huge.tsc")), TFileFault::TooLarge);
  EXPECT_EQ(desk.LayerCount(), 3);
  EXPECT_EQ(desk.Layer(0).Caption, "Hair");
  EXPECT_TRUE(ports.questions.empty());
  ASSERT_EQ(ports.messages, (std::vector<std::string>{"MessageUnableLoadWork"}));
  EXPECT_NE(ports.details[0].find("huge.tsc"), std::string::npos) << ports.details[0];
  EXPECT_NE(ports.details[0].find("536870912 pixels"), std::string::npos) << ports.details[0];
}
