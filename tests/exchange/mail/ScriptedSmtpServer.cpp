#include "ScriptedSmtpServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

bool WaitUntil(const std::function<bool()>& done, int milliseconds) {
  QDeadlineTimer deadline(milliseconds);
  QTimer tick;
  tick.start(10);  // wakes the loop so the condition and the deadline are checked
  while (!done() && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  return done();
}

std::string TScriptedSmtpServer::StandardReply(const std::string& command) {
  if (command.rfind("HELO", 0) == 0) return "250 hello\r\n";
  if (command.rfind("MAIL", 0) == 0) return "250 sender ok\r\n";
  if (command.rfind("RCPT", 0) == 0) return "250 recipient ok\r\n";
  if (command == "DATA") return "354 end with .\r\n";
  if (command == ".") return "250 queued\r\n";
  if (command == "QUIT") return "221 bye\r\n";
  return "500 what?\r\n";
}

TScriptedSmtpServer::TScriptedSmtpServer(std::string greeting, TResponder responder)
    : greeting_(std::move(greeting)), responder_(std::move(responder)) {
  server_.listen(QHostAddress::LocalHost, 0);
  QObject::connect(&server_, &QTcpServer::newConnection, [this] { Accept(); });
  QObject::connect(&drip_, &QTimer::timeout, [this] {
    if (!client_ || dripping_.empty()) {
      drip_.stop();
      return;
    }
    client_->write(dripping_.data(), 1);
    dripping_.erase(0, 1);
  });
}

void TScriptedSmtpServer::Accept() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    ++connections;
    client_ = socket;
    QObject::connect(socket, &QTcpSocket::readyRead, [this] { Read(); });
    QObject::connect(socket, &QTcpSocket::disconnected, [this] { clientHungUp = true; });
    Reply(greeting_);
  }
}

void TScriptedSmtpServer::Reply(const std::string& text) {
  if (!client_) return;
  if (text == kHangUp) {
    QObject::disconnect(client_, &QTcpSocket::disconnected, nullptr, nullptr);
    client_->disconnectFromHost();
    client_ = nullptr;
    return;
  }
  if (text.empty()) return;
  if (dripMs > 0) {
    dripping_ += text;
    drip_.start(dripMs);
    return;
  }
  client_->write(text.data(), static_cast<qint64>(text.size()));
}

void TScriptedSmtpServer::Read() {
  if (!client_) return;
  const QByteArray bytes = client_->readAll();
  buffer_.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  std::size_t end;
  while (client_ && (end = buffer_.find("\r\n")) != std::string::npos) {
    const std::string line = buffer_.substr(0, end);
    buffer_.erase(0, end + 2);
    if (inData_) {
      if (line != ".") {
        message_ += line + "\r\n";
        continue;
      }
      inData_ = false;
      messages.push_back(message_);
      message_.clear();
    }
    commands.push_back(line);
    const std::string reply = responder_(line);
    if (line == "DATA" && reply.rfind("354", 0) == 0) inData_ = true;
    Reply(reply);
  }
}
