#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "shell/DeskGeometry.h"
#include "shell/InterfaceInfo.h"
#include "shell/MainSettings.h"
#include "shell/ProductInfo.h"
#include "shell/Startup.h"
#include "support/TestPaths.h"

namespace {

// Records what the start-up asked of the windows, in order.
class TFakeHost : public IStartupHost {
 public:
  TDisplayInfo display{1024, 768, 24};
  bool registerResult = true;
  bool skipOnFirstIntro = false;
  bool openThrows = false;
  std::vector<std::string> calls;
  std::vector<TIntroEntry> intro;

  void ShowBackdrop() override { calls.push_back("backdrop"); }
  TDisplayInfo Display() override { return display; }
  void ShowFatal(const std::string& text) override { calls.push_back("fatal:" + text); }
  void ShowWarning(const std::string& text) override { calls.push_back("warning:" + text); }
  void PlayIntroVideo(const TIntroEntry& e) override { Intro(e); }
  void ShowIntroPicture(const TIntroEntry& e) override { Intro(e); }
  void SetBusyCursor(bool busy) override { calls.push_back(busy ? "busy" : "idle"); }
  bool RegisterFileTypes(const TIniFile&) override {
    calls.push_back("register");
    return registerResult;
  }
  void CreateStandingWindows() override { calls.push_back("windows"); }
  void ShowWelcomeTip() override { calls.push_back("tip"); }
  void OpenWorkFile(const std::string& path) override {
    calls.push_back("open:" + path);
    if (openThrows) throw std::runtime_error("bad work");
  }
  bool IntroSkipped() const override { return skipped; }

 private:
  bool skipped = false;
  void Intro(const TIntroEntry& e) {
    intro.push_back(e);
    if (skipOnFirstIntro) skipped = true;
  }
};

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramFolders({});
    WriteTestFile(dir_ / "Tressary.ini", "[TYPES REGISTRATION]\nKZTypeRegistered=NO\n");
  }
  void TearDown() override { SetProgramFolders({}); }
  // As the program's run: the interface the start-up loads is the one in use.
  bool Run(const std::vector<std::string>& args = {}) {
    return RunStartup(host_, settings_, interface_, dir_.Path(), args);
  }
  bool Has(const std::string& call) const {
    return std::find(host_.calls.begin(), host_.calls.end(), call) != host_.calls.end();
  }
  std::string Fatal() const {
    for (const std::string& c : host_.calls)
      if (c.rfind("fatal:", 0) == 0) return c.substr(6);
    return "";
  }

  TempFolder dir_;
  TFakeHost host_;
  TMainSettings settings_;
  TInterface interface_;
  TUseInterface useInterface_{interface_};
};

}  // namespace

TEST(DisplayChecks, Table) {
  EXPECT_EQ(CheckDisplay({1024, 768, 16}), std::nullopt);
  EXPECT_EQ(CheckDisplay({1024, 767, 32}), "Screen resolution must be 1024-768 or higher.");
  EXPECT_EQ(CheckDisplay({1023, 768, 32}), "Screen resolution must be 1024-768 or higher.");
  EXPECT_EQ(CheckDisplay({800, 600, 32}), "Screen resolution must be 1024-768 or higher.");
  EXPECT_EQ(CheckDisplay({799, 600, 32}), "Screen resolution must be 800-600 or higher.");
  EXPECT_EQ(CheckDisplay({800, 599, 8}), "Screen resolution must be 800-600 or higher.");
  EXPECT_EQ(CheckDisplay({1920, 1080, 15}), "Color depth must be 16 bits (high color) or higher.");
  EXPECT_EQ(TerminationText("Why."), "Why.\rProgram terminated.");
}

TEST_F(StartupTest, SmallScreenEndsBeforeAnyWindowButTheBackdrop) {
  host_.display = {799, 600, 24};
  EXPECT_FALSE(Run());
  EXPECT_EQ(host_.calls.front(), "backdrop");
  EXPECT_EQ(Fatal(), "Screen resolution must be 800-600 or higher.\rProgram terminated.");
  EXPECT_FALSE(Has("windows"));
  EXPECT_TRUE(settings_.Ini.FileName().empty()) << "the settings file is not opened";
}

TEST_F(StartupTest, MissingIniEndsTheProgram) {
  std::filesystem::remove(dir_ / "Tressary.ini");
  EXPECT_FALSE(Run());
  EXPECT_EQ(Fatal(), "Unable to find Tressary.ini.\rProgram terminated.");
  EXPECT_FALSE(Has("windows"));
}

TEST_F(StartupTest, FullSequenceInOrder) {
  EXPECT_TRUE(Run({"work.tsc"}));
  std::vector<std::string> expected = {"backdrop", "busy", "register", "windows", "tip", "open:work.tsc", "idle"};
  EXPECT_EQ(host_.calls, expected);
  EXPECT_EQ(InstallationFolder(), dir_.Path().string() + "/");
  EXPECT_EQ(CompressedWorkExt, ".tsc");
  EXPECT_EQ(UncompressedWorkExt, ".tsu");
  EXPECT_EQ(settings_.Ini.ReadString("TYPES REGISTRATION", "KZTypeRegistered", ""), "YES");
  EXPECT_EQ(TIniFile(dir_ / "Tressary.ini").ReadString("TYPES REGISTRATION", "KZTypeRegistered", ""), "YES");
  // The geometry the main state is made with.
  const TDeskGeometry desk = InterfaceDeskGeometry();
  EXPECT_EQ(desk.DeskViewWidth, 445);
  EXPECT_EQ(desk.DeskViewLeft, 222);  // (890 - 445) / 2 = 222.5, ties to even
  EXPECT_EQ(desk.DeskViewTop, 246);
}

TEST_F(StartupTest, TypeRegistrationRunsUntilItOnceSucceeds) {
  host_.registerResult = false;
  Run();
  EXPECT_EQ(settings_.Ini.ReadString("TYPES REGISTRATION", "KZTypeRegistered", ""), "NO");
  host_.calls.clear();
  WriteTestFile(dir_ / "Tressary.ini", "[TYPES REGISTRATION]\nKZTypeRegistered=yes\n");
  Run();
  EXPECT_FALSE(Has("register"));
  host_.calls.clear();
  WriteTestFile(dir_ / "Tressary.ini", "[Other]\n");
  Run();
  EXPECT_TRUE(Has("register"));
}

TEST_F(StartupTest, ArgumentsOtherThanOneOpenNothingAndOpenFailuresAreSwallowed) {
  Run({"a.tsc", "b.tsc"});
  for (const std::string& c : host_.calls) EXPECT_NE(c.rfind("open:", 0), 0u) << c;
  host_.openThrows = true;
  host_.calls.clear();
  EXPECT_TRUE(Run({"bad.tsc"}));
  EXPECT_EQ(host_.calls.back(), "idle");
}

TEST_F(StartupTest, DeskSizeLimit) {
  WriteTestFile(dir_ / "Intfaces/DEFAULT/1024-768/INTFACE.TXT",
                "DesktopTableWidth = 1024; DesktopTableHeight = 0; DesktopWindowX = -3; DesktopWindowWidth = -1;");
  EXPECT_TRUE(Run());
  const TDeskGeometry desk = InterfaceDeskGeometry();
  EXPECT_EQ(desk.DesktopTableWidth, 1024);
  EXPECT_EQ(desk.DesktopTableHeight, kDefaultDesktopTableHeight);
  EXPECT_EQ(desk.DesktopWindowX, -3);
  EXPECT_EQ(desk.DesktopWindowWidth, kDefaultDesktopWindowWidth);
  SetProgramFolders({});
  host_.calls.clear();
  WriteTestFile(dir_ / "Intfaces/DEFAULT/1024-768/INTFACE.TXT", "DesktopTableHeight = 1025;");
  EXPECT_FALSE(Run());
  EXPECT_EQ(Fatal(), "Desktop size exceeds the limit.\rProgram terminated.");
  EXPECT_FALSE(Has("windows"));
}

TEST_F(StartupTest, FaultyInterfaceFileWarnsAndGoesOn) {
  WriteTestFile(dir_ / "Intfaces/DEFAULT/800-600/INTFACE.TXT", "END\nDesktopTableWidth = 2000;\n");
  EXPECT_TRUE(Run());
  EXPECT_TRUE(Has("warning:Error in contents of file INTFACE.TXT (line #1)\rUnnecessary END encountered"));
  EXPECT_TRUE(Has("windows"));
  EXPECT_EQ(InterfaceDeskGeometry().DesktopTableWidth, kDefaultDesktopTableWidth);
}

TEST_F(StartupTest, IntroLines) {
  WriteTestFile(dir_ / "Tressary.ini",
                "[Intro Video]\nA=Clip.avi;abc;200\nB=missing.avi\nC=Splash.JPG;0\nD=Splash.jpg;x\n"
                "E=Note.txt\nF=Clip.mpg; 640 ; 480\nG=Splash.bmp;-5\n");
  WriteTestFile(dir_ / "Clip.avi", "x");
  WriteTestFile(dir_ / "Clip.mpg", "x");
  WriteTestFile(dir_ / "splash.jpg", "x");
  WriteTestFile(dir_ / "Splash.bmp", "x");
  WriteTestFile(dir_ / "Note.txt", "x");
  Run();
  ASSERT_EQ(host_.intro.size(), 4u);
  EXPECT_EQ(host_.intro[0].Type, TIntroEntry::Kind::Video);
  EXPECT_EQ(host_.intro[0].VideoWidth, 320);
  EXPECT_EQ(host_.intro[0].VideoHeight, 240);
  EXPECT_EQ(host_.intro[1].Type, TIntroEntry::Kind::Picture);
  EXPECT_EQ(host_.intro[1].IntervalMs, 1000);
  EXPECT_EQ(host_.intro[1].File, dir_ / "splash.jpg");
  EXPECT_EQ(host_.intro[2].VideoWidth, 640);
  EXPECT_EQ(host_.intro[2].VideoHeight, 480);
  EXPECT_EQ(host_.intro[3].IntervalMs, 1000);
}

TEST_F(StartupTest, IntroDefaultsToTheLogoAndASkipEndsIt) {
  Run();
  EXPECT_TRUE(host_.intro.empty());  // no Logo.avi in the folder
  WriteTestFile(dir_ / "Logo.avi", "x");
  Run();
  ASSERT_EQ(host_.intro.size(), 1u);
  EXPECT_EQ(host_.intro[0].File, dir_ / "Logo.avi");
  WriteTestFile(dir_ / "Tressary.ini", "[Intro Video]\nA=Logo.avi\nB=Logo.avi\nC=Logo.avi\n");
  host_.intro.clear();
  host_.skipOnFirstIntro = true;
  Run();
  EXPECT_EQ(host_.intro.size(), 1u);
}
