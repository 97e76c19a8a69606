// main() of the mail client tests: one QCoreApplication for the whole run, so
// sockets, timers and name lookups have an event loop and no display is needed.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

namespace {
int argcStore = 1;
char arg0[] = "tests_exchange_mail";
char* argvStore[] = {arg0, nullptr};

class CoreEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { app_ = std::make_unique<QCoreApplication>(argcStore, argvStore); }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QCoreApplication> app_;
};
}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new CoreEnvironment);
  return RUN_ALL_TESTS();
}
