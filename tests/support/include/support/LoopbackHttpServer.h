#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the online tests: a table of routes,
// each answered by a fixed reply or a handler, with the misbehaviours a real
// network shows (no Content-Length, a slow body, a close in mid-body, silence),
// and a log of every request and accepted connection. It listens on an
// ephemeral port and stops by itself after a number of requests or seconds.
#include <atomic>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

struct TServedRequest;

// How a route answers.
struct THttpReply {
  int status = 200;
  std::string reason;  // empty: the usual phrase of the status
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;  // extra header lines
  bool contentLength = true;      // false: no Content-Length; the body ends with the connection
  std::size_t pieceBytes = 0;     // > 0: the body goes out in pieces of this size ...
  int pieceDelayMs = 0;           // ... each after this pause
  std::int64_t closeAfterBytes = -1;  // >= 0: the connection closes after this many body bytes
  bool silent = false;            // no reply at all: the connection stays open, mute
  bool keepAlive = true;          // false: "Connection: close", closed after the reply

  static THttpReply Text(int status, std::string body);
};

// One request as the server saw it.
struct TServedRequest {
  int connection = 0;          // 1-based number of the accepted connection that carried it
  std::string method;
  std::string target;          // as sent: path and query, still encoded
  std::string path;            // the target up to "?", decoded
  std::string rawQuery;        // after "?", still encoded
  std::vector<std::pair<std::string, std::string>> query;  // decoded name/value pairs
  std::map<std::string, std::string> headers;              // names lower-cased
  std::string body;
  // Filled while the reply goes out.
  std::int64_t bodyBytesSent = 0;
  bool replyComplete = false;

  // The decoded value of a query parameter or a header ("" when absent).
  std::string Query(std::string_view name) const;
  std::string Header(std::string_view name) const;
};

// What bounds a server's life.
struct TLoopbackLimits {
  int maxRequests = 200;  // then it stops accepting and answering
  int maxSeconds = 60;    // then it stops by itself
};
// For a server that a smoke demo hosts for the program's whole run: it answers
// as long as the process lives, which the demo's watchdog and its script bound.
// A life of its own would be a second, hidden watchdog, shorter than the demo's
// or counted from before the program's start-up: on a slow machine it ends
// first, and the program then waits for answers that never come.
inline constexpr TLoopbackLimits kLoopbackForTheRun{std::numeric_limits<int>::max(), std::numeric_limits<int>::max()};

class TLoopbackHttpServer {
 public:
  using THandler = std::function<THttpReply(const TServedRequest&)>;

  using TLimits = TLoopbackLimits;

  explicit TLoopbackHttpServer(TLimits limits = {});
  ~TLoopbackHttpServer();
  TLoopbackHttpServer(const TLoopbackHttpServer&) = delete;
  TLoopbackHttpServer& operator=(const TLoopbackHttpServer&) = delete;

  // Answers requests whose decoded path is `path` (exact match). A later route
  // for the same path replaces the earlier one. Unrouted paths get a 404 page.
  void Route(const std::string& path, THttpReply reply);
  void Route(const std::string& path, THandler handler);
  // Answers every path without a route of its own (instead of the 404 page).
  void Fallback(THandler handler);

  int Port() const { return port_; }
  // "http://127.0.0.1:" + port + pathAndQuery.
  std::string Url(std::string_view pathAndQuery) const;

  std::vector<TServedRequest> Requests() const;
  int AcceptedConnections() const { return accepted_.load(); }
  // Stops accepting, closes every connection and waits for the server's threads.
  void Stop();

 private:
  struct TConnection;
  void AcceptLoop();
  void Serve(int fd, int number);
  bool ReadRequest(int fd, std::string& buffer, TServedRequest& request);
  bool SendReply(int fd, const THttpReply& reply, std::size_t logIndex);
  THttpReply Answer(const TServedRequest& request);
  bool Running() const;

  TLimits limits_;
  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> accepted_{0};
  std::atomic<int> served_{0};
  std::int64_t deadlineMs_ = 0;
  mutable std::mutex mutex_;
  std::map<std::string, THandler> routes_;
  THandler fallback_;
  std::vector<TServedRequest> log_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};
