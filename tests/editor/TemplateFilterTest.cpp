#include <gtest/gtest.h>

#include <string>

#include "editor/TemplateFilter.h"

TEST(TemplateFilter, TogglesOnlyWithTheQuestionnairesAndTakesTheirAnswersBeforeAnyListenerHears) {
  TTemplateFilter filter;
  std::string heard;
  const int first = filter.Listen([&] { heard += filter.On() ? "1" : "0"; });
  filter.Toggle();
  EXPECT_FALSE(filter.On());
  EXPECT_EQ(heard, "");

  filter.TakeAnswers = [&] { heard += "a"; };
  const int second = filter.Listen([&] {
    heard += "b";
    filter.Forget(first);  // told while the others are told
  });
  filter.Toggle();
  EXPECT_TRUE(filter.On());
  EXPECT_EQ(heard, "a1b");
  filter.Forget(second);
  filter.Apply();
  EXPECT_EQ(heard, "a1ba");
}
