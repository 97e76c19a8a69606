#include "support/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

#include "platform/HttpClient.h"
#include "platform/Text.h"

namespace {

constexpr std::size_t kMaxHeaderBytes = 64 * 1024;
constexpr std::size_t kMaxBodyBytes = 64u << 20;
constexpr int kPollMs = 20;

std::int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string ReasonOf(int status) {
  switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
  }
}

std::vector<std::pair<std::string, std::string>> DecodeQuery(std::string_view query) {
  std::vector<std::pair<std::string, std::string>> pairs;
  if (query.empty()) return pairs;
  for (const std::string& item : SplitFields(query, '&')) {
    std::size_t eq = item.find('=');
    std::string name = item.substr(0, eq);
    std::string value = eq == std::string::npos ? std::string() : item.substr(eq + 1);
    pairs.emplace_back(PercentDecode(name, true), PercentDecode(value, true));
  }
  return pairs;
}

}  // namespace

THttpReply THttpReply::Text(int status, std::string body) {
  THttpReply reply;
  reply.status = status;
  reply.body = std::move(body);
  return reply;
}

std::string TServedRequest::Query(std::string_view name) const {
  for (const auto& [key, value] : query)
    if (key == name) return value;
  return {};
}

std::string TServedRequest::Header(std::string_view name) const {
  auto it = headers.find(LowerAscii(name));
  return it == headers.end() ? std::string() : it->second;
}

TLoopbackHttpServer::TLoopbackHttpServer(TLimits limits) : limits_(limits) {
  listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) throw std::runtime_error("loopback server: no socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listenFd_, 16) != 0 ||
      getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    close(listenFd_);
    throw std::runtime_error("loopback server: cannot listen");
  }
  port_ = ntohs(address.sin_port);
  deadlineMs_ = NowMs() + std::int64_t(limits_.maxSeconds) * 1000;
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

TLoopbackHttpServer::~TLoopbackHttpServer() { Stop(); }

void TLoopbackHttpServer::Route(const std::string& path, THttpReply reply) {
  Route(path, [reply](const TServedRequest&) { return reply; });
}

void TLoopbackHttpServer::Route(const std::string& path, THandler handler) {
  std::lock_guard lock(mutex_);
  routes_[path] = std::move(handler);
}

void TLoopbackHttpServer::Fallback(THandler handler) {
  std::lock_guard lock(mutex_);
  fallback_ = std::move(handler);
}

std::string TLoopbackHttpServer::Url(std::string_view pathAndQuery) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(pathAndQuery);
}

std::vector<TServedRequest> TLoopbackHttpServer::Requests() const {
  std::lock_guard lock(mutex_);
  return log_;
}

bool TLoopbackHttpServer::Running() const {
  return !stop_.load() && NowMs() < deadlineMs_ && served_.load() < limits_.maxRequests;
}

void TLoopbackHttpServer::Stop() {
  stop_.store(true);
  if (acceptor_.joinable()) acceptor_.join();
  std::vector<std::thread> threads;
  {
    std::lock_guard lock(mutex_);
    threads.swap(connections_);
  }
  for (auto& thread : threads) thread.join();
}

void TLoopbackHttpServer::AcceptLoop() {
  while (Running()) {
    pollfd ready{listenFd_, POLLIN, 0};
    if (poll(&ready, 1, kPollMs) <= 0) continue;
    int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    int number = ++accepted_;
    std::lock_guard lock(mutex_);
    connections_.emplace_back([this, fd, number] { Serve(fd, number); });
  }
  // Past its limits the server answers nothing more: new connections are refused
  // and the connection threads see the same test and close.
  close(listenFd_);
}

void TLoopbackHttpServer::Serve(int fd, int number) {
  std::string buffer;
  while (Running()) {
    TServedRequest request;
    request.connection = number;
    if (!ReadRequest(fd, buffer, request)) break;
    ++served_;
    THttpReply reply = Answer(request);
    std::size_t index;
    {
      std::lock_guard lock(mutex_);
      log_.push_back(request);
      index = log_.size() - 1;
    }
    if (!SendReply(fd, reply, index)) break;
  }
  close(fd);
}

// Reads one request (head and a Content-Length body) into `request`; false when
// the client left, the server stops, or the request is malformed.
bool TLoopbackHttpServer::ReadRequest(int fd, std::string& buffer, TServedRequest& request) {
  auto fill = [&]() {
    while (Running()) {
      pollfd ready{fd, POLLIN, 0};
      int n = poll(&ready, 1, kPollMs);
      if (n < 0) return false;
      if (n == 0) continue;
      char chunk[16384];
      ssize_t got = recv(fd, chunk, sizeof chunk, 0);
      if (got <= 0) return false;
      buffer.append(chunk, static_cast<std::size_t>(got));
      return true;
    }
    return false;
  };
  std::size_t headEnd;
  while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
    if (buffer.size() > kMaxHeaderBytes || !fill()) return false;
  }
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < headEnd;) {
    std::size_t end = buffer.find("\r\n", at);
    if (end == std::string::npos || end > headEnd) end = headEnd;
    lines.push_back(buffer.substr(at, end - at));
    at = end + 2;
  }
  if (lines.empty()) return false;
  std::vector<std::string> words = SplitFields(lines[0], ' ');
  if (words.size() != 3) return false;
  request.method = words[0];
  request.target = words[1];
  std::size_t question = request.target.find('?');
  request.path = PercentDecode(request.target.substr(0, question));
  if (question != std::string::npos) request.rawQuery = request.target.substr(question + 1);
  request.query = DecodeQuery(request.rawQuery);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::size_t colon = lines[i].find(':');
    if (colon == std::string::npos) continue;
    request.headers[LowerAscii(lines[i].substr(0, colon))] = Trim(lines[i].substr(colon + 1));
  }
  buffer.erase(0, headEnd + 4);
  auto length = ParseInt64(request.Header("content-length"));
  std::size_t bodyBytes = length && *length > 0 ? static_cast<std::size_t>(*length) : 0;
  if (bodyBytes > kMaxBodyBytes) return false;
  while (buffer.size() < bodyBytes)
    if (!fill()) return false;
  request.body = buffer.substr(0, bodyBytes);
  buffer.erase(0, bodyBytes);
  return true;
}

THttpReply TLoopbackHttpServer::Answer(const TServedRequest& request) {
  THandler handler;
  {
    std::lock_guard lock(mutex_);
    auto it = routes_.find(request.path);
    handler = it != routes_.end() ? it->second : fallback_;
  }
  if (handler) return handler(request);
  return THttpReply::Text(404, "<html><body><h1>Not Found</h1>The requested URL was not found.</body></html>");
}

// Sends the reply as the route says; false when the connection must close.
bool TLoopbackHttpServer::SendReply(int fd, const THttpReply& reply, std::size_t logIndex) {
  auto sendAll = [&](std::string_view data) {
    while (!data.empty()) {
      if (stop_.load()) return false;
      ssize_t sent = send(fd, data.data(), data.size(), MSG_NOSIGNAL);
      if (sent <= 0) return false;
      data.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
  };
  auto pause = [&](int ms) {
    for (std::int64_t until = NowMs() + ms; NowMs() < until;) {
      if (stop_.load()) return false;
      // A client that has gone shows as readable with nothing to read.
      pollfd ready{fd, POLLIN, 0};
      if (poll(&ready, 1, kPollMs) > 0) {
        char probe;
        if (recv(fd, &probe, 1, MSG_PEEK | MSG_DONTWAIT) == 0) return false;
      }
    }
    return true;
  };
  if (reply.silent) {
    while (pause(1000)) {}
    return false;
  }
  bool keepAlive = reply.keepAlive && reply.contentLength && reply.closeAfterBytes < 0;
  std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " +
                     (reply.reason.empty() ? ReasonOf(reply.status) : reply.reason) + "\r\n";
  if (reply.contentLength) head += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
  head += keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
  for (const auto& [name, value] : reply.headers) head += name + ": " + value + "\r\n";
  head += "\r\n";
  if (!sendAll(head)) return false;

  std::string_view body = reply.body;
  if (reply.closeAfterBytes >= 0 && static_cast<std::size_t>(reply.closeAfterBytes) < body.size())
    body = body.substr(0, static_cast<std::size_t>(reply.closeAfterBytes));
  std::size_t piece = reply.pieceBytes > 0 ? reply.pieceBytes : std::max<std::size_t>(body.size(), 1);
  for (std::size_t at = 0; at < body.size(); at += piece) {
    if (reply.pieceDelayMs > 0 && !pause(reply.pieceDelayMs)) return false;
    std::string_view part = body.substr(at, piece);
    if (!sendAll(part)) return false;
    std::lock_guard lock(mutex_);
    log_[logIndex].bodyBytesSent += static_cast<std::int64_t>(part.size());
  }
  if (body.size() == reply.body.size()) {
    std::lock_guard lock(mutex_);
    log_[logIndex].replyComplete = true;
  }
  return keepAlive;
}
