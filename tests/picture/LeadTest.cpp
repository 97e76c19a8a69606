// The imaging-library picture class over GraphicsMagick, judged by ImageMagick
// and Pillow.
#include <gtest/gtest.h>

#include "picture/BitmapRoutines.h"
#include "picture/Lead.h"
#include "picture/PsdFile.h"
#include "support/PictureCompare.h"
#include "support/PictureJudges.h"

namespace {
TBitmap32 Opaque(TBitmap32 b) {
  SetAlpha(b, 255);
  return b;
}
}  // namespace

TEST(Lead, SavesEachFormatAt24BitsAsImageMagickSeesIt) {
  TempFolder dir;
  const TBitmap32 picture = TestPicture(31, 17, true);
  ImageMagickWrite(Opaque(picture), dir / "reference.png", "-alpha off");
  TLead lead;
  lead.Assign(picture);
  struct Case {
    const char* file;
    int format;
    const char* magick;
  } cases[] = {{"o.bmp", kLeadBmp, "BMP3"}, {"o.jpg", kLeadJpeg, "JPEG"}, {"o.tif", kLeadTiff, "TIFF"},
               {"o.pcx", kLeadPcx, "PCX"}, {"o.tga", kLeadTga, "TGA"},   {"o.png", kLeadPng, "PNG"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    ASSERT_TRUE(lead.SaveToFile(dir / c.file, c.format));
    EXPECT_EQ(Identify(dir / c.file, "%m %w %h %z"), std::string(c.magick) + " 31 17 8");
    EXPECT_NE(Identify(dir / c.file, "%A"), "True") << "no alpha channel at 24 bits";
    if (c.format == kLeadTga) {
      // ImageMagick 6.9 reads bottom-up TGA files upside down: Pillow judges them.
      WriteTestFile(dir / "expected.rgba", ToRgba(Opaque(picture)));
      EXPECT_EQ(RunPython("import sys\nfrom PIL import Image\nd=sys.argv[1]\n"
                          "im=Image.open(d+'/o.tga')\n"
                          "print(im.convert('RGBA').tobytes()==open(d+'/expected.rgba','rb').read())\n",
                          Quoted(dir.Path())),
                "True\n");
      continue;
    }
    std::string out;
    const std::string metric = c.format == kLeadJpeg ? "PSNR" : "AE";
    RunCommand("compare -metric " + metric + " " + Quoted(dir / "reference.png") + " " + Quoted(dir / c.file) +
                   " null: 2>&1",
               &out);
    if (c.format == kLeadJpeg) {
      EXPECT_GT(std::atof(out.c_str()), 30.0) << out;
      EXPECT_EQ(Identify(dir / c.file, "%Q"), "90") << "factor 16 is quality 90";
    } else {
      EXPECT_EQ(out, "0") << "pixels differ";
    }
  }
  ASSERT_TRUE(lead.SaveToFile(dir / "plain.png"));
  EXPECT_EQ(Identify(dir / "plain.png", "%m"), "BMP3") << "saving without a format writes a bitmap";
  EXPECT_FALSE(lead.SaveToFile(dir / "x.xyz", 99));
  EXPECT_FALSE(fs::exists(dir / "x.xyz"));
  EXPECT_FALSE(TLead().SaveToFile(dir / "empty.bmp", kLeadBmp));
}

TEST(Lead, LoadsOtherFormatsOpaqueAsTheJudgesReadThem) {
  TempFolder dir;
  const TBitmap32 picture = TestPicture(23, 11, true);
  ImageMagickWrite(picture, dir / "a.png", "");
  ImageMagickWrite(picture, dir / "a.pcx", "-alpha off");
  ImageMagickWrite(picture, dir / "a.gif", "-alpha off -colors 64");
  ImageMagickWrite(picture, dir / "a.tif", "-alpha off");
  WriteTestFile(dir / "a.rgba", ToRgba(picture));
  ASSERT_EQ(RunPython("import sys\nfrom PIL import Image\n"
                      "Image.frombytes('RGBA',(23,11),open(sys.argv[1]+'/a.rgba','rb').read()).convert('RGB')"
                      ".save(sys.argv[1]+'/a.tga')\nprint('ok')\n",
                      Quoted(dir.Path())),
            "ok\n");
  for (const char* name : {"a.png", "a.pcx", "a.gif", "a.tif", "a.tga"}) {
    SCOPED_TRACE(name);
    const TFileResult<TBitmap32> read = ReadImageFile(dir / name);
    ASSERT_TRUE(read) << read.Error().Text();
    const TBitmap32& ours = *read;
    // ImageMagick 6.9 reads bottom-up TGA files upside down: the source judges those.
    const TBitmap32 judge = std::string(name) == "a.tga" ? picture : ImageMagickRead(dir / name);
    EXPECT_TRUE(AlphaIs(ours, 255));
    EXPECT_TRUE(SamePicture(ours, judge, {.AlphaTolerance = 255}));
  }
}

TEST(Lead, ConvertsOtherColourSpacesToRgb) {
  TempFolder dir;
  ASSERT_EQ(RunCommand("convert -size 4x4 xc:'rgb(255,0,0)' -colorspace CMYK " + Quoted(dir / "cmyk.jpg")), 0);
  const TFileResult<TBitmap32> b = ReadImageFile(dir / "cmyk.jpg");
  ASSERT_TRUE(b);
  const TColor32 p = b->Pixel(1, 1);
  EXPECT_GT(RedOf(p), 240);
  EXPECT_LT(GreenOf(p), 15);
  EXPECT_LT(BlueOf(p), 15);
}

TEST(Lead, PhotoshopFilesGoThroughOurReader) {
  TempFolder dir;
  const TBitmap32 picture = TestPicture(6, 5, true);
  ASSERT_TRUE(SavePsdFile(picture, dir / "p.psd"));
  TLead lead;
  ASSERT_TRUE(lead.LoadFromFile(dir / "p.psd"));
  EXPECT_TRUE(SamePicture(lead.Bitmap(), Opaque(picture)));
}

TEST(Lead, UnreadableFilesFailWithAClearError) {
  TempFolder dir;
  WriteTestFile(dir / "old.cmp", "whatever is inside");
  WriteTestFile(dir / "broken.png", "\x89PNG\r\n\x1a\n but nothing more");
  TLead lead;
  lead.Assign(TBitmap32(2, 2, Color32(1, 2, 3)));
  const TFileResult<> cmp = lead.LoadFromFile(dir / "old.cmp");
  ASSERT_FALSE(cmp);
  EXPECT_EQ(cmp.Error().Cause, TFileFault::UnknownType);
  EXPECT_NE(cmp.Error().Text().find("\".cmp\" cannot be read"), std::string::npos) << cmp.Error().Text();
  const TFileResult<> broken = lead.LoadFromFile(dir / "broken.png");
  ASSERT_FALSE(broken);
  EXPECT_EQ(broken.Error().Cause, TFileFault::Damaged);
  EXPECT_FALSE(broken.Error().Detail.empty()) << "the library's own words";
  const TFileResult<> missing = lead.LoadFromFile(dir / "missing.png");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.Error().Cause, TFileFault::NoSuchFile);
  EXPECT_EQ(missing.Error().Path, dir / "missing.png");
  EXPECT_EQ(lead.Width(), 2) << "a failed load keeps the picture";
}

TEST(Lead, RegistrationAndFormatCodes) {
  const auto& formats = LeadFormats();
  ASSERT_EQ(formats.size(), 13u);
  EXPECT_EQ(formats.front().Extension, "pcx");
  EXPECT_EQ(formats[2].Description, "TARGA image");
  EXPECT_EQ(formats[8].Description, "Lead image");
  EXPECT_EQ(formats.back().Extension, "img");
  EXPECT_EQ(LeadFormatForExtension(".png"), kLeadPng);
  EXPECT_EQ(LeadFormatForExtension(".PNG"), 75);
  EXPECT_EQ(LeadFormatForExtension(".Jpg"), 23);
  EXPECT_EQ(LeadFormatForExtension(".jpeg"), kLeadBmp);
  EXPECT_EQ(LeadFormatForExtension(".psd"), 76);
  EXPECT_EQ(LeadFormatForExtension(""), 6);
}

TEST(Lead, ResizesDrawsAndAssigns) {
  TLead lead;
  lead.Assign(TBitmap32(4, 2, Color32(50, 60, 70, 9)));
  EXPECT_EQ(lead.Bitmap().Pixel(0, 0), Color32(50, 60, 70, 255));
  lead.SetWidth(8);
  lead.SetHeight(3);
  EXPECT_EQ(lead.Width(), 8);
  EXPECT_EQ(lead.Height(), 3);
  EXPECT_EQ(lead.Bitmap().Pixel(7, 2), Color32(50, 60, 70, 255));
  TBitmap32 canvas(10, 10);
  lead.Draw(canvas, {1, 1, 9, 4});
  EXPECT_EQ(canvas.Pixel(1, 1), Color32(50, 60, 70, 255));
  EXPECT_EQ(canvas.Pixel(0, 0), 0u);
  lead.Draw(canvas, {0, 5, 16, 11});
  EXPECT_EQ(canvas.Pixel(9, 9), Color32(50, 60, 70, 255));
  TLead other;
  other.Assign(&lead);
  EXPECT_TRUE(SamePicture(other.Bitmap(), lead.Bitmap()));
  other.Assign(nullptr);
  EXPECT_TRUE(other.Empty());
  lead.SetWidth(0);
  EXPECT_TRUE(lead.Empty());
}
