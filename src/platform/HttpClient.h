#pragma once
// HTTP requests over libcurl's easy interface. One THttpConnection is one easy
// handle: consecutive requests through it to the same host reuse its kept-alive
// connection. A connection serves one request at a time; it may be used from any
// thread, but not from two at once.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// Why a request did not complete.
enum class EHttpError {
  None,             // the reply arrived whole (whatever its HTTP status)
  CannotConnect,    // the server could not be reached
  ConnectionBroken, // the connection closed or failed before the reply was whole
  NameNotResolved,  // the host name is unknown
  TimedOut,         // connect, low-speed or deadline time-out
  Cancelled,        // the caller stopped it
  Other,            // a malformed URL, a refused protocol, a local failure
};

struct THttpRequest {
  std::string url;              // scheme://host[:port]/path?query, already encoded
  bool post = false;            // POST `body`, else GET
  std::string_view body;        // kept alive by the caller until Perform returns
  std::string userAgent;
  bool noCache = false;         // ask for a fresh copy, not a cached one
  long connectTimeoutSeconds = 20;
  // The transfer fails when fewer than lowSpeedBytes a second arrive for
  // lowSpeedSeconds in a row: a silent server must not hang a transfer forever.
  long lowSpeedSeconds = 60;
  long lowSpeedBytes = 1;
  // The whole request, connecting included, fails (TimedOut) after this long,
  // so a server dripping just above the low-speed limit cannot hold it forever.
  // Zero: no such limit.
  std::chrono::milliseconds deadline{0};
};

// Called on the thread that runs Perform.
struct THttpHandlers {
  // Once, before the first body byte (or at the end of an empty reply):
  // the HTTP status and the Content-Length, -1 when the reply gave none.
  std::function<void(long status, std::int64_t contentLength)> headers;
  // Each piece of the body as it arrives; false stops the transfer (Cancelled).
  std::function<bool(std::string_view piece)> body;
  // Polled while the transfer runs, also while nothing arrives; true stops it.
  std::function<bool()> stop;
};

struct THttpResult {
  EHttpError error = EHttpError::Other;
  int curlCode = 0;               // libcurl's own result, for diagnostics
  long status = 0;                // HTTP status; 0 when no reply arrived
  std::int64_t contentLength = -1;
  std::int64_t received = 0;      // body bytes handed to the body handler
  bool Completed() const { return error == EHttpError::None; }
};

class THttpConnection {
 public:
  THttpConnection();
  ~THttpConnection();
  THttpConnection(const THttpConnection&) = delete;
  THttpConnection& operator=(const THttpConnection&) = delete;

  // Runs one request to its end (or failure or stop).
  THttpResult Perform(const THttpRequest& request, const THttpHandlers& handlers);
  // Drops the handle and its kept-alive connection; the next request connects anew.
  void Close();
  bool IsOpen() const { return handle_ != nullptr; }

 private:
  void* handle_ = nullptr;  // CURL*
};

// Percent-encodes every byte but the unreserved ones (letters, digits, "-._~")
// and those in `keep`.
std::string PercentEncode(std::string_view text, std::string_view keep = {});
// Decodes "%XX" escapes (and "+" as a blank when `plusIsBlank`); a malformed
// escape is kept as it is.
std::string PercentDecode(std::string_view text, bool plusIsBlank = false);
