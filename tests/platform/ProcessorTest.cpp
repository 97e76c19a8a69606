#include <gtest/gtest.h>
#include <sched.h>

#include "platform/Processor.h"

TEST(UsableProcessors, FollowsTheAffinitySetNotTheMachine) {
  cpu_set_t all;
  ASSERT_EQ(sched_getaffinity(0, sizeof all, &all), 0);
  EXPECT_EQ(UsableProcessors(), CPU_COUNT(&all));
  int first = 0;
  while (!CPU_ISSET(first, &all)) ++first;
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(first, &one);
  ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
  const int pinned = UsableProcessors();
  ASSERT_EQ(sched_setaffinity(0, sizeof all, &all), 0);
  EXPECT_EQ(pinned, 1);
}
