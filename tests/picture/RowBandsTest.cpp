// The pool that row bands run on: every task once, failures carried back to the
// caller, and calls from inside a task that finish.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

#include "picture/RowBands.h"

namespace {
// What the tasks below count into, reached through a pointer so that the
// context itself stays constant.
struct Counters {
  std::atomic<int>* counts;
};
}  // namespace

TEST(RowBands, EveryTaskRunsOnceAndAllAreDoneOnReturn) {
  for (int tasks : {1, 2, 7, 64, 1000}) {
    std::vector<std::atomic<int>> runs(static_cast<std::size_t>(tasks));
    const Counters counters{runs.data()};
    RunTasks(
        tasks, [](const void* c, int i) { static_cast<const Counters*>(c)->counts[i]++; }, &counters);
    for (int i = 0; i < tasks; ++i) ASSERT_EQ(runs[std::size_t(i)].load(), 1) << tasks << " tasks, task " << i;
  }
  EXPECT_GE(TaskThreads(), 1);
  EXPECT_LE(TaskThreads(), 8);
}

TEST(RowBands, AFailingTaskIsRethrownAfterTheOthersFinish) {
  std::atomic<int> finished{0};
  const Counters counters{&finished};
  auto task = [](const void* c, int i) {
    if (i == 3) throw std::runtime_error("band 3");
    static_cast<const Counters*>(c)->counts[0]++;
  };
  EXPECT_THROW(RunTasks(40, task, &counters), std::runtime_error);
  EXPECT_EQ(finished.load(), 39);
}

TEST(RowBands, TasksMayRunTasksOfTheirOwn) {
  // Every outer task waits on an inner group while the pool's threads are busy
  // with the outer ones: the inner groups must still finish.
  std::atomic<int> inner{0};
  const Counters counters{&inner};
  RunTasks(
      16,
      [](const void* c, int) {
        RunTasks(
            16, [](const void* d, int) { static_cast<const Counters*>(d)->counts[0]++; }, c);
      },
      &counters);
  EXPECT_EQ(inner.load(), 256);
}

TEST(RowBands, BandsCoverEveryRowOnce) {
  for (const auto& [rows, pixels] :
       {std::pair{1, 1 << 20}, std::pair{5, 1 << 20}, std::pair{1000, 1 << 22}, std::pair{1000, 100}}) {
    std::vector<std::atomic<int>> seen(static_cast<std::size_t>(rows));
    ForRowBands(0, rows, pixels, [&](int y0, int y1) {
      ASSERT_LT(y0, y1);
      for (int y = y0; y < y1; ++y) seen[std::size_t(y)]++;
    });
    for (int y = 0; y < rows; ++y) ASSERT_EQ(seen[std::size_t(y)].load(), 1) << rows << " rows, row " << y;
  }
}

// Capped at one thread, every task runs on the caller, a failure still comes
// back after the rest, and the cap lifted gives the pool back.
TEST(RowBands, ACapOfOneKeepsEveryTaskOnTheCallingThread) {
  const int threads = TaskThreads();
  LimitTaskThreads(1);
  EXPECT_EQ(TaskThreads(), 1);
  static thread_local int mine = 0;
  mine = 0;
  std::atomic<int> elsewhere{0};
  const Counters counters{&elsewhere};
  auto task = [](const void* c, int i) {
    if (mine == 0) static_cast<const Counters*>(c)->counts[0]++;
    ++mine;
    if (i == 5) throw std::runtime_error("task 5");
  };
  EXPECT_THROW(RunTasks(50, task, &counters), std::runtime_error);
  EXPECT_EQ(mine, 50);
  EXPECT_EQ(elsewhere.load(), 1);  // the calling thread's first task only
  LimitTaskThreads(0);
  EXPECT_EQ(TaskThreads(), threads);
}
