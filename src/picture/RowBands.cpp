#include "picture/RowBands.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/Processor.h"

namespace {

// One RunTasks call: threads claim its tasks by number until none is left.
struct TaskGroup {
  TaskGroup(int count, void (*run)(const void*, int), const void* data) : tasks(count), task(run), context(data) {}
  int tasks;
  void (*task)(const void*, int);
  const void* context;
  std::atomic<int> next{0};
  int done = 0;   // tasks finished; under the pool's lock
  int users = 0;  // pool threads holding the group; under the pool's lock
  std::exception_ptr failure;
  std::condition_variable finished;
};

// Threads started once and kept, so that a render does not pay for starting them.
class TaskPool {
 public:
  static TaskPool& Instance() {
    // Process-wide: one set of threads serves every render, whoever starts it.
    static TaskPool pool;
    return pool;
  }

  // Threads that may work at once, the calling one included, within the cap.
  int Threads() const {
    const int threads = int(threads_.size()) + 1, cap = cap_.load(std::memory_order_relaxed);
    return cap > 0 ? std::min(cap, threads) : threads;
  }
  void Cap(int threads) { cap_.store(std::max(0, threads), std::memory_order_relaxed); }

  void Run(TaskGroup& group) {
    {
      std::lock_guard lock(mutex_);
      queue_.push_front(&group);  // a nested call may hold up the older groups' threads
    }
    wake_.notify_all();
    const int count = Work(group);
    std::unique_lock lock(mutex_);
    group.done += count;
    std::erase(queue_, &group);
    group.finished.wait(lock, [&] { return group.done == group.tasks && group.users == 0; });
  }

  ~TaskPool() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
  }

 private:
  TaskPool() {
    // More threads than processors to run them only take turns on them.
    for (int i = 1; i < std::min(UsableProcessors(), 8); ++i) {
      try {
        threads_.emplace_back([this] { Loop(); });
      } catch (const std::system_error&) {
        break;  // fewer threads, the same results
      }
    }
    // Whatever a thread holds while it starts is the pool's once it runs: waiting
    // for that keeps a thread half started from looking like lost memory.
    std::unique_lock lock(mutex_);
    running_.wait(lock, [&] { return started_ == threads_.size(); });
  }

  // Runs the group's tasks this thread can claim; returns how many it ran.
  int Work(TaskGroup& group) {
    int count = 0;
    for (int i; (i = group.next.fetch_add(1)) < group.tasks; ++count) {
      try {
        group.task(group.context, i);
      } catch (...) {
        std::lock_guard lock(mutex_);
        if (!group.failure) group.failure = std::current_exception();
      }
    }
    return count;
  }

  void Loop() {
    std::unique_lock lock(mutex_);
    ++started_;
    running_.notify_all();
    for (;;) {
      wake_.wait(lock, [&] { return stop_ || !queue_.empty(); });
      if (stop_) return;
      TaskGroup& group = *queue_.front();
      if (group.next.load() >= group.tasks) {
        queue_.pop_front();  // all claimed: the caller waits for the rest
        continue;
      }
      ++group.users;
      lock.unlock();
      const int count = Work(group);
      lock.lock();
      group.done += count;
      --group.users;
      if (group.done == group.tasks && group.users == 0) group.finished.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<TaskGroup*> queue_;
  bool stop_ = false;
  std::vector<std::thread> threads_;
  std::size_t started_ = 0;
  std::condition_variable running_;
  std::atomic<int> cap_{0};  // 0: none
};

}  // namespace

int TaskThreads() { return TaskPool::Instance().Threads(); }

void LimitTaskThreads(int threads) { TaskPool::Instance().Cap(threads); }

void RunTasks(int tasks, void (*task)(const void*, int), const void* context) {
  if (tasks <= 0) return;
  if (TaskThreads() == 1) {  // capped: the pool's threads stay out of it
    std::exception_ptr failure;
    for (int i = 0; i < tasks; ++i) {
      try {
        task(context, i);
      } catch (...) {
        if (!failure) failure = std::current_exception();
      }
    }
    if (failure) std::rethrow_exception(failure);
    return;
  }
  TaskGroup group(tasks, task, context);
  TaskPool::Instance().Run(group);
  if (group.failure) std::rethrow_exception(group.failure);
}
