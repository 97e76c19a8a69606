#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "support/SaveGuarantee.h"
#include "support/TestPaths.h"

TEST(IniFile, NamesIgnoreCaseAndValuesStayVerbatim) {
  auto ini = TIniFile::FromText("[Intro Video]\nLogo = Logo.avi; 320 ,240 \n[MAIL]\nServer=a;b,c\n");
  EXPECT_EQ(ini.ReadString("intro video", "LOGO", "x"), "Logo.avi; 320 ,240");
  EXPECT_EQ(ini.ReadString("mail", "server", ""), "a;b,c");
  EXPECT_EQ(ini.ReadString("MAIL", "Missing", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("Nowhere", "Server", "dflt"), "dflt");
  EXPECT_TRUE(ini.SectionExists("INTRO VIDEO"));
  EXPECT_TRUE(ini.ValueExists("Mail", "SERVER"));
}

TEST(IniFile, BooleansCompareUpperCasedValueWithYes) {
  auto ini = TIniFile::FromText("[S]\nA=yes\nB=Yes please\nC=NO\nD=\n");
  EXPECT_TRUE(ini.ReadBool("S", "A", false));
  EXPECT_FALSE(ini.ReadBool("S", "B", true));
  EXPECT_FALSE(ini.ReadBool("S", "C", true));
  EXPECT_FALSE(ini.ReadBool("S", "D", true));
  EXPECT_TRUE(ini.ReadBool("S", "Missing", true));
}

TEST(IniFile, IntegersAcceptHexAndFallBackOnGarbage) {
  auto ini = TIniFile::FromText("[S]\nA=12\nB=$1F\nC=twelve\nD=\n");
  EXPECT_EQ(ini.ReadInteger("S", "A", 0), 12);
  EXPECT_EQ(ini.ReadInteger("S", "B", 0), 31);
  EXPECT_EQ(ini.ReadInteger("S", "C", -1), -1);
  EXPECT_EQ(ini.ReadInteger("S", "D", -1), -1);
}

TEST(IniFile, SectionListingsKeepFileOrderAndFirstDuplicateWins) {
  auto ini = TIniFile::FromText("; comment\nstray=1\n[S]\nz=1\na=2\nZ=3\nflag\n[T]\n[s]\nm=4\n");
  EXPECT_EQ(ini.ReadSection("S"), (std::vector<std::string>{"z", "a", "flag", "m"}));
  EXPECT_EQ(ini.ReadSectionValues("s"), (std::vector<std::string>{"z=1", "a=2", "flag=", "m=4"}));
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"S", "T"}));
  EXPECT_TRUE(ini.ReadSection("T").empty());
}

TEST(IniFile, ReadsWindowsFiles) {
  TempFolder dir;
  // A byte-order mark, CR LF line ends and a Windows-1252 letter elsewhere in the file.
  WriteTestFile(dir / "crlf.ini", "\xEF\xBB\xBF[Files]\r\nName=Caf\xC3\xA9\r\n");
  WriteTestFile(dir / "ansi.ini", "[Files]\r\nName=Caf\xE9\r\n");
  EXPECT_EQ(TIniFile(dir / "crlf.ini").ReadString("Files", "Name", ""), "Caf\xC3\xA9");
  EXPECT_EQ(TIniFile(dir / "ansi.ini").ReadString("Files", "Name", ""), "Caf\xC3\xA9");
}

TEST(IniFile, WritesThroughAndKeepsOrder) {
  TempFolder dir;
  WriteTestFile(dir / "t.ini", "[A]\nk1=v1\nk2=v2\n");
  {
    TIniFile ini(dir / "t.ini");
    ini.WriteString("a", "K1", "new");
    ini.WriteBool("B", "Flag", true);
    ini.WriteInteger("B", "Count", -3);
    ini.WriteString("B", "Evil", "x\r\n[Injected]");
  }
  TIniFile again(dir / "t.ini");
  EXPECT_EQ(again.ReadSection("A"), (std::vector<std::string>{"k1", "k2"}));
  EXPECT_EQ(again.ReadString("A", "k1", ""), "new");
  EXPECT_EQ(again.ReadString("B", "Flag", ""), "YES");
  EXPECT_EQ(again.ReadInteger("B", "Count", 0), -3);
  EXPECT_EQ(again.ReadString("B", "Evil", ""), "x[Injected]");
  EXPECT_FALSE(again.SectionExists("Injected"));
}

TEST(IniFile, EraseAndDelete) {
  TempFolder dir;
  TIniFile ini(dir / "t.ini");
  ini.WriteString("A", "x", "1");
  ini.WriteString("A", "y", "2");
  ini.WriteString("B", "z", "3");
  ini.DeleteKey("a", "X");
  ini.EraseSection("b");
  TIniFile again(dir / "t.ini");
  EXPECT_EQ(again.ReadSectionValues("A"), (std::vector<std::string>{"y=2"}));
  EXPECT_FALSE(again.SectionExists("B"));
}

TEST(IniFile, ErasingASectionKeepsTheCommentsAboveItsHeader) {
  // The comments of a section without keys read as lines before the next header.
  TIniFile ini = TIniFile::FromText("[MAIL]\n; Server=the SMTP server\n\n[LIST]\nA=1\n[END]\nB=2\n");
  ini.EraseSection("LIST");
  ini.WriteString("LIST", "A", "2");
  const std::string text = ini.ToText();
  EXPECT_NE(text.find("[MAIL]\r\n; Server=the SMTP server\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("[LIST]\r\nA=2"), std::string::npos) << text;
  // Above the first section: they stay at the top.
  TIniFile top = TIniFile::FromText("; heading\n[A]\nx=1\n[B]\ny=2\n");
  top.EraseSection("A");
  EXPECT_EQ(top.ToText(), "; heading\r\n[B]\r\ny=2\r\n");
}

// A folder the user may not write to; root, whom modes do not stop, checks it
// as another user in a child process.
TEST(IniFile, FailedUpdateLeavesTheOldFile) {
  TempFolder dir;
  fs::create_directories(dir / "ro");
  WriteTestFile(dir / "ro" / "t.ini", "[A]\nk=old\n");
  ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
  ASSERT_EQ(chmod((dir / "ro").c_str(), 0555), 0);
  ASSERT_EQ(chmod((dir / "ro" / "t.ini").c_str(), 0644), 0);
  auto check = [&] {
    TIniFile ini(dir / "ro" / "t.ini");
    const TFileResult<> through = ini.WriteString("A", "k", "new");
    const TFileResult<> written = ini.UpdateFile();
    return !through && through.Error().System == EACCES && !written && written.Error().System == EACCES &&
           TIniFile(dir / "ro" / "t.ini").ReadString("A", "k", "") == "old";
  };
  if (geteuid() != 0) {
    EXPECT_TRUE(check());
    return;
  }
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0) _exit(3);
    _exit(check() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status << " (3: no other user)";
  EXPECT_EQ(TIniFile(dir / "ro" / "t.ini").ReadString("A", "k", ""), "old");
}

TEST(IniFile, SaveReplacesTheFileWholeOrNotAtAll) {
  TempFolder dir;
  WriteTestFile(dir / "t.ini", "[A]\r\nk=old\r\n");
  TIniFile ini(dir / "t.ini");
  int n = 0;
  ExpectSaveKeepsOldFile(dir / "t.ini", [&] {
    return ini.WriteString("A", "k", "new value number " + std::to_string(++n)).Ok();
  });
  EXPECT_EQ(TIniFile(dir / "t.ini").ReadString("A", "k", ""), "new value number 2");
}

TEST(IniFile, UpdateIsAtomicRename) {
  TempFolder dir;
  TIniFile ini(dir / "t.ini", false);
  ini.WriteString("A", "k", "v");
  EXPECT_FALSE(fs::exists(dir / "t.ini"));
  ASSERT_TRUE(ini.UpdateFile());
  int files = 0;
  for ([[maybe_unused]] auto& e : fs::directory_iterator(dir.Path())) ++files;
  EXPECT_EQ(files, 1);  // no temporary file left behind
  EXPECT_EQ(ini.ToText(), "[A]\r\nk=v\r\n");
}

TEST(IniFile, WritingKeepsEveryLineItDidNotChange) {
  TempFolder dir;
  const std::string shipped =
      "; Settings. Booleans are YES or NO.\r\n"
      "stray line before any section\r\n"
      "\r\n"
      "[TYPES REGISTRATION]\r\n"
      "; set once the desktop knows the work files\r\n"
      "KZTypeRegistered = NO\r\n"
      "KZCmpTypeName=Tressary work ; the name\r\n"
      "kztyperegistered=YES\r\n"
      "\r\n"
      "; where the pictures go\r\n"
      "[DIRECTORIES]\r\n"
      "  SaveImageDirName=ImageOut\r\n"
      "; trailing comment\r\n";
  WriteTestFile(dir / "t.ini", shipped);
  {
    TIniFile ini(dir / "t.ini");
    ini.WriteBool("types registration", "KZTypeRegistered", true);  // changed in place
    ini.WriteString("TYPES REGISTRATION", "Added", "1");              // after the last key read
    ini.WriteString("New", "k", "v");                                  // a new section at the end
  }
  const auto written = ReadFileBytes(dir / "t.ini");
  ASSERT_TRUE(written);
  EXPECT_EQ(std::string(written->begin(), written->end()),
            "; Settings. Booleans are YES or NO.\r\n"
            "stray line before any section\r\n"
            "\r\n"
            "[TYPES REGISTRATION]\r\n"
            "; set once the desktop knows the work files\r\n"
            "KZTypeRegistered=YES\r\n"
            "KZCmpTypeName=Tressary work ; the name\r\n"
            "Added=1\r\n"
            "kztyperegistered=YES\r\n"
            "\r\n"
            "; where the pictures go\r\n"
            "[DIRECTORIES]\r\n"
            "  SaveImageDirName=ImageOut\r\n"
            "; trailing comment\r\n"
            "\r\n"
            "[New]\r\n"
            "k=v\r\n");
  // What the reader made of it is unchanged by the kept lines.
  TIniFile again(dir / "t.ini");
  EXPECT_EQ(again.ReadSections(), (std::vector<std::string>{"TYPES REGISTRATION", "DIRECTORIES", "New"}));
  EXPECT_EQ(again.ReadSectionValues("Types Registration"),
            (std::vector<std::string>{"KZTypeRegistered=YES", "KZCmpTypeName=Tressary work ; the name", "Added=1"}));

  // Deleting a key keeps the comment above it for the key that follows; the
  // text is stable once written.
  TIniFile ini(dir / "t.ini", false);
  ini.DeleteKey("TYPES REGISTRATION", "KZTypeRegistered");
  EXPECT_NE(ini.ToText().find("; set once the desktop knows the work files\r\nKZCmpTypeName"), std::string::npos);
  EXPECT_EQ(TIniFile::FromText(ini.ToText()).ToText(), ini.ToText());
}
