#pragma once
// A loopback SMTP server whose replies a test scripts, for what real servers
// rarely do: continuation lines, refusals, silence, hanging up mid-dialogue.
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

// Runs the event loop until `done` holds or `milliseconds` pass; returns `done()`.
bool WaitUntil(const std::function<bool()>& done, int milliseconds);

class TScriptedSmtpServer {
 public:
  // The reply to a command line (without CR LF), or to "." after a message.
  // "" sends nothing; kHangUp closes the connection instead.
  using TResponder = std::function<std::string(const std::string& command)>;
  static constexpr const char* kHangUp = "<hang up>";
  // The reply a willing server gives.
  static std::string StandardReply(const std::string& command);

  explicit TScriptedSmtpServer(std::string greeting = "220 scripted ready\r\n", TResponder responder = StandardReply);
  quint16 Port() const { return server_.serverPort(); }

  std::vector<std::string> commands;  // every command line, "." for each message's end
  std::vector<std::string> messages;  // each message as received (still dot-stuffed)
  int connections = 0;
  bool clientHungUp = false;
  // > 0: replies go out one byte each this many milliseconds.
  int dripMs = 0;

 private:
  void Accept();
  void Read();
  void Reply(const std::string& text);

  std::string greeting_;
  TResponder responder_;
  QTcpServer server_;
  QTcpSocket* client_ = nullptr;
  std::string buffer_;
  bool inData_ = false;
  std::string message_;
  std::string dripping_;
  QTimer drip_;
};
