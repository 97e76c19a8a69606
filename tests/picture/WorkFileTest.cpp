#include <gtest/gtest.h>

#include "picture/Bmp32.h"
#include "picture/Compression.h"
#include "picture/Jpeg.h"
#include "picture/PackedPicture.h"
#include "picture/WorkFile.h"
#include "platform/ByteStream.h"
#include "platform/CompoundFile.h"
#include "platform/FileIO.h"
#include "support/TestPaths.h"

namespace {
TLayerRecord Record(std::string id, int level) {
  TLayerRecord r;
  r.Id = std::move(id);
  r.Caption = "Layer " + r.Id;
  r.TypeId = 3;
  r.Left = -5;
  r.Top = 7;
  r.Width = 40;
  r.Height = 30;
  r.Values.Opacity = 80;
  r.Level = level;
  r.SourceFile = "Parts\\Hair\\long.psd";
  return r;
}

TWorkHeader SampleHeader() {
  TWorkHeader h;
  h.Version = "Tressary 5.10";
  h.PortraitId = "00000001";
  h.FacePoint = {120, 140};
  h.Markers[0] = {10, 20, 4, 6, -30};
  h.BodyPoint = {-1, -1};
  h.ActiveId = "00000003";
  h.Layers = {Record("00000001", 0), Record("00000002", 5), Record("00000003", 9)};
  return h;
}

// A picture with every alpha class: opaque, transparent and partial.
TBitmap32 Picture(int w, int h, std::uint8_t shade) {
  TBitmap32 b(w, h, Color32(shade, 100, 200, 255));
  for (int x = 0; x < w; ++x) {
    b.SetPixel(x, 0, Color32(shade, 100, 200, 0));
    b.SetPixel(x, 1, Color32(shade, 100, 200, 128));
  }
  return b;
}

std::string Text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }
}  // namespace

TEST(WorkHeader, LinesInOrderWithNilForMissingLayers) {
  TWorkHeader h = SampleHeader();
  h.HandId.clear();
  h.BodyId.clear();
  auto lines = WorkHeaderLines(h);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], "VERSION=Tressary 5.10;");
  EXPECT_EQ(lines[1], "PORTRAIT=00000001;120;140;");
  EXPECT_EQ(lines[2], "HAND=nil;10;20;4;6;-30;-1;-1;0;0;0;-1;-1;0;0;0;-1;-1;0;0;0;-1;-1;0;0;0;");
  EXPECT_EQ(lines[3], "BODY=nil;-1;-1;");
  EXPECT_EQ(lines[4], "ACTIVELAYER=00000003;");
  EXPECT_EQ(lines[5], "LAYER=00000001;Layer 00000001;3;-5;7;40;30;1;-1;50;50;50;100;100;100;100;80;0;Parts\\Hair\\long.psd;");
  h.ActiveId.clear();
  EXPECT_EQ(WorkHeaderLines(h)[4], "ACTIVELAYER=nil;");
}

TEST(WorkHeader, LayerLinesRoundTripAndAreCleaned) {
  TLayerRecord r = Record("abc", -2);
  r.Caption = "Bob; the\r\nsecond";
  r.Visible = false;
  auto parsed = ParseLayerRecordLine(LayerRecordLine(r));
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->Caption, "Bob the second");
  EXPECT_FALSE(parsed->Visible);
  EXPECT_EQ(parsed->Level, -2);
  EXPECT_EQ(parsed->Values.Opacity, 80);
  EXPECT_EQ(parsed->SourceFile, r.SourceFile);
  EXPECT_TRUE(ParseLayerRecordLine("layer=x;c;1;2;3;4;5;1;6;7;8;9;10;11;12;13;14;15;f;"));
}

TEST(WorkHeader, BadLayerLinesAreRefused) {
  std::string good = "LAYER=x;c;1;2;3;4;5;1;6;7;8;9;10;11;12;13;14;15;f;";
  EXPECT_TRUE(ParseLayerRecordLine(good));
  EXPECT_FALSE(ParseLayerRecordLine("LAYER=x;c;1;2;3;4;5;1;6;7;8;9;10;11;12;13;14;15"));  // 18 fields
  EXPECT_FALSE(ParseLayerRecordLine("LAYER=x;c;1;2;three;4;5;1;6;7;8;9;10;11;12;13;14;15;f;"));
  EXPECT_FALSE(ParseLayerRecordLine("LAYER=x;c;1;2;3;4;5;1;6;7;8;9;10;11;12;13;300;15;f;"));  // opacity is a byte
  EXPECT_FALSE(ParseLayerRecordLine("LAYER=../x;c;1;2;3;4;5;1;6;7;8;9;10;11;12;13;14;15;f;"));
  EXPECT_FALSE(ParseLayerRecordLine("LAYER=" + std::string(28, 'a') + ";c;1;2;3;4;5;1;6;7;8;9;10;11;12;13;14;15;f;"));
  EXPECT_FALSE(ParseLayerRecordLine("PORTRAIT=x;1;2;"));
  EXPECT_TRUE(IsValidLayerId(std::string(27, 'a')));
  EXPECT_FALSE(IsValidLayerId(""));
}

TEST(CompressedWork, ConvertsToAContainerWithTheSameLinesAndLayers) {
  TWorkHeader h = SampleHeader();
  std::vector<TBitmap32> pictures = {Picture(40, 30, 10), Picture(20, 20, 90), Picture(8, 3, 250)};
  std::vector<TWorkLayerData> layers;
  for (std::size_t i = 0; i < pictures.size(); ++i)
    layers.push_back({&pictures[i], std::vector<std::uint8_t>(i * 7, std::uint8_t(i + 1))});
  auto tsc = BuildCompressedWork(h, layers, Picture(60, 30, 40));
  auto tsu = ConvertWorkFile(tsc);
  ASSERT_TRUE(tsu) << tsu.Error().Text();
  auto container = *TCompoundFileReader::FromMemory(*tsu);
  ASSERT_TRUE(container);
  EXPECT_EQ(container->StreamNames().size(), 2u + 2u * 3u);

  std::string list = Text(*container->ReadStream("ListFile.txt"));
  std::string expected;
  for (const auto& line : WorkHeaderLines(h)) expected += line + "\r";
  EXPECT_EQ(list, expected);
  EXPECT_EQ(list.find('\n'), std::string::npos);

  for (std::size_t i = 0; i < pictures.size(); ++i) {
    const std::string& id = h.Layers[i].Id;
    auto bitmap = DecodeBmp32(*container->ReadStream(id + ".bmp"));
    ASSERT_TRUE(bitmap) << id;
    ASSERT_EQ(bitmap->Width(), pictures[i].Width());
    for (int y = 0; y < bitmap->Height(); ++y)
      for (int x = 0; x < bitmap->Width(); ++x) {
        TColor32 got = bitmap->Pixel(x, y), want = pictures[i].Pixel(x, y);
        ASSERT_EQ(AlphaOf(got), AlphaOf(want)) << id << " at " << x << "," << y;
        if (AlphaOf(want) == 255) {
          EXPECT_NEAR(RedOf(got), RedOf(want), 12);
        }
      }
    EXPECT_EQ(*container->ReadStream(id + ".msk"), layers[i].MaskStream);
  }
  auto preview = TJpegImage::FromBytes(*container->ReadStream("preview.jpg"));
  ASSERT_TRUE(preview);
  EXPECT_EQ(preview->Width(), 150);
}

TEST(CompressedWork, LayersPackedInParallelComeOutAsPackedOneAfterAnother) {
  // The largest layer first and one without a picture, so that the parts are not
  // finished in the order they are written.
  TWorkHeader h = SampleHeader();
  std::vector<TBitmap32> pictures;
  for (int i = 0; i < 7; ++i) pictures.push_back(Picture(400 - 50 * i, 300 - 40 * i, std::uint8_t(30 * i)));
  std::vector<TWorkLayerData> layers;
  h.Layers.clear();
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    h.Layers.push_back(Record("0000001" + std::to_string(i), int(i)));
    layers.push_back({i == 2 ? nullptr : &pictures[i], std::vector<std::uint8_t>(i * 3, std::uint8_t(i))});
  }
  const TBitmap32 exported = Picture(300, 200, 70);
  const std::vector<std::uint8_t> tsc = BuildCompressedWork(h, layers, exported);
  EXPECT_EQ(BuildCompressedWork(h, layers, exported), tsc);

  // Each part as one thread alone makes it: the header and preview from a work of
  // no layers, each picture packed on this thread.
  TWorkHeader bare = h;
  bare.Layers.clear();
  const std::vector<std::uint8_t> alone = BuildCompressedWork(bare, {}, exported);
  std::vector<std::uint8_t> serial = {std::uint8_t(layers.size()), 0, 0, 0};
  auto field = [&serial](std::span<const std::uint8_t> bytes) {
    for (int shift = 0; shift < 32; shift += 8) serial.push_back(std::uint8_t(bytes.size() >> shift));
    serial.insert(serial.end(), bytes.begin(), bytes.end());
  };
  const auto stored = ReadCompressedWork(tsc);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->Lines, WorkHeaderLines(h));
  std::string headerText;
  for (const std::string& line : WorkHeaderLines(h)) headerText += line + "\r\n";
  field(CompressStream(AsBytes(headerText)));
  const auto aloneStored = ReadCompressedWork(alone);
  ASSERT_TRUE(aloneStored);
  EXPECT_EQ(stored->Preview, aloneStored->Preview);
  field(CompressStream(aloneStored->Preview));
  for (const TWorkLayerData& layer : layers) {
    field(layer.Picture ? PackBitmap32(*layer.Picture, 90) : std::vector<std::uint8_t>());
    field(layer.MaskStream);
  }
  EXPECT_EQ(tsc, serial);
}

TEST(CompressedWork, ZeroLayersHoldOnlyCountHeaderAndPreview) {
  TWorkHeader h = SampleHeader();
  h.Layers.clear();
  auto tsc = BuildCompressedWork(h, {}, TBitmap32());
  auto tsu = ConvertWorkFile(tsc);
  ASSERT_TRUE(tsu);
  auto container = *TCompoundFileReader::FromMemory(*tsu);
  EXPECT_EQ(container->StreamNames().size(), 2u);
}

TEST(CompressedWork, PreviewOfAWideWorkIsCentredOnWhite) {
  TempFolder dir;
  TWorkHeader h = SampleHeader();
  h.Layers.clear();
  auto tsc = BuildCompressedWork(h, {}, TBitmap32(600, 300, Color32(0, 0, 255)));
  ASSERT_TRUE(WriteFileAtomic(dir / "w.tsc", tsc));
  auto jpeg = LoadWorkPreview(dir / "w.tsc");
  ASSERT_TRUE(jpeg);
  auto preview = DecodeJpeg(*jpeg);
  ASSERT_TRUE(preview);
  ASSERT_EQ(preview->Width(), 150);
  ASSERT_EQ(preview->Height(), 150);
  // 150 x 75 at top 37: rows 0..35 white, 39..110 blue, 114.. white (JPEG blurs the edges).
  EXPECT_GT(BlueOf(preview->Pixel(75, 20)), 240);
  EXPECT_GT(RedOf(preview->Pixel(75, 20)), 240);
  EXPECT_LT(RedOf(preview->Pixel(75, 40)), 20);
  EXPECT_LT(RedOf(preview->Pixel(75, 110)), 20);
  EXPECT_GT(RedOf(preview->Pixel(75, 130)), 240);
}

// The preview may show nothing, but why stays with it: the file, and the cause.
TEST(CompressedWork, APreviewThatCannotBeHadSaysWhy) {
  TempFolder dir;
  TWorkHeader h = SampleHeader();
  h.Layers.clear();
  std::vector<std::uint8_t> tsc = BuildCompressedWork(h, {}, TBitmap32(60, 30, Color32(0, 0, 255)));
  auto cause = [](const TFileResult<std::vector<std::uint8_t>>& preview) {
    return preview ? std::string("read") : preview.Error().Reason();
  };
  EXPECT_EQ(LoadWorkPreview(dir / "none.tsc").Error().Cause, TFileFault::NoSuchFile);
  EXPECT_EQ(LoadWorkPreview(dir / "none.tsc").Error().Path, dir / "none.tsc");
  EXPECT_EQ(LoadCompoundWorkPreview(dir / "none.tsu").Error().Cause, TFileFault::NoSuchFile);
  ASSERT_TRUE(WriteFileAtomic(dir / "cut.tsc", std::span(tsc).first(6)));
  EXPECT_EQ(cause(LoadWorkPreview(dir / "cut.tsc")), kWorkFileCutShort);
  // The preview's zlib stream spoilt: the field after the count and the header.
  const std::size_t header = tsc[4] | tsc[5] << 8 | tsc[6] << 16 | std::size_t(tsc[7]) << 24;
  std::vector<std::uint8_t> spoilt = tsc;
  spoilt.at(8 + header + 4) ^= 0xFF;
  ASSERT_TRUE(WriteFileAtomic(dir / "spoilt.tsc", spoilt));
  EXPECT_EQ(cause(LoadWorkPreview(dir / "spoilt.tsc")), kPreviewDamaged);
  TCompoundFileWriter bare;
  ASSERT_TRUE(bare.AddStream("ListFile.txt", "VERSION=1;\r"));
  ASSERT_TRUE(bare.Save(dir / "bare.tsu"));
  EXPECT_EQ(cause(LoadCompoundWorkPreview(dir / "bare.tsu")), kPreviewDamaged);
  WriteTestFile(dir / "junk.tsu", "not a container");
  EXPECT_EQ(LoadCompoundWorkPreview(dir / "junk.tsu").Error().Cause, TFileFault::Damaged);
}

TEST(CompressedWork, DamagedFilesFailCleanly) {
  TWorkHeader h = SampleHeader();
  h.Layers.resize(1);
  TBitmap32 picture = Picture(10, 10, 1);
  auto tsc = BuildCompressedWork(h, {{&picture, {1, 2, 3}}}, picture);
  ASSERT_TRUE(ConvertWorkFile(tsc));
  for (std::size_t cut = 0; cut < tsc.size(); cut += 7) {
    const auto converted = ConvertWorkFile(std::span(tsc.data(), cut), "cut.tsc");
    ASSERT_FALSE(converted) << "cut at " << cut;
    EXPECT_EQ(converted.Error().Cause, cut == 0 ? TFileFault::Empty : TFileFault::Damaged) << "cut at " << cut;
    EXPECT_EQ(converted.Error().Path, "cut.tsc");
  }
  // A count far beyond the data.
  auto bad = tsc;
  bad[3] = 0x7F;
  EXPECT_FALSE(ConvertWorkFile(bad));
  // More layers than header lines.
  bad = tsc;
  bad[0] = 2;
  EXPECT_FALSE(ConvertWorkFile(bad));
}

TEST(CompressedWork, LayerPictureThatDoesNotUnpackKeepsItsMaskAndLine) {
  TWorkHeader h = SampleHeader();
  h.Layers.resize(1);
  TBitmap32 picture = Picture(10, 10, 1);
  auto tsc = BuildCompressedWork(h, {{&picture, {9, 9}}}, picture);
  // Spoil the packed picture's bytes (after count, header and preview fields).
  std::size_t at = 4;
  for (int field = 0; field < 2; ++field) at += 4 + (tsc[at] | tsc[at + 1] << 8 | tsc[at + 2] << 16);
  for (std::size_t i = at + 4; i < at + 24; ++i) tsc[i] = 0xEE;
  auto tsu = ConvertWorkFile(tsc);
  ASSERT_TRUE(tsu);
  auto container = *TCompoundFileReader::FromMemory(*tsu);
  EXPECT_FALSE(container->HasStream("00000001.bmp"));
  EXPECT_EQ(*container->ReadStream("00000001.msk"), (std::vector<std::uint8_t>{9, 9}));
  EXPECT_EQ(SplitWorkHeader(*container->ReadStream("ListFile.txt")).size(), 6u);
}

// A layer id that cannot name a stream, or a layer without its picture, cannot be
// stored: the container is refused naming the file and the layer.
TEST(WorkContainer, ALayerThatCannotBeStoredRefusesTheContainer) {
  TWorkHeader h = SampleHeader();
  h.Layers.resize(2);
  TBitmap32 picture = Picture(4, 4, 30);
  ASSERT_TRUE(BuildWorkContainer(h, {{&picture, {}}, {&picture, {}}}, picture));
  h.Layers[1].Id = "a/b";
  const auto badId = BuildWorkContainer(h, {{&picture, {}}, {&picture, {}}}, picture, "w.tsu");
  ASSERT_FALSE(badId);
  EXPECT_EQ(badId.Error().Cause, TFileFault::CannotWrite);
  EXPECT_EQ(badId.Error().Path, "w.tsu");
  EXPECT_EQ(badId.Error().Detail, "cannot store the layer \"a/b\"");
  const auto noPicture = BuildWorkContainer(h, {{nullptr, {}}, {&picture, {}}}, picture);
  ASSERT_FALSE(noPicture);
  EXPECT_EQ(noPicture.Error().Detail, "cannot store the layer \"" + h.Layers[0].Id + "\"");
}

TEST(WorkContainer, IndependentReadersAgree) {
  TempFolder dir;
  TWorkHeader h = SampleHeader();
  h.Layers.resize(2);
  std::vector<TBitmap32> pictures = {Picture(12, 9, 30), Picture(5, 4, 60)};
  auto tsu = BuildWorkContainer(h, {{&pictures[0], {1}}, {&pictures[1], {2}}}, pictures[0]);
  ASSERT_TRUE(tsu);
  ASSERT_TRUE(WriteFileAtomic(dir / "w.tsu", *tsu));
  std::string out;
  ASSERT_EQ(RunCommand("/usr/bin/python3 -c \"import olefile,sys; o=olefile.OleFileIO(sys.argv[1]); "
                       "print(len(o.listdir())); t=o.openstream('ListFile.txt').read(); "
                       "print(t.count(b'\\r'), t.count(b'\\n')); "
                       "open(sys.argv[2],'wb').write(o.openstream('00000002.bmp').read())\" " +
                           (dir / "w.tsu").string() + " " + (dir / "l.bmp").string(),
                       &out),
            0);
  EXPECT_EQ(out, "6\n7 0\n");
  ASSERT_EQ(RunCommand("identify -format '%w %h %[channels]' " + (dir / "l.bmp").string(), &out), 0);
  EXPECT_EQ(out.substr(0, 5), "5 4 s");  // "srgba": the alpha channel is there
  EXPECT_NE(out.find('a'), std::string::npos);
  EXPECT_EQ(LoadCompoundWorkPreview(dir / "w.tsu")->size() > 0, true);
}
