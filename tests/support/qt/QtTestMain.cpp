// main() of the window tests: one QApplication for the whole run, created in a
// test environment so that it outlives every test and dies before static teardown.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "support/qt/MessageAnswer.h"

namespace {
int argcStore = 1;
char arg0[] = "tests";
char* argvStore[] = {arg0, nullptr};

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { app_ = std::make_unique<QApplication>(argcStore, argvStore); }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

// What a test left waiting for the event loop ends with it, whatever test follows.
class TestScope : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo&) override { DropPendingAnswers(); }
};
}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new QtEnvironment);
  ::testing::UnitTest::GetInstance()->listeners().Append(new TestScope);
  return RUN_ALL_TESTS();
}
