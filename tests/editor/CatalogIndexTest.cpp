#include "editor/CatalogIndex.h"

#include <gtest/gtest.h>

#include "shell/ShellGlobals.h"
#include "support/TestPaths.h"

namespace {

class CatalogIndexTest : public ::testing::Test {
 protected:
  void TearDown() override { CatalogIndex.clear(); }
  void Load(const std::string& text) {
    WriteTestFile(dir_ / "Catalog.txt", text);
    LoadCatalogIndex(dir_ / "Catalog.txt");
  }
  TempFolder dir_;
};

TEST_F(CatalogIndexTest, ReadsEntriesAndSkipsWhatIsNotOne) {
  Load("# kind; name; page\r\n"
       "\r\n"
       "  t ; Hair\\Long ; long\r\n"
       "M;Anna;models\\anna.html\r\n"
       "X;Unknown;x\r\n"
       ";no kind;y\r\n"
       "Palette;Autumn;  autumn.htm  ;extra\r\n");
  ASSERT_EQ(CatalogIndex.size(), 3u);
  EXPECT_EQ(CatalogIndex[0].Kind, 'T');
  EXPECT_EQ(CatalogIndex[0].Name, "HAIR\\LONG");
  EXPECT_EQ(CatalogIndex[0].Page, "LONG.htm");
  EXPECT_EQ(CatalogIndex[1].Page, "MODELS\\ANNA.HTML");
  // Only the first character of the kind counts.
  EXPECT_EQ(CatalogIndex[2].Kind, 'P');
  EXPECT_EQ(CatalogIndex[2].Page, "AUTUMN.HTM");
}

TEST_F(CatalogIndexTest, MissingFileGivesAnEmptyIndexAndNoPages) {
  Load("T;Hair;hair\n");
  LoadCatalogIndex(dir_ / "missing.txt");
  EXPECT_TRUE(CatalogIndex.empty());
  EXPECT_EQ(FindCatalogPage('T', "C:\\Templates\\HAIR\\w01.psd"), "");
  const std::string exePath = ExePath;
  ExePath = dir_.Path().string() + "/";
  LoadCatalogIndex();  // ExePath + "Catalog.txt"
  EXPECT_EQ(CatalogIndex.size(), 1u);
  ExePath = exePath;
}

TEST_F(CatalogIndexTest, TemplatesMatchByContainmentEitherWayOthersByName) {
  Load("T;HairW;women\n"
       "T;hairw\\long;womenlong\n"
       "M;Anna;anna\n"
       "M;Anna;second\n"
       "P;Autumn;autumn\n");
  // A template's path contains the entry's name, in any case; the first entry wins.
  EXPECT_EQ(FindCatalogPage('T', "/opt/tressary/Templates/hairw/long/w01.psd"), "WOMEN.htm");
  // A short name is contained in the entry's name.
  EXPECT_EQ(FindCatalogPage('t', "air"), "WOMEN.htm");
  EXPECT_EQ(FindCatalogPage('T', "beard"), "");
  EXPECT_EQ(FindCatalogPage('T', ""), "");
  EXPECT_EQ(FindCatalogPage('M', "anna"), "ANNA.htm");
  EXPECT_EQ(FindCatalogPage('M', "Ann"), "");
  EXPECT_EQ(FindCatalogPage('P', "Anna"), "");  // kinds never mix
  EXPECT_EQ(FindCatalogPage('p', "AUTUMN"), "AUTUMN.htm");
}

}  // namespace
