#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>


#include "platform/FileIO.h"
#include "platform/ProgramFolders.h"
#include "support/SaveGuarantee.h"
#include "support/TestPaths.h"

namespace {
std::string Text(const fs::path& path) {
  auto bytes = ReadFileBytes(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<unreadable>");
}

class ProgramFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteTestFile(install / "Tressary.ini", "[A]\r\nKey=shipped\r\n");
    WriteTestFile(install / "PartBase.txt", "1;0;0;Bob1.psd;Bob;\r\n");
    WriteTestFile(install / "HairW" / "Bob1.psd", "picture");
    fs::create_directories(install / "Works");
  }
  void TearDown() override { SetProgramFolders({}); }
  TempFolder install, home;
  ScopedEnv homeVar{"HOME", home.Path().string()};
  ScopedEnv data{"XDG_DATA_HOME", (home / "data").string()};
  ScopedEnv config{"XDG_CONFIG_HOME", (home / "config").string()};
};
}  // namespace

// Data paths are built as the installation folder + a stored path, so it ends
// in exactly one separator however the run named it.
TEST_F(ProgramFolders, TheNamedInstallationIsAnsweredWithOneSeparator) {
  SetProgramFolders({});
  EXPECT_EQ(InstallationFolder(), "");
  SetProgramFolders(install / "");
  EXPECT_EQ(InstallationFolder(), install.Path().string() + "/");
  SetProgramFolders(install / "HairW" / "..", false);
  EXPECT_EQ(InstallationFolder(), install.Path().string() + "/");
  SetProgramFolders("/", true);
  EXPECT_EQ(InstallationFolder(), "/");
  SetProgramFolders({});
  EXPECT_EQ(InstallationFolder(), "");
}

TEST_F(ProgramFolders, AWritableInstallationKeepsEveryFileInPlace) {
  SetProgramFolders(install.Path());
  EXPECT_TRUE(UserProgramFolder().empty());
  EXPECT_EQ(ProgramSettingsFile(install.Path(), "Tressary.ini"), install / "Tressary.ini");
  EXPECT_EQ(ProgramFileForWriting(install.Path(), "partbase.txt"), install / "PartBase.txt");
  EXPECT_EQ(ProgramFileForWriting(install.Path(), "ImageOut\\"), install / "ImageOut");
  EXPECT_TRUE(fs::is_directory(install / "ImageOut"));
  EXPECT_FALSE(fs::exists(home / "data"));
  EXPECT_FALSE(fs::exists(home / "config"));
}

TEST_F(ProgramFolders, AReadOnlyInstallationSendsEveryWriteToTheUsersFoldersSeededFromIt) {
  const std::vector<std::string> shipped = FolderNames(install.Path());
  SetProgramFolders(install.Path(), false);
  const fs::path own = home / "data" / "tressary";
  EXPECT_EQ(UserProgramFolder(), own);

  // The settings: a copy of the installed ones, made once and then the user's own.
  const fs::path ini = ProgramSettingsFile(install / "", "Tressary.ini");
  EXPECT_EQ(ini, home / "config" / "tressary" / "Tressary.ini");
  EXPECT_EQ(Text(ini), "[A]\r\nKey=shipped\r\n");
  ASSERT_TRUE(WriteFileAtomic(ini, std::string_view("[A]\r\nKey=mine\r\n")));
  EXPECT_EQ(Text(ProgramSettingsFile(install.Path(), "Tressary.ini")), "[A]\r\nKey=mine\r\n");

  // A list written there starts as the installed one, so an append keeps what
  // ships; reading then finds the user's copy.
  EXPECT_EQ(ProgramFileForReading(install.Path(), "PartBase.txt"), install / "PartBase.txt");
  const fs::path list = ProgramFileForWriting(install.Path(), "PartBase.txt");
  EXPECT_EQ(list, own / "PartBase.txt");
  EXPECT_EQ(Text(list), "1;0;0;Bob1.psd;Bob;\r\n");
  EXPECT_EQ(ProgramFileForReading(install.Path(), "partbase.txt"), list);

  // A new file goes below the user's folder, its folders made; a shipped one is
  // still read where it is installed.
  const fs::path saved = ProgramFileForWriting(install.Path(), "HairW\\12345678.psd");
  EXPECT_EQ(saved, own / "HairW" / "12345678.psd");
  EXPECT_TRUE(fs::is_directory(saved.parent_path()));
  EXPECT_FALSE(fs::exists(saved));
  EXPECT_EQ(ProgramFileForReading(install.Path(), "HairW\\Bob1.psd"), install / "HairW" / "Bob1.psd");
  EXPECT_EQ(ProgramFileForWriting(install.Path(), "Works\\"), own / "Works");
  EXPECT_TRUE(fs::is_directory(own / "Works"));

  // Only the installation is redirected: another content folder stands as it is.
  TempFolder other;
  EXPECT_EQ(ProgramFileForWriting(other.Path(), "PartBase.txt"), other / "PartBase.txt");
  EXPECT_EQ(FolderNames(install.Path()), shipped);
}

TEST_F(ProgramFolders, TheUsersFoldersDefaultBelowHomeAndIgnoreRelativeSettings) {
  ScopedEnv relative{"XDG_DATA_HOME", "relative/data"};
  ScopedEnv unset{"XDG_CONFIG_HOME", std::nullopt};
  SetProgramFolders(install.Path(), false);
  EXPECT_EQ(UserProgramFolder(), home / ".local" / "share" / "tressary");
  EXPECT_EQ(ProgramSettingsFile(install.Path(), "Tressary.ini"), home / ".config" / "tressary" / "Tressary.ini");
}

// The probe makes a real file, so it tells a folder the user may not write to
// even where modes do not stop root: as root a child that became another user
// probes a folder root owns, as anyone else a folder without write permission.
TEST(CanWriteFolder, TellsAFolderThatCannotBeWrittenForRootToo) {
  TempFolder dir;
  EXPECT_TRUE(CanWriteFolder(dir.Path()));
  EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{});
  EXPECT_FALSE(CanWriteFolder(dir / "missing"));
  fs::create_directories(dir / "shut");
  fs::create_directories(dir / "open");
  ASSERT_EQ(chmod((dir / "shut").c_str(), 0555), 0);
  ASSERT_EQ(chmod((dir / "open").c_str(), 0777), 0);
  ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
  if (geteuid() != 0) {
    EXPECT_FALSE(CanWriteFolder(dir / "shut"));
  } else {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0) _exit(3);
      if (!CanWriteFolder(dir / "open")) _exit(2);
      _exit(CanWriteFolder(dir / "shut") ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: a folder of root's taken for writable; 2: an open one for read-only; 3: no other user";
  }
  ASSERT_EQ(chmod((dir / "shut").c_str(), 0755), 0);
}
