#include <gtest/gtest.h>

#include <set>

#include "shell/Termins.h"
#include "support/TestPaths.h"

// The installation's text table loads as the program loads it, defines each key
// once, and holds the texts the message box asks for.
TEST(TerminsData, InstalledTableLoadsWithUniqueKeys) {
  TTerminList list;
  ASSERT_TRUE(LoadTerms(SourceDir() / "data" / "termins.txt", list, true));
  std::set<std::string> names;
  for (const TTermin& t : list) {
    EXPECT_FALSE(t.Name.empty()) << "a line without a name: " << t.Value;
    EXPECT_TRUE(names.insert(t.Name).second) << "defined twice: " << t.Name;
    EXPECT_FALSE(t.Value.empty()) << "empty text: " << t.Name;
  }
  for (const char* key : {"ProductName", "FormMessageCaption", "ButtonYesHint", "ButtonNoHint", "ButtonOKHint",
                          "ButtonCloseHint"})
    EXPECT_TRUE(names.count(key)) << key;
}
