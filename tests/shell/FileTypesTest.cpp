#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "platform/Process.h"
#include "shell/FileTypes.h"
#include "support/TestPaths.h"

namespace {
// Records the helper programs instead of running them.
class TRecordingRunner : public IProcessRunner {
 public:
  std::vector<std::string> programs;
  TProcessResult Run(const fs::path& program, const std::vector<std::string>& arguments, int) override {
    programs.push_back(program.string() + " " + (arguments.empty() ? "" : arguments[0]));
    return {};
  }
};
}  // namespace

TEST(FileTypes, NamesComeFromTheProductAndTheSettings) {
  TIniFile ini = TIniFile::FromText("[TYPES REGISTRATION]\nKZUnCmpTypeName=Open work\n");
  TWorkFileType c = CompressedWorkType(ini), u = UncompressedWorkType(ini);
  EXPECT_EQ(c.MimeType, "application/x-tessalytressary5.10cmpfile");
  EXPECT_EQ(c.Comment, "Tressary file");
  EXPECT_EQ(c.Extension, ".tsc");
  EXPECT_EQ(u.MimeType, "application/x-tessalytressary5.10uncmpfile");
  EXPECT_EQ(u.Comment, "Open work");
  EXPECT_EQ(u.Extension, ".tsu");
}

TEST(FileTypes, ExecLineQuotesThePath) {
  TWorkFileType t{"application/x-a", "A", ".a"};
  std::string text = DesktopEntryText("/opt/My \"Apps\"/$x\\100%/tressary", t, t);
  EXPECT_NE(text.find("Exec=\"/opt/My \\\\\"Apps\\\\\"/\\\\$x\\\\\\\\100%%/tressary\" %f\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("MimeType=application/x-a;application/x-a;\n"), std::string::npos);
}

TEST(FileTypes, RegistrationWritesFilesTheDesktopToolsAccept) {
  TempFolder home;
  TIniFile ini = TIniFile::FromText("[TYPES REGISTRATION]\nKZCmpTypeName=Works <packed> & more\n");
  TRecordingRunner runner;
  ASSERT_TRUE(RegisterFileTypes(home.Path(), "/opt/tressary/tressary", ini, runner));
  EXPECT_EQ(runner.programs, (std::vector<std::string>{"update-mime-database " + (home / "mime").string(),
                                                       "update-desktop-database " +
                                                           (home / "applications").string()}));
  fs::path package = home / "mime/packages/tressary-works.xml";
  ASSERT_TRUE(fs::exists(package));
  ASSERT_TRUE(fs::exists(home / "applications/tressary.desktop"));
  // An independent XML parser reads the package back.
  std::string out;
  ASSERT_EQ(RunCommand("/usr/bin/python3 -c \"import sys,xml.dom.minidom as m;d=m.parse(sys.argv[1]);"
                       "print([(t.getAttribute('type'),t.getElementsByTagName('comment')[0].firstChild.data,"
                       "t.getElementsByTagName('glob')[0].getAttribute('pattern')) "
                       "for t in d.getElementsByTagName('mime-type')])\" " +
                           package.string(),
                       &out),
            0);
  EXPECT_EQ(out,
            "[('application/x-tessalytressary5.10cmpfile', 'Works <packed> & more', '*.tsc'), "
            "('application/x-tessalytressary5.10uncmpfile', 'Tressary file', '*.tsu')]\n");
}

TEST(FileTypes, NoDataFolderFails) {
  TIniFile ini = TIniFile::FromText("");
  TRecordingRunner runner;
  EXPECT_FALSE(RegisterFileTypes("", "/x", ini, runner));
  TempFolder home;
  WriteTestFile(home / "applications", "a file where a folder must be");
  EXPECT_FALSE(RegisterFileTypes(home.Path(), "/x", ini, runner));
}
