#pragma once
// One thread beside all of them in the same run: a benchmark registered with an
// argument of 1 and one of 0 holds a TaskThreadsFor(that argument) while it
// runs, which caps the task pool at that many threads (0: all the process may use).
#include <cstdint>

#include "picture/RowBands.h"

class TaskThreadsFor {
 public:
  explicit TaskThreadsFor(std::int64_t threads) { LimitTaskThreads(int(threads)); }
  ~TaskThreadsFor() { LimitTaskThreads(0); }
  TaskThreadsFor(const TaskThreadsFor&) = delete;
  TaskThreadsFor& operator=(const TaskThreadsFor&) = delete;
};
