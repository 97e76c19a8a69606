#pragma once
// One asynchronous TCP client socket: name lookup, connect, read, write and close
// arrive as events on the GUI thread, never blocking it. Errors are recorded as
// WinSock numbers (0 = none) so that the mail client keeps one error table.
#include <QAbstractSocket>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class ITcpConnection;
struct THostLookup;

// The socket error number for a Qt socket error (one table for every path).
int SocketErrorNumber(QAbstractSocket::SocketError error);

class TStarSocket : public QObject {
  Q_OBJECT

 public:
  using TSocketEvent = std::function<void(TStarSocket* sender)>;
  // Private messages start above this number; the mail client uses 1026.
  static constexpr int kFirstUserMessage = 1026;

  explicit TStarSocket(QObject* parent = nullptr);
  ~TStarSocket() override;

  TSocketEvent OnLookupDone;
  TSocketEvent OnConnect;
  TSocketEvent OnClose;
  TSocketEvent OnTimeout;
  TSocketEvent OnRead;
  TSocketEvent OnWrite;
  TSocketEvent OnAccept;  // never fires: this socket only connects
  std::function<void(TStarSocket* sender, int message)> OnUserMessage;
  // Seconds allowed for connecting and for the name lookup; 0 = no limit.
  std::uint32_t TimeoutConnect = 0;
  std::uint32_t TimeoutArp = 0;

  // Loading loads the network module (see platform/qt/NetworkModule.h); these
  // keep the component's life cycle (and let a test make starting fail).
  bool LoadWinsock(const std::string& name = "");
  bool StartWinsock();
  void UnloadWinsock();
  bool WinsockIsStarted() const { return started_; }
  // Why the last load failed when the network module is missing, else empty.
  const std::string& LoadError() const { return loadError_; }
  // True when `text` is an address to connect to, false when it is a name to
  // look up (or the network module is missing).
  static bool IsAddress(const std::string& text);
  // Network faults this socket meets, for tests: starting fails; lookups never
  // answer, as behind a name server that has gone silent.
  struct TNetworkFaults {
    bool StartFails = false;
    bool LookupsUnanswered = false;
  };
  TNetworkFaults Faults;

  void CreateSocket();
  bool HasSocket() const { return socket_ != nullptr; }
  bool IsConnected() const { return connected_; }
  void SetAddress(const std::string& text);
  void SetPort(std::uint16_t port) { port_ = port; }
  std::string AddressText() const;
  void UseResolvedAddress() { address_ = resolved_; }
  void ResolveHost(const std::string& name);
  void Connect();
  // Stops a pending lookup, the countdown and the socket.
  void Cancel();
  // Bytes queued for sending; what the network cannot take yet waits in
  // PendingBytes() and OnWrite fires as it drains.
  std::int64_t SendBuf(const char* data, std::int64_t count);
  std::int64_t ReceiveBuf(char* data, std::int64_t count);
  std::int64_t PendingBytes() const;
  std::string LocalHostName();
  std::string LocalAddressText() const;
  void StartCountdown(std::uint32_t seconds);
  // Delivers `message` to OnUserMessage later, from the event loop.
  void PostUserMessage(int message);
  int LastError() const { return lastError_; }

 protected:
  // A lookup has ended (LastError says how); fires OnLookupDone.
  virtual void LookupDone();

 private:
  void Fire(const TSocketEvent& event);
  void KillTimer();
  void TimerTick();
  void LookupFinished(const THostLookup& lookup);
  void SocketConnected();
  void SocketReadable();
  void SocketWritten();
  void SocketFailed(QAbstractSocket::SocketError error);
  void SocketClosed();
  void ReleaseSocket();

  // Addresses as their text; empty when there is none.
  std::string address_;
  std::string resolved_;
  std::uint16_t port_ = 0;
  std::unique_ptr<ITcpConnection> socket_;
  bool connected_ = false;
  bool loaded_ = false;
  bool started_ = false;
  int lookupId_ = -1;
  QTimer timer_;
  std::uint32_t countdown_ = 0;
  int lastError_ = 0;
  std::string loadError_;
};
