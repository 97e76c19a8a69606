#pragma once
// aiosmtpd on loopback (tests/support/mail/smtp_sink.py) started for `messages`
// mails; it stops by itself after them or after a minute. With `refuseSender`
// it answers every MAIL FROM with 550.
#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "support/TestPaths.h"

class TSmtpSink {
 public:
  TSmtpSink(const fs::path& folder, int messages, bool refuseSender = false) : folder_(folder) {
    process_.setProgram("/usr/bin/python3");
    process_.setArguments({QString::fromStdString((SourceDir() / "tests/support/mail/smtp_sink.py").string()),
                           QString::fromStdString(folder.string()), QString::number(messages), "60"});
    if (refuseSender) process_.setArguments(process_.arguments() << "refuse-sender");
    process_.start();
    if (process_.waitForStarted(10000) && process_.waitForReadyRead(20000))
      port_ = static_cast<quint16>(process_.readLine().trimmed().toUInt());
  }
  ~TSmtpSink() {
    if (!process_.waitForFinished(5000)) process_.kill();
    process_.waitForFinished(5000);
  }
  quint16 Port() const { return port_; }
  // Ends a server that waits for mails that will not come.
  void Stop() {
    process_.kill();
    process_.waitForFinished(5000);
  }
  bool Finish() { return process_.waitForFinished(10000) && process_.exitCode() == 0; }
  QJsonObject Envelope(int n) const {
    if (auto bytes = ReadFile(folder_ / (std::to_string(n) + ".json")))
      return QJsonDocument::fromJson(QByteArray::fromStdString(*bytes)).object();
    return {};
  }
  fs::path Mail(int n) const { return folder_ / (std::to_string(n) + ".eml"); }

 private:
  static std::optional<std::string> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path folder_;
  QProcess process_;
  quint16 port_ = 0;
};
