#pragma once
// The owner side of the online transfers for Qt windows: tasks posted by a
// worker run, and are destroyed, on the thread that created this object, and a
// window waits for its transfer in a local event loop, so it keeps painting and
// its stop button keeps working.
#include <QObject>
#include <deque>
#include <functional>
#include <mutex>

#include "online/OwnerThread.h"

class TQtOwnerThread final : public IOwnerThread {
 public:
  // Owned by the window; it must outlive the window's transfer contexts.
  TQtOwnerThread() = default;

  void Post(std::function<void()> task) override;
  void RunUntil(const std::function<bool()>& done) override;

 private:
  // The tasks wait in a queue of ours, handed over under its lock; Qt's event
  // only wakes the owner's thread. So each task's captures are made on the
  // worker and used and freed on the owner's thread, in an order a thread
  // checker sees (Qt's own hand-off is not visible to one).
  class TReceiver final : public QObject {
   public:
    ~TReceiver() override;
    bool event(QEvent* event) override;
    void Add(std::function<void()> task);

   private:
    std::mutex mutex_;
    std::deque<std::function<void()>> tasks_;
  };
  // Lives in the creating thread; tasks still pending when it goes are dropped
  // with it.
  TReceiver receiver_;
};
