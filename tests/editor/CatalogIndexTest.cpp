#include "editor/CatalogIndex.h"

#include <gtest/gtest.h>

#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/Text.h"
#include "platform/TextFile.h"
#include "shell/HelpPages.h"
#include "support/RecordingPageView.h"
#include "support/TestPaths.h"

namespace {

class CatalogIndexTest : public ::testing::Test {
 protected:
  void Load(const std::string& text) {
    WriteTestFile(dir_ / "Catalog.txt", text);
    index_.Load(dir_ / "Catalog.txt");
  }
  std::string FindCatalogPage(char kind, std::string_view name) const { return index_.FindPage(kind, name); }
  TempFolder dir_;
  TCatalogIndex index_;
};

TEST_F(CatalogIndexTest, ReadsEntriesAndSkipsWhatIsNotOne) {
  Load("# kind; name; page\r\n"
       "\r\n"
       "  t ; Hair\\Long ; long\r\n"
       "M;Anna;models\\anna.html\r\n"
       "X;Unknown;x\r\n"
       ";no kind;y\r\n"
       "Palette;Autumn;  autumn.htm  ;extra\r\n");
  ASSERT_EQ(index_.Entries().size(), 3u);
  EXPECT_EQ(index_.Entries()[0].Kind, 'T');
  EXPECT_EQ(index_.Entries()[0].Name, "HAIR\\LONG");
  EXPECT_EQ(index_.Entries()[0].Page, "LONG.htm");
  EXPECT_EQ(index_.Entries()[1].Page, "MODELS\\ANNA.HTML");
  // Only the first character of the kind counts.
  EXPECT_EQ(index_.Entries()[2].Kind, 'P');
  EXPECT_EQ(index_.Entries()[2].Page, "AUTUMN.HTM");
}

TEST_F(CatalogIndexTest, MissingFileGivesAnEmptyIndexAndNoPages) {
  Load("T;Hair;hair\n");
  index_.Load(dir_ / "missing.txt");
  EXPECT_TRUE(index_.Entries().empty());
  EXPECT_EQ(FindCatalogPage('T', "C:\\Templates\\HAIR\\w01.psd"), "");
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

namespace {

TEST_F(CatalogIndexTest, EmptySearchesMatchNothingAndFoldersMatchEitherSeparator) {
  Load("M;;nameless\n"
       "T;;blank\n"
       "T;HairW\\Bob;bob\n");
  for (const char* blank : {"", "  "}) {
    EXPECT_EQ(FindCatalogPage('M', blank), "") << "[" << blank << "]";
    EXPECT_EQ(FindCatalogPage('T', blank), "") << "[" << blank << "]";
  }
  // An entry without a name is contained in every path: it must not catch them.
  EXPECT_EQ(FindCatalogPage('T', "/opt/Tressary/hairw/BOB2.psd"), "BOB.htm");
  EXPECT_EQ(FindCatalogPage('T', "HAIRW\\bob1.psd"), "BOB.htm");
  EXPECT_EQ(FindCatalogPage('T', "/opt/Tressary/HairW/Pixie1.psd"), "");
}

TEST_F(CatalogIndexTest, PagesShowOnceAndMissingOnesFallBackToTheContents) {
  const fs::path folder = dir_ / "Catalog";
  WriteTestFile(folder / "Bob.htm", "<p>bob</p>");
  WriteTestFile(folder / "Odd.broken", "x");
  TRecordingView view;
  // No extension: ".htm"; the stored upper case finds the file as it is named.
  ShowCatalogPageIn(view, folder, "BOB");
  EXPECT_EQ(view.current, folder / "Bob.htm");
  // The page shown is neither reloaded nor replaced by the contents.
  ShowCatalogPageIn(view, folder, "bob.HTM");
  EXPECT_EQ(view.loads, std::vector<std::string>{"Bob.htm"});
  // Without a contents page a missing page leaves the shown one.
  ShowCatalogPageIn(view, folder, "Gone");
  ShowCatalogPageIn(view, folder, "Odd.broken");
  EXPECT_EQ(view.current, folder / "Bob.htm");
  WriteTestFile(folder / "index.htm", "<p>contents</p>");
  for (const char* missing : {"Gone", "Odd.broken", "..\\Catalog.txt"}) {
    view.current = folder / "Bob.htm";
    ShowCatalogPageIn(view, folder, missing);
    EXPECT_EQ(view.current, folder / "index.htm") << missing;
  }
  // Nothing for no page at all.
  view.loads.clear();
  ShowCatalogPageIn(view, folder, "");
  EXPECT_TRUE(view.loads.empty());
}

TEST_F(CatalogIndexTest, CallersAreOfferedPagesOnlyWhileAWindowCanShowThem) {
  Load("P;Autumn;autumn\n");
  EXPECT_EQ(OfferedCatalogPage('P', "Autumn"), "");
  std::vector<std::string> shown;
  SetCatalogPresenter([&shown](const std::string& page) { shown.push_back(page); }, &index_);
  EXPECT_EQ(OfferedCatalogPage('P', "autumn"), "AUTUMN.htm");
  ShowCatalogPage("");
  ShowCatalogPage("AUTUMN.htm");
  SetCatalogPresenter(nullptr);
  ShowCatalogPage("AUTUMN.htm");
  EXPECT_EQ(shown, std::vector<std::string>{"AUTUMN.htm"});
}

}  // namespace

// The shipped catalogue over the installation the build makes: every template,
// ready solution and palette has a page, and every link of a page leads to a page
// or the clip that exists.
TEST(ShippedCatalogue, EveryElementHasAPageAndEveryLinkArrives) {
  const fs::path install = BuildDir() / "Tressary";
  const fs::path folder = install / "Catalog";
  TCatalogIndex index;
  index.Load(install / "Catalog.txt");
  ASSERT_FALSE(index.Entries().empty());
  auto FindCatalogPage = [&index](char kind, std::string_view name) { return index.FindPage(kind, name); };
  auto lines = [](const fs::path& file) {
    const auto bytes = ReadFileBytes(file);
    EXPECT_TRUE(bytes) << file;
    return bytes ? TextRecords(DecodeText(*bytes)) : std::vector<TextRecord>{};
  };
  int templates = 0;
  const TIniFile ini(install / "Tressary.ini", false);
  for (const std::string& value : ini.ReadSectionValues("TEMPLATE TYPES"))
    for (const auto& file : fs::directory_iterator(install / Field(value.substr(value.find('=') + 1), 2)))
      if (file.path().extension() == ".psd") {
        EXPECT_NE(FindCatalogPage('T', file.path().string()), "") << file.path();
        ++templates;
      }
  int models = 0, palettes = 0;
  for (const TextRecord& line : lines(install / "Models.txt"))
    if (line.text.starts_with('[')) {
      EXPECT_NE(FindCatalogPage('M', Field(line.text.substr(1), 1)), "") << line.text;
      ++models;
    }
  for (const TextRecord& line : lines(install / "PalData.txt")) {
    EXPECT_NE(FindCatalogPage('P', Field(line.text, 1)), "") << line.text;
    ++palettes;
  }
  EXPECT_GT(templates, 30);
  EXPECT_GT(models, 5);
  EXPECT_GT(palettes, 3);
  int links = 0;
  for (const TCatalogInfo& entry : index.Entries()) EXPECT_TRUE(PageInFolder(folder, entry.Page)) << entry.Page;
  for (const auto& page : fs::directory_iterator(folder)) {
    if (page.path().extension() != ".htm") continue;
    const auto bytes = ReadFileBytes(page.path());
    const std::string html(bytes->begin(), bytes->end());
    for (std::size_t at = html.find("href=\""); at != std::string::npos; at = html.find("href=\"", at + 1)) {
      const std::size_t start = at + 6;
      const std::string link = html.substr(start, html.find('"', start) - start);
      const TPageLink route = RoutePageLink(link);
      if (route.Route == TLinkRoute::Shell) continue;
      const auto target = route.Route == TLinkRoute::Video ? PageInFolder(folder, route.Target)
                                                          : PageInFolder(folder, link);
      EXPECT_TRUE(target && fs::is_regular_file(*target)) << page.path().filename() << ": " << link;
      ++links;
    }
  }
  EXPECT_GT(links, 40);
}
