#include <gtest/gtest.h>

#include "picture/PsdFile.h"
#include "platform/TextFile.h"
#include "shell/InterfaceInfo.h"
#include "shell/SkinRegion.h"
#include "support/TestPaths.h"

// The installation's interface files parse, and the desk they set fits the limit.
TEST(DefaultContent, InterfaceFilesParse) {
  for (const char* folder : {"1024-768", "800-600"}) {
    TMrvInterfaceInfo info;
    fs::path file = SourceDir() / "data/Intfaces/DEFAULT" / folder / "INTFACE.TXT";
    ASSERT_NO_THROW(info.LoadLines(*ReadTextLines(file))) << folder;
    EXPECT_EQ(info.Value("FormMessage.Skin"), "FormMess.psd");
    EXPECT_LE(std::stoi(info.Value("DesktopTableWidth")), 1024);
  }
}

// Every generated skin is a Photoshop file whose cut-away parts are exactly the
// key colour, with no greenish fringe left at the rounded edges.
TEST(DefaultContent, GeneratedSkinsAreKeyedCleanly) {
  const fs::path root = BuildDir() / "Tressary/Intfaces/DEFAULT";
  if (!fs::exists(root / "1024-768/FormMess.psd")) GTEST_SKIP() << "the skins are drawn only in builds with Qt";
  int files = 0;
  for (const char* folder : {"1024-768", "800-600"}) {
    for (const auto& entry : fs::directory_iterator(root / folder)) {
      // Window skins (Form*.psd) are keyed; button sheets (*Btn.psd, and the main
      // window's) and panel pictures keep real alpha, which the controls blend.
      const std::string name = entry.path().filename().string();
      if (entry.path().extension() != ".psd" || !name.starts_with("Form") || name.ends_with("Btn.psd")) continue;
      ++files;
      TBitmap32 skin;
      ASSERT_TRUE(LoadPsdPicture(entry.path(), skin)) << entry.path();
      EXPECT_EQ(skin.Pixel(0, 0) & 0xFFFFFF, kSkinKeyColor) << entry.path();
      EXPECT_NE(skin.Pixel(skin.Width() / 2, skin.Height() / 2) & 0xFFFFFF, kSkinKeyColor) << entry.path();
      int fringe = 0;
      for (int y = 0; y < skin.Height(); ++y)
        for (int x = 0; x < skin.Width(); ++x) {
          TColor32 c = skin.Pixel(x, y);
          bool key = (c & 0xFFFFFF) == kSkinKeyColor;
          if (!key && GreenOf(c) > RedOf(c) + 100 && GreenOf(c) > BlueOf(c) + 100) ++fringe;
          if (!key && AlphaOf(c) != 255) ++fringe;
        }
      EXPECT_EQ(fringe, 0) << entry.path();
    }
  }
  EXPECT_GE(files, 4);
  // An independent reader agrees on the size and the key colour of the corners.
  std::string out;
  ASSERT_EQ(RunCommand("/usr/bin/python3 -c \"import sys;from psd_tools import PSDImage;"
                       "im=PSDImage.open(sys.argv[1]).composite().convert('RGB');"
                       "print(im.size, im.getpixel((0,0)), im.getpixel((im.width-1,im.height-1)))\" " +
                           (root / "1024-768/FormMess.psd").string(),
                       &out),
            0);
  EXPECT_EQ(out, "(400, 200) (0, 255, 0) (0, 255, 0)\n");
}
