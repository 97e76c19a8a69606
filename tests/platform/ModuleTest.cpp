#include "platform/Module.h"

#include <gtest/gtest.h>

namespace {

int gStarts = 0;
int gService = 7;
int* CountedEntry() {
  ++gStarts;
  return &gService;
}
int* FailingEntry() { return nullptr; }
int* (*const kNotLinked)() = nullptr;

TEST(Module, AMissingModuleIsNamedWithTheWayOut) {
  std::string error;
  EXPECT_EQ(LoadModule("absent", kNotLinked, &error), nullptr);
  EXPECT_NE(error.find("libtressary-absent.so"), std::string::npos) << error;
  EXPECT_NE(error.find("reinstall"), std::string::npos) << error;
  // Asked again, it is looked for again (and still missing), never a stale null service.
  error.clear();
  EXPECT_EQ(LoadModule("absent", kNotLinked, &error), nullptr);
  EXPECT_FALSE(error.empty());
}

TEST(Module, ALinkedModuleStartsOnceAndServesEveryCaller) {
  std::string error;
  EXPECT_EQ(LoadModule("counted", CountedEntry, &error), &gService);
  EXPECT_EQ(LoadModule("counted", CountedEntry, nullptr), &gService);
  EXPECT_EQ(gStarts, 1);
  EXPECT_TRUE(error.empty()) << error;
}

TEST(Module, AModuleThatDoesNotStartIsAFailureNotAService) {
  std::string error;
  EXPECT_EQ(LoadModule("refusing", FailingEntry, &error), nullptr);
  EXPECT_NE(error.find("libtressary-refusing.so did not start"), std::string::npos) << error;
}

}  // namespace
