// The module "network": Qt Network, for the mail client's socket.
#include "platform/qt/NetworkModule.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace {

class TQtTcpConnection final : public ITcpConnection {
 public:
  // The events are held by the connections, not by this object, which may end
  // inside one of them.
  TQtTcpConnection(QObject* parent, TEvents events)
      : socket_(new QTcpSocket(parent)), receiver_(new QObject(socket_)) {
    QObject::connect(socket_, &QTcpSocket::connected, receiver_, events.Connected);
    QObject::connect(socket_, &QTcpSocket::readyRead, receiver_, events.Readable);
    QObject::connect(socket_, &QTcpSocket::bytesWritten, receiver_, [written = events.Written](qint64) { written(); });
    QObject::connect(socket_, &QTcpSocket::errorOccurred, receiver_, events.Failed);
    QObject::connect(socket_, &QTcpSocket::disconnected, receiver_, events.Closed);
  }

  ~TQtTcpConnection() override {
    // Our own close must not come back as events.
    QObject::disconnect(socket_, nullptr, receiver_, nullptr);
    socket_->abort();
    socket_->deleteLater();
  }

  void Connect(const std::string& address, std::uint16_t port) override {
    socket_->connectToHost(QHostAddress(QString::fromStdString(address)), port);
  }
  std::int64_t Write(const char* data, std::int64_t count) override { return socket_->write(data, count); }
  std::int64_t Read(char* data, std::int64_t count) override { return socket_->read(data, count); }
  QAbstractSocket::SocketError Error() const override { return socket_->error(); }
  std::int64_t PendingBytes() const override { return socket_->bytesToWrite(); }

  std::string LocalAddressText() const override {
    QHostAddress local = socket_->localAddress();
    bool isIPv4 = false;
    const quint32 ipv4 = local.toIPv4Address(&isIPv4);
    if (isIPv4) local = QHostAddress(ipv4);
    return local.toString().toStdString();
  }

 private:
  QTcpSocket* socket_;
  // The events' context, the socket's child.
  QObject* receiver_;
};

}  // namespace

extern "C" [[gnu::visibility("default")]] INetworkModule* tressary_module_network() {
  class TQtNetwork final : public INetworkModule {
   public:
    std::string AddressText(const std::string& text) override {
      return QHostAddress(QString::fromStdString(text)).toString().toStdString();
    }

    std::unique_ptr<ITcpConnection> Open(QObject* parent, ITcpConnection::TEvents events) override {
      return std::make_unique<TQtTcpConnection>(parent, std::move(events));
    }

    int LookUpHost(const std::string& name, QObject* context, std::function<void(const THostLookup&)> done) override {
      return QHostInfo::lookupHost(QString::fromStdString(name), context, [done = std::move(done)](const QHostInfo& info) {
        THostLookup lookup{info.error(), {}};
        const QList<QHostAddress> addresses = info.addresses();
        if (info.error() == QHostInfo::NoError && !addresses.isEmpty()) {
          QHostAddress chosen = addresses.first();
          for (const QHostAddress& address : addresses)
            if (address.protocol() == QAbstractSocket::IPv4Protocol) {
              chosen = address;
              break;
            }
          lookup.Address = chosen.toString().toStdString();
        }
        done(lookup);
      });
    }

    void AbortLookup(int id) override { QHostInfo::abortHostLookup(id); }
    std::string LocalHostName() override { return QHostInfo::localHostName().toStdString(); }
  };
  // The module's one instance, alive as long as the module stays loaded.
  static TQtNetwork network;
  return &network;
}
