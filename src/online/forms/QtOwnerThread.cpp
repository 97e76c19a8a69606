#include "online/forms/QtOwnerThread.h"

#include <QEventLoop>
#include <QMetaObject>

void TQtOwnerThread::Post(std::function<void()> task) {
  QMetaObject::invokeMethod(&receiver_, std::move(task), Qt::QueuedConnection);
}

void TQtOwnerThread::RunUntil(const std::function<bool()>& done) {
  QEventLoop loop;
  while (!done()) loop.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
