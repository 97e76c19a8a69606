#include "platform/qt/QtProcessRunner.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace {
// Waits for the end of `process` while the event loop runs; false at the time-out.
bool WaitHandlingEvents(QProcess& process, int timeoutMs) {
  if (process.state() == QProcess::NotRunning) return true;
  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
  QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  timer.start(timeoutMs);
  loop.exec();
  return process.state() == QProcess::NotRunning;
}
}  // namespace

TProcessResult TQtProcessRunner::Run(const fs::path& program, const std::vector<std::string>& arguments,
                                     int timeoutMs) {
  QStringList list;
  for (const std::string& argument : arguments) list << QString::fromStdString(argument);
  QProcess process;
  // The helper's console output is of no use to the program.
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process.setStandardOutputFile(QProcess::nullDevice());
  process.start(QString::fromStdString(program.string()), list);

  const QDeadlineTimer deadline(timeoutMs);
  TProcessResult result;
  if (!process.waitForStarted(timeoutMs)) return result;
  result.Started = true;
  const int remaining = static_cast<int>(deadline.remainingTime());
  // waitForFinished also says false for a process that has already ended.
  const bool ended = keepEventsRunning_ ? WaitHandlingEvents(process, remaining)
                                        : process.waitForFinished(remaining) || process.state() == QProcess::NotRunning;
  if (!ended) {
    result.TimedOut = true;
    process.kill();
    process.waitForFinished(-1);
    return result;
  }
  if (process.exitStatus() == QProcess::NormalExit) result.ExitCode = process.exitCode();
  return result;
}
