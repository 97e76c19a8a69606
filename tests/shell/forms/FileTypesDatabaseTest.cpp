#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "platform/qt/QtProcessRunner.h"
#include "shell/FileTypes.h"
#include "support/TestPaths.h"

// The desktop's own database tool compiles our package: the glob maps to our type.
TEST(FileTypesDatabase, UpdateMimeDatabaseAcceptsThePackage) {
  if (!fs::exists("/usr/bin/update-mime-database")) GTEST_SKIP() << "shared-mime-info is not installed";
  TempFolder home;
  TQtProcessRunner runner;
  ASSERT_TRUE(RegisterFileTypes(home.Path(), "/opt/tressary/tressary", TIniFile::FromText(""), runner));
  std::string globs;
  ASSERT_EQ(RunCommand("cat " + (home / "mime/globs2").string(), &globs), 0);
  EXPECT_NE(globs.find("application/x-tessalytressary5.10cmpfile:*.tsc"), std::string::npos) << globs;
  EXPECT_NE(globs.find("application/x-tessalytressary5.10uncmpfile:*.tsu"), std::string::npos) << globs;
}
