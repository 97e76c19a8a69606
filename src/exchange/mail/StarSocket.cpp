#include "exchange/mail/StarSocket.h"

#include <QMetaObject>

#include "platform/Module.h"
#include "platform/qt/NetworkModule.h"

namespace {

// WinSock numbers the mail client's error table knows.
constexpr int kWsaBaseError = 10000;  // no counterpart: reported as an unknown error
constexpr int kWsaNotSocket = 10038;
constexpr int kWsaNotInitialised = 10093;
constexpr int kWsaAddressNotAvailable = 10049;
constexpr int kWsaHostNotFound = 11001;
constexpr int kWsaNoRecovery = 11003;
constexpr int kWsaNoData = 11004;

INetworkModule* Network(std::string* error = nullptr) { return LoadModule("network", tressary_module_network, error); }

struct TQtErrorRow {
  QAbstractSocket::SocketError qt;
  int number;
};

constexpr TQtErrorRow kQtErrors[] = {
    {QAbstractSocket::ConnectionRefusedError, 10061},
    {QAbstractSocket::RemoteHostClosedError, 10054},
    {QAbstractSocket::HostNotFoundError, kWsaHostNotFound},
    {QAbstractSocket::SocketAccessError, 10013},
    {QAbstractSocket::SocketResourceError, 10024},
    {QAbstractSocket::SocketTimeoutError, 10060},
    {QAbstractSocket::DatagramTooLargeError, 10040},
    {QAbstractSocket::NetworkError, 10051},
    {QAbstractSocket::AddressInUseError, 10048},
    {QAbstractSocket::SocketAddressNotAvailableError, kWsaAddressNotAvailable},
    {QAbstractSocket::UnsupportedSocketOperationError, 10045},
    {QAbstractSocket::UnfinishedSocketOperationError, 10036},
    {QAbstractSocket::ProxyConnectionRefusedError, 10061},
    {QAbstractSocket::ProxyConnectionClosedError, 10054},
    {QAbstractSocket::ProxyConnectionTimeoutError, 10060},
    {QAbstractSocket::ProxyNotFoundError, kWsaHostNotFound},
    {QAbstractSocket::OperationError, 10022},
};
}  // namespace

int SocketErrorNumber(QAbstractSocket::SocketError error) {
  for (const auto& row : kQtErrors)
    if (row.qt == error) return row.number;
  return kWsaBaseError;
}

TStarSocket::TStarSocket(QObject* parent) : QObject(parent) {
  timer_.setInterval(1000);
  connect(&timer_, &QTimer::timeout, this, &TStarSocket::TimerTick);
}

TStarSocket::~TStarSocket() {
  Cancel();
  UnloadWinsock();
}

bool TStarSocket::LoadWinsock(const std::string&) {
  loadError_.clear();
  loaded_ = !Faults.StartFails && Network(&loadError_);
  return loaded_;
}

bool TStarSocket::IsAddress(const std::string& text) {
  INetworkModule* network = Network();
  return network && !network->AddressText(text).empty();
}

bool TStarSocket::StartWinsock() {
  if (!started_) {
    if (!loaded_) LoadWinsock();
    started_ = loaded_ && !Faults.StartFails;
  }
  return started_;
}

void TStarSocket::UnloadWinsock() {
  started_ = false;
  loaded_ = false;
}

void TStarSocket::Fire(const TSocketEvent& event) {
  if (event) event(this);
}

void TStarSocket::CreateSocket() {
  lastError_ = 0;
  if (socket_) return;
  INetworkModule* network = Network();
  if (!network) {
    lastError_ = kWsaNotInitialised;
    return;
  }
  socket_ = network->Open(this, {.Connected = [this] { SocketConnected(); },
                                 .Readable = [this] { SocketReadable(); },
                                 .Written = [this] { SocketWritten(); },
                                 .Closed = [this] { SocketClosed(); },
                                 .Failed = [this](QAbstractSocket::SocketError error) { SocketFailed(error); }});
}

void TStarSocket::SetAddress(const std::string& text) {
  INetworkModule* network = Network();
  address_ = network ? network->AddressText(text) : "";
}

std::string TStarSocket::AddressText() const { return address_; }

void TStarSocket::ResolveHost(const std::string& name) {
  if (lookupId_ >= 0) return;
  INetworkModule* network = Network();
  if (!network) {
    lastError_ = kWsaNotInitialised;
    return;
  }
  lastError_ = 0;
  if (!Faults.LookupsUnanswered)
    lookupId_ = network->LookUpHost(name, this, [this](const THostLookup& lookup) { LookupFinished(lookup); });
  StartCountdown(TimeoutArp);
}

void TStarSocket::LookupFinished(const THostLookup& lookup) {
  KillTimer();
  lookupId_ = -1;
  resolved_.clear();
  if (lookup.Error == QHostInfo::HostNotFound) {
    lastError_ = kWsaHostNotFound;
  } else if (lookup.Error != QHostInfo::NoError) {
    lastError_ = kWsaNoRecovery;
  } else if (lookup.Address.empty()) {
    lastError_ = kWsaNoData;
  } else {
    lastError_ = 0;
    resolved_ = lookup.Address;
  }
  LookupDone();
}

void TStarSocket::LookupDone() { Fire(OnLookupDone); }

void TStarSocket::Connect() {
  if (!socket_) {
    lastError_ = kWsaNotSocket;
    return;
  }
  if (address_.empty()) {
    lastError_ = kWsaAddressNotAvailable;
    return;
  }
  lastError_ = 0;
  socket_->Connect(address_, port_);
  StartCountdown(TimeoutConnect);
}

void TStarSocket::ReleaseSocket() {
  connected_ = false;
  // Ends without events; released before its end, which may fire nothing more here.
  std::unique_ptr<ITcpConnection> socket = std::move(socket_);
}

void TStarSocket::Cancel() {
  if (lookupId_ >= 0) Network()->AbortLookup(lookupId_);
  lookupId_ = -1;
  KillTimer();
  if (socket_) lastError_ = 0;
  ReleaseSocket();
}

std::int64_t TStarSocket::SendBuf(const char* data, std::int64_t count) {
  if (!socket_) {
    lastError_ = kWsaNotSocket;
    return 0;
  }
  const std::int64_t written = socket_->Write(data, count);
  lastError_ = written < 0 ? SocketErrorNumber(socket_->Error()) : 0;
  return written < 0 ? 0 : written;
}

std::int64_t TStarSocket::ReceiveBuf(char* data, std::int64_t count) {
  if (!socket_) {
    lastError_ = kWsaNotSocket;
    return 0;
  }
  const std::int64_t read = socket_->Read(data, count);
  lastError_ = read < 0 ? SocketErrorNumber(socket_->Error()) : 0;
  return read < 0 ? 0 : read;
}

std::int64_t TStarSocket::PendingBytes() const { return socket_ ? socket_->PendingBytes() : 0; }

std::string TStarSocket::LocalHostName() {
  INetworkModule* network = Network();
  lastError_ = network ? 0 : kWsaNotInitialised;
  return network ? network->LocalHostName() : "";
}

std::string TStarSocket::LocalAddressText() const { return socket_ ? socket_->LocalAddressText() : ""; }

void TStarSocket::StartCountdown(std::uint32_t seconds) {
  KillTimer();
  if (seconds == 0) return;
  countdown_ = seconds;
  timer_.start();
}

void TStarSocket::KillTimer() {
  timer_.stop();
  countdown_ = 0;
}

void TStarSocket::TimerTick() {
  if (countdown_ > 0) --countdown_;
  if (countdown_ > 0) return;
  Cancel();
  Fire(OnTimeout);
}

void TStarSocket::PostUserMessage(int message) {
  QMetaObject::invokeMethod(
      this,
      [this, message] {
        if (message >= kFirstUserMessage && OnUserMessage) OnUserMessage(this, message);
      },
      Qt::QueuedConnection);
}

void TStarSocket::SocketConnected() {
  KillTimer();
  lastError_ = 0;
  connected_ = true;
  Fire(OnConnect);
}

void TStarSocket::SocketReadable() {
  KillTimer();
  lastError_ = 0;
  Fire(OnRead);
}

void TStarSocket::SocketWritten() {
  KillTimer();
  lastError_ = 0;
  Fire(OnWrite);
}

void TStarSocket::SocketFailed(QAbstractSocket::SocketError error) {
  KillTimer();
  if (!connected_) {
    // A connect that failed: reported like a completed connect carrying the error.
    lastError_ = SocketErrorNumber(error);
    ReleaseSocket();
    Fire(OnConnect);
    return;
  }
  // An orderly close by the server arrives as "disconnected" right after this.
  if (error == QAbstractSocket::RemoteHostClosedError) return;
  lastError_ = SocketErrorNumber(error);
  Fire(OnClose);
  ReleaseSocket();
}

void TStarSocket::SocketClosed() {
  KillTimer();
  if (!socket_) return;
  lastError_ = 0;
  Fire(OnClose);
  ReleaseSocket();
}
