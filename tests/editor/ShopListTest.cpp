// Matching the desk's layers against the shop lists.
#include "editor/ShopList.h"

#include <gtest/gtest.h>

#include "support/TestPaths.h"

namespace {

const std::vector<std::string> kShops = {"1; 10115; Curl & Comb; https://curl.example.com",
                                         "2; 20095; Hair Loft; https://loft.example.org",
                                         "3; ; No Code; mailto:shop@example.net"};
const std::vector<std::string> kParts = {"HairW\\Bob1.psd; 1, 2", "hairm\\crop1.psd; 3, 9,, 1",
                                         "0,0,128; 2", "255,255,255; 1"};

constexpr int kNavy = 128 << 16;  // $00BBGGRR: blue 128

}  // namespace

TEST(ShopList, TintedTemplatesGiveTemplateThenColourRows) {
  TShopList list;
  list.SetLines(kShops, kParts);
  const std::vector<TShopLayer> desk = {
      {"HairW/bob1.psd", kNavy},   // the stored path may use either separator, any case
      {"", kNavy},                 // the portrait: no source file, so no colour row either
      {"HairM\\Crop1.psd", -1},    // untinted: never the white entry
      {"Hats\\None.psd", 0xFFFFFF},  // tinted white but not a listed template
  };
  const std::vector<TShopRow> rows = list.Match(desk);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].Line, "HairW\\Bob1.psd; 1, 2;0;");
  EXPECT_FALSE(rows[0].IsColor);
  EXPECT_EQ(rows[0].Shops, (std::vector<std::string>{"Curl & Comb", "Hair Loft"}));
  EXPECT_EQ(rows[0].Zips, (std::vector<std::string>{"10115", "20095"}));
  EXPECT_EQ(rows[1].Line, "0,0,128; 2;1;");
  EXPECT_TRUE(rows[1].IsColor);
  EXPECT_EQ(rows[1].Layer, 0);
  EXPECT_EQ(rows[1].Urls, (std::vector<std::string>{"https://loft.example.org"}));
  // Ids "3" and an unknown "9"; the empty id ends the list before the last "1".
  EXPECT_EQ(rows[2].Layer, 2);
  EXPECT_EQ(rows[2].Shops, (std::vector<std::string>{"No Code", ""}));
  EXPECT_EQ(rows[2].Zips, (std::vector<std::string>{"", ""}));
  EXPECT_EQ(rows[3].Line, "255,255,255; 1;1;");
  EXPECT_EQ(rows[3].Layer, 3);

  EXPECT_TRUE(ZipListed(rows, "20095"));
  EXPECT_FALSE(ZipListed(rows, "2009"));
  // Blank codes of shops without one are not a match for an empty box.
  EXPECT_FALSE(ZipListed(rows, ""));
}

TEST(ShopList, MissingFileLoadsNothing) {
  TempFolder dir;
  WriteTestFile(dir / "shops.txt", "# shops\n\n1; 1; A; https://a.example.com\n");
  TShopList list;
  EXPECT_FALSE(list.Load(dir / "shops.txt", dir / "partshops.txt"));
  EXPECT_TRUE(list.Match(std::vector<TShopLayer>{{"a.psd", -1}}).empty());
  WriteTestFile(dir / "partshops.txt", "#\r\nA.PSD;1\r\n");
  ASSERT_TRUE(list.Load(dir / "shops.txt", dir / "partshops.txt"));
  const auto rows = list.Match(std::vector<TShopLayer>{{"a.psd", -1}, {"a.psd", -1}});
  ASSERT_EQ(rows.size(), 2u);  // the same template twice: two rows
  EXPECT_EQ(rows[1].Shops, std::vector<std::string>{"A"});
}

TEST(ShopList, LineUnderTheMouse) {
  // Three lines in a 60-pixel cell at 100: 20 pixels each; below the last is the first.
  EXPECT_EQ(ShopLineAt(100, 100, 60, 3), 0);
  EXPECT_EQ(ShopLineAt(139, 100, 60, 3), 1);
  EXPECT_EQ(ShopLineAt(159, 100, 60, 3), 2);
  EXPECT_EQ(ShopLineAt(165, 100, 64, 3), 0);  // 21-pixel lines leave 1 pixel over
  EXPECT_EQ(ShopLineAt(120, 100, 60, 0), -1);
}
