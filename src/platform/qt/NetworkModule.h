#pragma once
// Qt Network behind the mail client's socket (TStarSocket): the module
// "network" (see platform/Module.h), loaded when the first mail goes out.
// Only Qt Network's enums cross here, so the program itself does not link it.
#include <QAbstractSocket>
#include <QHostInfo>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QObject;

// One TCP client connection; its events arrive on the GUI thread.
class ITcpConnection {
 public:
  struct TEvents {
    std::function<void()> Connected, Readable, Written, Closed;
    std::function<void(QAbstractSocket::SocketError)> Failed;
  };
  // Aborts the connection without a further event; the socket itself goes from
  // the event loop, since this may run inside one of its own signals.
  virtual ~ITcpConnection() = default;
  virtual void Connect(const std::string& address, std::uint16_t port) = 0;
  // Bytes queued or read, or -1 (then Error() says why).
  virtual std::int64_t Write(const char* data, std::int64_t count) = 0;
  virtual std::int64_t Read(char* data, std::int64_t count) = 0;
  virtual QAbstractSocket::SocketError Error() const = 0;
  virtual std::int64_t PendingBytes() const = 0;
  // This end's address, an IPv4-mapped one as plain IPv4.
  virtual std::string LocalAddressText() const = 0;
};

struct THostLookup {
  QHostInfo::HostInfoError Error = QHostInfo::NoError;
  // The first IPv4 address found, else the first of any kind; empty when none.
  std::string Address;
};

class INetworkModule {
 public:
  // `text` spelled as an address is, or empty when it is no address (a name).
  virtual std::string AddressText(const std::string& text) = 0;
  // A connection owned by the caller whose socket is a child of `parent`.
  virtual std::unique_ptr<ITcpConnection> Open(QObject* parent, ITcpConnection::TEvents events) = 0;
  // Looks `name` up; `done` runs on `context`'s thread unless the lookup is aborted.
  virtual int LookUpHost(const std::string& name, QObject* context, std::function<void(const THostLookup&)> done) = 0;
  virtual void AbortLookup(int id) = 0;
  virtual std::string LocalHostName() = 0;

 protected:
  ~INetworkModule() = default;
};

extern "C" [[gnu::weak]] INetworkModule* tressary_module_network();
