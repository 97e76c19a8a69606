#include "online/OwnerThread.h"

#include <chrono>

void TTaskQueue::Post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  wake_.notify_one();
}

void TTaskQueue::RunUntil(const std::function<bool()>& done) {
  while (!done()) {
    std::function<void()> task;
    {
      std::unique_lock lock(mutex_);
      // The time-out only re-checks `done`, which may turn true without a task.
      if (!wake_.wait_for(lock, std::chrono::milliseconds(100), [this] { return !tasks_.empty(); })) continue;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
  }
}

int TTaskQueue::RunPending() {
  std::deque<std::function<void()>> ready;
  {
    std::lock_guard lock(mutex_);
    ready.swap(tasks_);
  }
  for (auto& task : ready) task();
  return static_cast<int>(ready.size());
}
