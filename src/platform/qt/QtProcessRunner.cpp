#include "platform/qt/QtProcessRunner.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

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
  // waitForFinished also says false for a process that has already ended.
  if (!process.waitForFinished(static_cast<int>(deadline.remainingTime())) &&
      process.state() != QProcess::NotRunning) {
    result.TimedOut = true;
    process.kill();
    process.waitForFinished(-1);
    return result;
  }
  if (process.exitStatus() == QProcess::NormalExit) result.ExitCode = process.exitCode();
  return result;
}
