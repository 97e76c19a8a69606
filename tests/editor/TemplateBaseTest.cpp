// Template types and the template catalogue.
#include <gtest/gtest.h>

#include "support/TestPaths.h"
#include "editor/TemplateBase.h"
#include "platform/IniFile.h"
#include "platform/TextFile.h"

namespace {

std::vector<TPartTypeRecord> SampleTypes() {
  return ParseTemplateTypes({"Type1=1;HairW;Hairstyles;30;F;", "Type2=4; Nails ;Nails;20;n;", "Type3=9;Body;Body;5;;"});
}

struct Parsed {
  std::vector<TPartInfoRecord> list;
  std::vector<std::string> warnings;
};

Parsed Parse(const std::vector<std::string>& lines) {
  Parsed p;
  p.list = ParsePartBase(lines, SampleTypes(), [&](const std::string& w) { p.warnings.push_back(w); });
  return p;
}

}  // namespace

TEST(TemplateTypes, FieldsLettersAndDroppedValues) {
  const auto types = ParseTemplateTypes({"A=1;HairW ; Women's hair ;30;f;", "B=  ", "C=x;Bad;Bad;1;F;", "D=2;Beards;Beards;y;F;",
                                         "E=9;Body;Body;5;;"});
  ASSERT_EQ(types.size(), 2u);
  EXPECT_EQ(types[0].TypeNo, 1);
  EXPECT_EQ(types[0].Folder, "HairW");
  EXPECT_EQ(types[0].Text, "Women's hair");
  EXPECT_EQ(types[0].Level, 30);
  EXPECT_EQ(types[0].Letters, "F");
  EXPECT_EQ(types[1].Letters, "F");  // empty letters mean a face template
  EXPECT_EQ(TemplateKindOf(9, types), tkFace);
  EXPECT_EQ(TemplateKindOf(4, SampleTypes()), tkHand);
  EXPECT_EQ(TemplateKindOf(77, SampleTypes()), tkFace);  // not listed
  EXPECT_EQ(TemplateKindOfLetters("BM"), tkFace);  // whole field compared
  EXPECT_EQ(TemplateKindOfLetters("M"), tkModel);
}

TEST(TemplateTypes, ReadFromTheSettingsSection) {
  TIniFile ini = TIniFile::FromText("[Template Types]\nType1=3;Hats;Hats;40;F;\n[OTHER]\nType1=5;X;X;1;F;\n");
  TTemplateBase base;
  base.LoadTypes(ini);
  ASSERT_EQ(base.Types.size(), 1u);
  EXPECT_EQ(base.Types[0].Folder, "Hats");
}

TEST(PartBase, CommentsDirectivesFieldsAndFlags) {
  const Parsed p = Parse({
      "# a comment",
      "",
      "   $PART_TYPE 1",
      "1; -106; -150; bob.psd ; Short bob ; ?length=short,medium; ?colour=dark;",
      "  # indented comment",
      "4;100;90;red.psd;Red nails;",
      "9;0;0;suit.psd",
      "12;5;5;loose.psd;Unlisted;x",
      "0;1;1;model.psd;Model;",
  });
  ASSERT_EQ(p.list.size(), 5u);
  EXPECT_TRUE(p.warnings.empty());
  EXPECT_EQ(p.list[0].PartType, 1);
  EXPECT_EQ(p.list[0].X, -106);
  EXPECT_EQ(p.list[0].Y, -150);
  EXPECT_EQ(p.list[0].FileName, "HairW\\bob.psd");
  EXPECT_EQ(p.list[0].Name, "Short bob");
  // The flags are the rest of the line, ";" included, upper-cased.
  EXPECT_EQ(p.list[0].Flags, "?LENGTH=SHORT,MEDIUM; ?COLOUR=DARK;");
  EXPECT_EQ(p.list[1].FileName, "Nails\\red.psd");  // the folder is trimmed
  EXPECT_EQ(p.list[1].Flags, "");
  EXPECT_EQ(p.list[2].FileName, "Body\\suit.psd");  // a line without name and flags
  EXPECT_EQ(p.list[2].Name, "");
  EXPECT_EQ(p.list[3].FileName, "loose.psd");  // an unlisted type has no folder
  EXPECT_EQ(p.list[4].FileName, "model.psd");
}

TEST(PartBase, BadPartTypeWarnsWithItsLineNumberAndReadingGoesOn) {
  const Parsed p = Parse({"# header", "", "$part_type", "$PART_TYPE abc", "$PART_TYPE 7", "1;0;0;a.psd;A;"});
  ASSERT_EQ(p.warnings.size(), 2u);
  EXPECT_EQ(p.warnings[0], "Error in contents of file PARTBASE.TXT (line #3)\rTemplate type number is missing");
  EXPECT_EQ(p.warnings[1], PartTypeWarning(4));
  ASSERT_EQ(p.list.size(), 1u);
  EXPECT_EQ(p.list[0].Name, "A");
}

TEST(PartBase, LinesWithBadIntegersAreDropped) {
  const Parsed p = Parse({"x;0;0;a.psd;A;", "1;1.5;0;b.psd;B;", "1;0;;c.psd;C;", "1;99999999999;0;d.psd;D;", "1", "1;$10;0x20;e.psd;E;"});
  ASSERT_EQ(p.list.size(), 1u);
  EXPECT_TRUE(p.warnings.empty());
  EXPECT_EQ(p.list[0].X, 16);
  EXPECT_EQ(p.list[0].Y, 32);
}

TEST(PartBase, ReloadSwapsTheWholeListInAfterTheWarnings) {
  TempFolder folder;
  TTemplateBase base;
  base.Types = SampleTypes();
  WriteTestFile(folder / "PartBase.txt", "1;0;0;a.psd;A;\n1;0;0;b.psd;B;\n");
  ASSERT_TRUE(base.LoadList(folder.Path(), nullptr));
  ASSERT_EQ(base.List.size(), 2u);
  EXPECT_FALSE(base.ListChanged(folder.Path()));

  WriteTestFile(folder / "PartBase.txt", "$PART_TYPE\n1;0;0;c.psd;C;\n");
  EXPECT_TRUE(base.ListChanged(folder.Path()));
  std::vector<std::string> seen;
  ASSERT_TRUE(base.LoadList(folder.Path(), [&](const std::string&) {
    // While the warning is up the old list is still whole.
    ASSERT_EQ(base.List.size(), 2u);
    seen.push_back(base.List[1].Name);
  }));
  EXPECT_EQ(seen, std::vector<std::string>{"B"});
  ASSERT_EQ(base.List.size(), 1u);
  EXPECT_EQ(base.List[0].Name, "C");
  EXPECT_FALSE(base.ListChanged(folder.Path()));

  fs::remove(folder / "PartBase.txt");
  EXPECT_TRUE(base.ListChanged(folder.Path()));
  EXPECT_EQ(base.LoadList(folder.Path(), nullptr).Error().Cause, TFileFault::NoSuchFile);
  EXPECT_EQ(base.List.size(), 1u);  // a failed load keeps the list
  EXPECT_TRUE(base.ListChanged(folder.Path()));
}
