#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "shell/InterfaceInfo.h"
#include "shell/InterfaceSchema.h"
#include "shell/MainSettings.h"
#include "shell/Tokens.h"
#include "support/TestPaths.h"

namespace {

// The message of the first error in `lines`, or "" when they parse.
std::string ParseError(const std::vector<std::string>& lines) {
  TMrvInterfaceInfo info;
  try {
    info.LoadLines(lines);
  } catch (const EErrorInInfoFile& e) {
    EXPECT_FALSE(info.Initialized());
    return e.what();
  }
  return "";
}

std::string Err(int line, const std::string& reason) {
  return "Error in contents of file INTFACE.TXT (line #" + std::to_string(line) + ")\r" + reason;
}

class InterfaceInfoTest : public ::testing::Test {
 protected:
  void SetUp() override { SetProgramFolders({}); }
  void TearDown() override { SetProgramFolders({}); }
  void UseLines(const std::vector<std::string>& lines) { interface_.Info.LoadLines(lines); }

  TInterface interface_;
  TUseInterface use_{interface_};
};

}  // namespace

TEST(Tokens, DelimitersQuotesAndPositions) {
  TToken t = GetToken("  Left = 10;");
  EXPECT_EQ(t.Text, "Left");
  EXPECT_EQ(t.Start, 3);
  EXPECT_EQ(t.Finish, 6);
  t = GetToken("=<'Times New Roman';");
  EXPECT_EQ(t.Text, "Times New Roman");
  EXPECT_EQ(t.Start, 3);
  EXPECT_EQ(t.Finish, 19);
  t = GetToken("'unclosed value");
  EXPECT_EQ(t.Text, "unclosed value");
  EXPECT_EQ(t.Finish, 15);
  EXPECT_EQ(GetToken(" ,;:[](){}<>/\\ ").Finish, 0);
  std::string line = "Left = 10;";
  DeleteToken(line, 4);
  EXPECT_EQ(line, "= 10;");
  DeleteToken(line, 99);
  EXPECT_EQ(line, "");
}

TEST(InterfaceSchema, TablesAndCaseInsensitiveChecks) {
  EXPECT_EQ(SectionTypes().size(), 40u);
  EXPECT_EQ(ObjectTypes().size(), 23u);
  EXPECT_EQ(SectionTypes().back().Type, "TForm3DTemplate");
  EXPECT_EQ(ObjectTypes()[21].Type, "TSoundHint");
  EXPECT_TRUE(IsObjectType("tgraphicbutton"));
  EXPECT_FALSE(IsObjectType("TGraphicKnob"));
  EXPECT_TRUE(IsSectionParam("TFormCamera", "capwinx"));
  EXPECT_FALSE(IsSectionParam("TFormMontage", "Left"));
  EXPECT_TRUE(IsSectionParam("", "Anything"));
  EXPECT_FALSE(IsSectionParam("TFormUnknown", "Skin"));
  EXPECT_TRUE(IsObjectParam("TGraphicSlider", "Reversed"));
  EXPECT_FALSE(IsObjectParam("TCaptionBar", "Visible"));
  EXPECT_FALSE(IsObjectParam("TButton", ""));
}

TEST(InterfaceFile, EveryErrorWithItsLineNumber) {
  EXPECT_EQ(ParseError({"# comment", "", "SECTION"}), Err(3, "Section name is missing"));
  EXPECT_EQ(ParseError({"SECTION A TFormMain", "SECTION B TFormTips"}),
            Err(2, "Nested section descriptions: <B> in <A>"));
  EXPECT_EQ(ParseError({"SECTION A TFormMain", "OBJECT Btn TGraphicButton", "SECTION B TFormTips"}),
            Err(3, "Description of section <B> is nested in object <Btn>"));
  EXPECT_EQ(ParseError({"SECTION FormMain"}), Err(1, "Section type is missing"));
  EXPECT_EQ(ParseError({"SECTION FormMain TFormNone"}), Err(1, "Section type <TFormNone> is not valid"));
  EXPECT_EQ(ParseError({"SECTION A TFormMain", "OBJECT"}), Err(2, "Object name is missing"));
  EXPECT_EQ(ParseError({"OBJECT Btn TGraphicButton"}), Err(1, "Object <Btn> is described outside any section"));
  EXPECT_EQ(ParseError({"SECTION A TFormMain", "OBJECT B TPanel", "OBJECT C TPanel"}),
            Err(3, "Nested object descriptions: <C> in <B>"));
  EXPECT_EQ(ParseError({"SECTION A TFormMain", "OBJECT B"}), Err(2, "Object type is missing"));
  EXPECT_EQ(ParseError({"SECTION A TFormMain", "OBJECT B TKnob"}), Err(2, "Object type <TKnob> is not valid"));
  EXPECT_EQ(ParseError({"# one", "  # two", "", "END"}), Err(4, "Unnecessary END encountered"));
  EXPECT_EQ(ParseError({"SECTION A TFormMain", "OBJECT B TImage", "Color = 5;"}),
            Err(3, "Parameter <Color> is not a valid parameter for object of type <TImage>"));
  EXPECT_EQ(ParseError({"SECTION A TFormMontage", "Left = 5;"}),
            Err(2, "Parameter <Left> is not a valid parameter for section of type <TFormMontage>"));
  EXPECT_EQ(ParseError({"Left 10;"}), Err(1, "After parameter <Left> equality sign is missing"));
  EXPECT_EQ(ParseError({"Left = ;"}), Err(1, "After equality sign parameter value is missing"));
  EXPECT_EQ(ParseError({"FontName = Times New;"}),
            Err(1, "After value <Times> of parameter <FontName> expression delimiter <;> is missing"));
  EXPECT_EQ(ParseError({"Left ="}), Err(1, "Unaccomplished expression encountered"));
  EXPECT_EQ(ParseError({"Left"}), Err(1, "Unaccomplished expression encountered"));
}

TEST(InterfaceFile, NestedSectionWithoutNameReportsTheMissingName) {
  EXPECT_EQ(ParseError({"SECTION A TFormMain", "SECTION"}), Err(2, "Section name is missing"));
}

TEST_F(InterfaceInfoTest, ExpressionsQuotesCommentsAndLookups) {
  UseLines({
      "DesktopTableWidth = 800",
      "SECTION FormMain TFormMain  # the rest is ignored",
      "  Skin = 'My Main.psd'; PaletteBtnRows = 3;",
      "  OBJECT ButtonExit tgraphicbutton",
      "    Left = 10; Top = 20;   # a comment after an expression",
      "    Left = 99;",
      "  END",
      "END",
      "   # blanks, then a comment",
  });
  ASSERT_TRUE(interface_.Info.Initialized());
  ASSERT_EQ(interface_.Info.Params().size(), 6u);
  const TParamInfoRecord& r = interface_.Info.Params()[3];
  EXPECT_EQ(r.Section, "FORMMAIN");
  EXPECT_EQ(r.Object, "BUTTONEXIT");
  EXPECT_EQ(r.Param, "LEFT");
  EXPECT_EQ(r.Value, "10");
  EXPECT_EQ(GetInterfaceValue("formmain.skin"), "My Main.psd");
  EXPECT_EQ(GetInterfaceValue("FormMain.ButtonExit.Left"), "10");  // the first entry wins
  EXPECT_EQ(GetInterfaceInt("FormMain.ButtonExit.Top"), 20);
  EXPECT_EQ(GetInterfaceInt("DesktopTableWidth"), 800);
  EXPECT_EQ(GetInterfaceValue("FormMain.Left"), "");
  EXPECT_EQ(GetInterfaceInt("FormMain.Skin"), kNoInterfaceInt);
  EXPECT_EQ(GetInterfaceInt("FormMain.Missing"), kNoInterfaceInt);
}

TEST_F(InterfaceInfoTest, IntegersAcceptDecimalAndBothHexForms) {
  UseLines({"A = -12;", "B = $FF00;", "C = 0x00FF00;", "D = 12px;"});
  EXPECT_EQ(GetInterfaceInt("A"), -12);
  EXPECT_EQ(GetInterfaceInt("B"), 0xFF00);
  EXPECT_EQ(GetInterfaceInt("C"), 0xFF00);
  EXPECT_EQ(GetInterfaceInt("D"), kNoInterfaceInt);
}

TEST_F(InterfaceInfoTest, AFaultyFileYieldsNoValuesAndASecondLoadClears) {
  EXPECT_THROW(interface_.Info.LoadLines({"A = 1;", "END"}), EErrorInInfoFile);
  EXPECT_EQ(GetInterfaceValue("A"), "");
  interface_.Info.LoadLines({"B = 2;"});
  EXPECT_EQ(interface_.Info.Params().size(), 1u);
  interface_.Info.FreeParams();
  EXPECT_THROW(interface_.Info.LoadLines({}), EInfoObjectNotInitialized);
}

TEST_F(InterfaceInfoTest, InterfaceListTakesTheLastActiveEntry) {
  TempFolder dir;
  WriteTestFile(dir / "t.ini",
                "[INTERFACES]\nInterface1=Blue; Blue look; 1\nInterface2= green ;Green;1\n"
                "Other=Red;Red;1\nInterface3=Gold;Gold;x\nInterface4=\nInterface5=Grey;Grey;0\n");
  const TInterfaceList list = ReadInterfaceList(TIniFile(dir / "t.ini"));
  EXPECT_EQ(list.Active, "GREEN\\");
  ASSERT_EQ(list.Entries.size(), 3u);
  EXPECT_EQ(list.Entries[0].DirName, "BLUE");
  EXPECT_EQ(list.Entries[0].Caption, "Blue look");
  EXPECT_FALSE(list.Entries[2].Active);
  const TInterfaceList none = ReadInterfaceList(TIniFile(dir / "none.ini"));
  EXPECT_EQ(none.Active, "DEFAULT\\");
  EXPECT_TRUE(none.Entries.empty());
}

TEST_F(InterfaceInfoTest, LoadFindsTheFileByResolutionAndNeverUses1280) {
  TempFolder dir;
  SetProgramFolders(dir.Path());
  WriteTestFile(dir / "Tressary.ini", "[DIRECTORIES]\nInterfaceDirName=Skins ; comment\n");
  const TIniFile settings(dir / "Tressary.ini");
  WriteTestFile(dir / "skins/default/800-600/intface.txt", "Where = small;");
  WriteTestFile(dir / "skins/default/1280-1024/intface.txt", "Where = huge;");
  std::string warning;
  EXPECT_TRUE(LoadInterface(interface_, settings, 1600, 1200, &warning));
  EXPECT_EQ(interface_.ResolutionIndex, 2);
  EXPECT_EQ(interface_.Dir, "Skins\\");
  EXPECT_EQ(GetInterfaceValue("Where"), "small");
  WriteTestFile(dir / "skins/default/1024-768/intface.txt", "Where = medium;");
  EXPECT_TRUE(LoadInterface(interface_, settings, 1280, 1024, &warning));
  EXPECT_EQ(GetInterfaceValue("Where"), "medium");
  EXPECT_TRUE(LoadInterface(interface_, settings, 1024, 767, &warning));
  EXPECT_EQ(interface_.ResolutionIndex, 1);
  EXPECT_EQ(GetInterfaceValue("Where"), "small");
  EXPECT_TRUE(warning.empty());
}

TEST_F(InterfaceInfoTest, MissingFilesAreNoErrorAndSyntaxErrorsAWarning) {
  TempFolder dir;
  SetProgramFolders(dir.Path());
  const TIniFile noSettings = TIniFile::FromText("");
  std::string warning;
  EXPECT_TRUE(LoadInterface(interface_, noSettings, 1024, 768, &warning));
  EXPECT_TRUE(interface_.Info.Params().empty());
  EXPECT_EQ(interface_.Dir, "Intfaces\\");
  WriteTestFile(dir / "Intfaces/DEFAULT/1024-768/INTFACE.TXT", "A = 1;\nA 2\n");
  EXPECT_FALSE(LoadInterface(interface_, noSettings, 1024, 768, &warning));
  EXPECT_EQ(warning, Err(2, "After parameter <A> equality sign is missing"));
  EXPECT_EQ(GetInterfaceValue("A"), "");
}

TEST(InterfaceInUse, IsTheLatestPutInUseAndTheEarlierOneComesBack) {
  EXPECT_FALSE(InterfaceInUse().Info.Initialized()) << "none is in use outside a run";
  TInterface outer;
  outer.Info.LoadLines({"Where = outer;"});
  TUseInterface useOuter(outer);
  {
    TInterface inner;
    inner.Info.LoadLines({"Where = inner;"});
    TUseInterface useInner(inner);
    EXPECT_EQ(GetInterfaceValue("Where"), "inner");
  }
  EXPECT_EQ(&InterfaceInUse(), &outer);
  EXPECT_EQ(GetInterfaceValue("Where"), "outer");
}
