#pragma once
// How a transfer worker reaches the thread that owns its window: work is posted
// to that thread and runs there, in posting order. The windows implement it with
// their event loop; TTaskQueue serves headless code and tests.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

class IOwnerThread {
 public:
  virtual ~IOwnerThread() = default;
  // Queues `task` to run on the owner's thread after every task posted before it.
  // Safe from any thread.
  virtual void Post(std::function<void()> task) = 0;
  // On the owner's thread: handles posted tasks (and whatever else the owner
  // handles, such as window events) until `done()` is true. A wait, not a spin.
  virtual void RunUntil(const std::function<bool()>& done) = 0;
};

// A plain queue drained by whichever thread calls RunUntil or RunPending.
class TTaskQueue final : public IOwnerThread {
 public:
  void Post(std::function<void()> task) override;
  void RunUntil(const std::function<bool()>& done) override;
  // Runs the tasks queued now; returns how many ran.
  int RunPending();

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> tasks_;
};
