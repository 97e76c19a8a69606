#pragma once
// The owner side of the online transfers for Qt windows: tasks posted by a
// worker run as queued calls on the thread that created this object, and a
// window waits for its transfer in a local event loop, so it keeps painting and
// its stop button keeps working.
#include <QObject>

#include "online/OwnerThread.h"

class TQtOwnerThread final : public IOwnerThread {
 public:
  // Owned by the window; it must outlive the window's transfer contexts.
  TQtOwnerThread() = default;

  void Post(std::function<void()> task) override;
  void RunUntil(const std::function<bool()>& done) override;

 private:
  // Lives in the creating thread; queued calls that are still pending when it
  // goes are dropped with it.
  QObject receiver_;
};
