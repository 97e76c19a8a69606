// JPEG helpers, the packed picture and its conversions, and our 32-bit bitmap files.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "picture/BitmapRoutines.h"
#include "picture/Bmp32.h"
#include "picture/Compression.h"
#include "picture/Jpeg.h"
#include "picture/PackedPicture.h"
#include "picture/PsdFile.h"
#include "platform/FileIO.h"
#include "support/PictureCompare.h"
#include "support/PictureJudges.h"

namespace {
// A smooth picture, so JPEG loss stays small and comparable.
TBitmap32 Smooth(int w, int h) {
  TBitmap32 b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.SetPixel(x, y, Color32(std::uint8_t(60 + x), std::uint8_t(100 + y), 150, std::uint8_t((x * 17 + y * 5) % 256)));
  return b;
}

std::vector<std::uint8_t> Record(const std::vector<std::uint8_t>& jpeg, std::uint32_t alphaLength,
                                 std::size_t alphaBytes) {
  ByteWriter w;
  w.U32LE(static_cast<std::uint32_t>(jpeg.size()));
  w.U32LE(alphaLength);
  w.Bytes(jpeg);
  w.Fill(alphaBytes, 200);
  return CompressStream(w.Data());
}
}  // namespace

TEST(Jpeg, EncodesAtTheGivenQualityAndDecodesWithinLoss) {
  TempFolder dir;
  const TBitmap32 picture = Smooth(40, 30);
  const TJpegImage jpeg = TJpegImage::FromBitmap(picture, 90);
  ASSERT_FALSE(jpeg.Empty());
  EXPECT_EQ(jpeg.Width(), 40);
  EXPECT_EQ(jpeg.Height(), 30);
  ASSERT_TRUE(jpeg.SaveToFile(dir / "q90.jpg"));
  EXPECT_EQ(Identify(dir / "q90.jpg", "%m %w %h %Q"), "JPEG 40 30 90");
  auto back = jpeg.ToBitmap();
  ASSERT_TRUE(back.Ok());
  EXPECT_TRUE(SamePicture(*back, picture, {.ColourTolerance = 8, .AlphaTolerance = 255}));
  EXPECT_TRUE(AlphaIs(*back, 255));
  EXPECT_TRUE(TJpegImage::FromBitmap(TBitmap32(), 90).Empty());
  EXPECT_EQ(QualityFromFactor(16), 90);
  EXPECT_EQ(QualityFromFactor(2), 100);
  EXPECT_EQ(QualityFromFactor(255), 1);
}

TEST(Jpeg, DecodesGreyscaleAndRefusesGarbageAndCmyk) {
  TempFolder dir;
  ASSERT_EQ(RunCommand("convert -size 9x7 gradient:white-black -colorspace Gray " + Quoted(dir / "grey.jpg")), 0);
  ASSERT_EQ(RunCommand("convert -size 9x7 xc:red -colorspace CMYK " + Quoted(dir / "cmyk.jpg")), 0);
  auto grey = DecodeJpeg(*ReadFileBytes(dir / "grey.jpg"));
  ASSERT_TRUE(grey.Ok());
  EXPECT_EQ(grey->Width(), 9);
  const TColor32 top = grey->Pixel(4, 0);
  EXPECT_GT(RedOf(top), 240);
  EXPECT_EQ(RedOf(top), BlueOf(top));
  EXPECT_FALSE(DecodeJpeg(*ReadFileBytes(dir / "cmyk.jpg")));
  const auto garbage = DecodeJpeg(AsBytes("\xFF\xD8\xFF garbage"), "g.jpg");
  ASSERT_FALSE(garbage);
  EXPECT_EQ(garbage.Error().Text(), "g.jpg: Invalid JPEG picture");
  EXPECT_FALSE(DecodeJpeg({}).Ok());
  EXPECT_FALSE(TJpegImage::FromBytes({1, 2, 3}).has_value());
}

TEST(PackedPicture, RoundTripKeepsAlphaExactlyAndColourWithinJpegLoss) {
  const TBitmap32 picture = Smooth(64, 48);
  const auto packed = PackBitmap32(picture, 90);
  auto back = UnpackBitmap32(packed);
  ASSERT_TRUE(back.Ok());
  EXPECT_TRUE(SamePicture(*back, picture, {.ColourTolerance = 8}));
}

TEST(PackedPicture, LayoutIsReadableByPythonAndPythonFilesLoad) {
  TempFolder dir;
  const TBitmap32 picture = Smooth(20, 10);
  ASSERT_TRUE(WriteFileAtomic(dir / "ours.fll", PackBitmap32(picture, 90)));
  const std::string script =
      "import sys,zlib,struct,io\n"
      "from PIL import Image\n"
      "d=sys.argv[1]\n"
      "rec=zlib.decompress(open(d+'/ours.fll','rb').read())\n"
      "j,a=struct.unpack('<II',rec[:8])\n"
      "im=Image.open(io.BytesIO(rec[8:8+j]))\n"
      "assert im.format=='JPEG' and im.size==(20,10) and a==200 and len(rec)==8+j+a\n"
      "alpha=rec[8+j:]\n"
      "assert alpha[0]==0 and alpha[21]==(1*17+1*5)%256, alpha[:30]\n"
      "pic=Image.new('RGB',(30,12),(10,200,90))\n"
      "buf=io.BytesIO(); pic.save(buf,'JPEG',quality=95)\n"
      "alpha=bytes((x*7)%256 for x in range(30*12))\n"
      "body=struct.pack('<II',len(buf.getvalue()),len(alpha))+buf.getvalue()+alpha\n"
      "open(d+'/theirs.fll','wb').write(zlib.compress(body,9))\n"
      "print('ok')\n";
  ASSERT_EQ(RunPython(script, Quoted(dir.Path())), "ok\n");
  TBitmap32 theirs;
  ASSERT_TRUE(LoadPsdPicture(dir / "theirs.fll", theirs));
  ASSERT_EQ(theirs.Width(), 30);
  EXPECT_EQ(AlphaOf(theirs.Pixel(5, 1)), (35 * 7) % 256);
  EXPECT_NEAR(GreenOf(theirs.Pixel(15, 6)), 200, 3);
}

TEST(PackedPicture, RefusesLengthsThatDoNotMatchTheData) {
  const auto jpeg = EncodeJpeg(TBitmap32(4, 3, Color32(1, 2, 3)), 90);
  EXPECT_TRUE(UnpackBitmap32(Record(jpeg, 12, 12)).Ok());
  const auto uncovered = UnpackBitmap32(Record(jpeg, 11, 11), "l.fll");
  ASSERT_FALSE(uncovered) << "alpha must cover the picture";
  EXPECT_EQ(uncovered.Error().Text(), "l.fll: its colour and its transparency differ in size");
  EXPECT_FALSE(UnpackBitmap32(Record(jpeg, 13, 13)).Ok());
  EXPECT_FALSE(UnpackBitmap32(Record(jpeg, 12, 11)).Ok()) << "alpha cut short";
  EXPECT_FALSE(UnpackBitmap32(Record(jpeg, 0xFFFFFFFF, 12)).Ok());
  std::vector<std::uint8_t> junk(jpeg.size(), 0x41);
  EXPECT_FALSE(UnpackBitmap32(Record(junk, 12, 12)).Ok());
  EXPECT_FALSE(UnpackBitmap32(CompressStream(AsBytes("\x05\0\0"))).Ok());
  EXPECT_FALSE(UnpackBitmap32(AsBytes("plain bytes")).Ok());
  TBitmap32 kept(1, 1, 5);
  EXPECT_FALSE(UnpackBitmap32Into(AsBytes("plain bytes"), kept));
  EXPECT_TRUE(SamePicture(kept, TBitmap32(1, 1, 5)));
}

// Unpacking reads the stream in parts: a damaged checksum or a cut end is still
// refused after the picture's own bytes came out whole.
TEST(PackedPicture, TheWholeStreamIsCheckedToItsEnd) {
  TBitmap32 picture(200, 150);
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 200; ++x) picture.SetPixel(x, y, Color32(std::uint8_t(x), std::uint8_t(y), 9, std::uint8_t(x ^ y)));
  const std::vector<std::uint8_t> packed = PackBitmap32(picture, 90);
  const auto whole = UnpackBitmap32(packed);
  ASSERT_TRUE(whole.Ok());
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_EQ(AlphaOf(whole->Pixel(x, y)), std::uint8_t(x ^ y));
  auto damaged = packed;
  damaged[damaged.size() - 1] ^= 0x55;  // Adler-32
  EXPECT_FALSE(UnpackBitmap32(damaged).Ok());
  EXPECT_FALSE(UnpackBitmap32(std::span(packed).first(packed.size() - 2)).Ok());
  auto trailing = packed;
  trailing.push_back(0xEE);
  EXPECT_TRUE(SamePicture(UnpackBitmap32(trailing), *whole));
}

TEST(PackedPicture, ConvertsToBitmapFilesPhotoshopFilesAndPreviews) {
  TempFolder dir;
  const TBitmap32 picture = Smooth(16, 12);
  const auto packed = PackBitmap32(picture, 90);
  const auto unpacked = UnpackBitmap32(packed);
  ASSERT_TRUE(unpacked.Ok());

  auto bmp = PackedPictureToBmpStream(packed);
  ASSERT_TRUE(bmp.has_value());
  EXPECT_TRUE(SamePicture(DecodeBmp32(*bmp), *unpacked));
  EXPECT_FALSE(PackedPictureToBmpStream(AsBytes("junk")).has_value());

  ASSERT_TRUE(WriteFileAtomic(dir / "in.fll", packed));
  ASSERT_TRUE(PackedPictureFileToPsd(dir / "in.fll", dir / "out.psd"));
  TBitmap32 fromPsd;
  ASSERT_TRUE(LoadPsdPicture(dir / "out.psd", fromPsd));
  EXPECT_TRUE(SamePicture(fromPsd, *unpacked));
  EXPECT_FALSE(PackedPictureFileToPsd(dir / "missing.fll", dir / "x.psd"));
  EXPECT_FALSE(fs::exists(dir / "x.psd"));

  const std::string data(packed.begin(), packed.end());
  ASSERT_TRUE(PackedStringToPsdFile(data, dir / "s.psd"));
  EXPECT_EQ(Identify(dir / "s.psd", "%w %h"), "16 12");
  EXPECT_FALSE(PackedStringToPsdFile("junk", dir / "t.psd"));
  auto preview = PackedStringToJpegPreview(data, 50, 40);
  ASSERT_TRUE(preview.has_value());
  EXPECT_EQ(preview->Width(), 50);
  EXPECT_EQ(preview->Height(), 40);
  EXPECT_FALSE(PackedStringToJpegPreview("junk", 50, 40).has_value());

  auto gallery = JpegFromEncodedString(std::string(reinterpret_cast<const char*>(preview->Bytes().data()),
                                                   preview->Bytes().size()) + "\r\n");
  ASSERT_TRUE(gallery.has_value());
  EXPECT_EQ(gallery->Width(), 50);
  ByteReader slice(preview->Bytes());
  EXPECT_TRUE(JpegFromStreamSlice(slice, preview->Bytes().size()).has_value());
  ByteReader tooLong(preview->Bytes());
  EXPECT_FALSE(JpegFromStreamSlice(tooLong, preview->Bytes().size() + 1).has_value());
}

TEST(Bmp32, KeepsAlphaAndIsReadByImageMagick) {
  TempFolder dir;
  const TBitmap32 picture = TestPicture(13, 5, true);
  const auto file = EncodeBmp32(picture);
  EXPECT_EQ(file.size(), 54u + 13 * 5 * 4);
  EXPECT_TRUE(SamePicture(DecodeBmp32(file), picture));
  ASSERT_TRUE(WriteFileAtomic(dir / "a.bmp", file));
  EXPECT_EQ(Identify(dir / "a.bmp", "%m %w %h"), "BMP3 13 5");
  const TBitmap32 judge = ImageMagickRead(dir / "a.bmp");
  EXPECT_TRUE(SamePicture(judge, picture));
}

TEST(Bmp32, TwentyFourBitFileIsReadByPillowPixelForPixel) {
  // Width 5 needs row padding; distinct colours per pixel catch row order and
  // channel order faults; alpha must not leak into the file.
  TBitmap32 picture;
  picture.SetSize(5, 3, 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) picture.SetPixel(x, y, Color32(10 * x, 100 + y, 7 * x + y, 3));
  TempFolder folder;
  const auto bytes = EncodeBmp24(picture);
  ASSERT_TRUE(WriteFileAtomic(folder / "p.bmp", bytes));

  std::string output;
  ASSERT_EQ(RunCommand("/usr/bin/python3 -c \"from PIL import Image; im = Image.open('" + (folder / "p.bmp").string() +
                           "'); print(im.mode, im.size, list(im.getdata()))\"",
                       &output),
            0);
  std::string expected = "RGB (5, 3) [";
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      expected += (y || x ? ", (" : "(") + std::to_string(10 * x) + ", " + std::to_string(100 + y) + ", " +
                  std::to_string(7 * x + y) + ")";
  EXPECT_EQ(output, expected + "]\n");
}

TEST(Bmp32, ReadsTopDownAndPadded24BitFilesAndRefusesDamage) {
  TempFolder dir;
  const TBitmap32 picture = TestPicture(3, 4, false);
  WriteTestFile(dir / "rgb.rgba", ToRgba(picture));
  // 3 pixels of 24 bits: each row is padded from 9 to 12 bytes.
  ASSERT_EQ(RunCommand("convert -size 3x4 -depth 8 RGBA:" + Quoted(dir / "rgb.rgba") +
                       " -alpha off -type TrueColor BMP3:" + Quoted(dir / "rgb24.bmp")),
            0);
  auto rgb = DecodeBmp32(*ReadFileBytes(dir / "rgb24.bmp"));
  ASSERT_TRUE(rgb.Ok());
  EXPECT_TRUE(SamePicture(*rgb, picture));

  auto file = EncodeBmp32(picture);
  // Turn it into a top-down file: negative height, rows reversed.
  std::vector<std::uint8_t> topDown(file.begin(), file.begin() + 54);
  const std::int32_t negative = -4;
  std::memcpy(topDown.data() + 22, &negative, 4);
  for (int y = 0; y < 4; ++y) topDown.insert(topDown.end(), picture.Row(y), picture.Row(y) + 12);
  EXPECT_TRUE(SamePicture(DecodeBmp32(topDown), picture));

  auto cut = file;
  cut.pop_back();
  EXPECT_EQ(DecodeBmp32(cut, "c.bmp").Error().Text(), "c.bmp: its bitmap picture ends too early");
  auto rle = file;
  rle[30] = 1;  // BI_RLE8
  EXPECT_FALSE(DecodeBmp32(rle).Ok());
  auto huge = file;
  const std::int32_t wide = 1 << 20;
  std::memcpy(huge.data() + 18, &wide, 4);
  ASSERT_FALSE(DecodeBmp32(huge).Ok());
  EXPECT_EQ(DecodeBmp32(huge).Error().Cause, TFileFault::TooLarge);
  auto palette = file;
  palette[28] = 8;
  EXPECT_FALSE(DecodeBmp32(palette).Ok());
  auto lowest = file;
  const std::int32_t lowestHeight = INT32_MIN;
  std::memcpy(lowest.data() + 22, &lowestHeight, 4);
  EXPECT_FALSE(DecodeBmp32(lowest).Ok());
  EXPECT_FALSE(DecodeBmp32(AsBytes("BM")).Ok());
}
