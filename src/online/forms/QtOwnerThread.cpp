#include "online/forms/QtOwnerThread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>

namespace {
const QEvent::Type kRunTasks = static_cast<QEvent::Type>(QEvent::registerEventType());
}  // namespace

// The wake-up event is made under the lock that the owner's thread takes before
// it looks at an event: a thread checker then sees the event made before it is
// read, though Qt hands it over out of its sight.
void TQtOwnerThread::TReceiver::Add(std::function<void()> task) {
  QEvent* wake = nullptr;
  {
    const std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    wake = new QEvent(kRunTasks);
  }
  QCoreApplication::postEvent(this, wake);
}

TQtOwnerThread::TReceiver::~TReceiver() {
  // Wake-ups still pending are freed by QObject's destructor, after this.
  const std::lock_guard lock(mutex_);
}

bool TQtOwnerThread::TReceiver::event(QEvent* event) {
  std::unique_lock lock(mutex_);
  if (event->type() != kRunTasks) {
    lock.unlock();
    return QObject::event(event);
  }
  // One task at a time, run and freed outside the lock: a task may wait in an
  // event loop of its own, which runs the tasks posted after it, still in order.
  while (!tasks_.empty()) {
    {
      std::function<void()> task = std::move(tasks_.front());
      tasks_.pop_front();
      lock.unlock();
      task();
    }
    lock.lock();
  }
  return true;
}

void TQtOwnerThread::Post(std::function<void()> task) { receiver_.Add(std::move(task)); }

void TQtOwnerThread::RunUntil(const std::function<bool()>& done) {
  QEventLoop loop;
  while (!done()) loop.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
