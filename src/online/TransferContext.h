#pragma once
// The HTTP transfer of the online windows: each window owns one transfer context
// (one reusable connection, so requests to one host keep their connection alive)
// and runs one worker thread per request. Progress and the end of a worker reach
// the window's own thread through IOwnerThread, in that order; the window reads
// the status and the reply only after the worker has ended.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "online/OwnerThread.h"
#include "platform/HttpClient.h"

namespace fs = std::filesystem;

// Which window runs the transfer: its verb, totals, file and failure words.
enum class ETransferUse { Registration, ElementDownload, GalleryBrowser, GalleryUpload, Chat };

// Where the total that progress reports are measured against comes from.
enum class ETotalSource {
  None,                    // no progress reports
  ContentLengthElseCaller, // the reply's Content-Length, else the caller's expected total
  GalleryMode,             // mode 1: Content-Length; mode 0 (or none given): 10000
};

struct TTransferUseInfo {
  const char* agent;                    // sent as the User-Agent
  bool post;                            // POST the request body, else GET
  bool noCache;                         // ask for a fresh copy
  bool closeAfterRequest;               // drop the connection after every request
  ETotalSource totalSource;
  bool reportsStart;                    // a (0, 0) progress report before the request
  std::vector<std::string_view> failureWords;
  bool wordsIgnoreCase;                 // the reply is lower-cased for the test
};
const TTransferUseInfo& TransferUseInfo(ETransferUse use);

// The total a gallery transfer shows when it has no usable length.
inline constexpr std::int64_t kGalleryDefaultTotal = 10000;
// Replies are held whole in memory; a larger one fails instead of exhausting it.
inline constexpr std::int64_t kMaxReplyBytes = std::int64_t(512) << 20;
// The longest a list (an index, a gallery list, a preview) may take to arrive,
// however it is received.
inline constexpr std::chrono::minutes kListDeadline{2};
// Body bytes handed on between two checks of the stop flag and progress reports.
inline constexpr std::size_t kTransferBlockSize = 513;

// Transfer status: nothing yet or failed, connection lost, success.
enum : int { kTransferNothing = 0, kTransferConnectionLost = 1, kTransferSuccess = 2 };

struct TTransferRequest {
  std::string url;             // "http://" + host[:port] + path; the scheme may be left out
  fs::path fileName;           // when set, a successful non-empty reply is saved there
  std::int64_t expectedTotal = 0;  // element download: the size the caller expects
  // The reply must be exactly expectedTotal bytes (an archive part whose size the
  // index gives); otherwise it fails and no file is written.
  bool requireExpectedSize = false;
  int mode = 0;                // gallery browser: 1 = total from Content-Length, 0 = 10000
  std::string body;            // upload: the whole request body
  // The reply is data (a packed picture) even without a file: judged by its
  // HTTP status alone, never by failure words.
  bool binary = false;
  // When set, the body goes here block by block as it arrives (on the worker's
  // thread) and is neither held nor saved; the reply is judged as data. False
  // refuses the rest and fails the transfer.
  std::function<bool(std::string_view block)> consume;
  // The most body bytes taken (0: kMaxReplyBytes); a longer reply fails.
  std::int64_t maxBytes = 0;
  // How long the whole request may take (0: the use's own).
  std::chrono::milliseconds deadline{0};
};

// Called on the owner's thread.
struct TTransferCallbacks {
  std::function<void()> started;  // the request went out: the window starts its progress timer
  std::function<void(std::int64_t total, std::int64_t received)> progress;
  std::function<void(int status)> finished;  // status and reply are readable now
};

// The longest a whole request of `use` may take: the request's own when it
// names one, else generous for archive parts, pictures and uploads, short for
// lists and registration answers.
std::chrono::milliseconds TransferDeadline(ETransferUse use, const TTransferRequest& request);

// The bar position for `received` of `total`: received * 100 / (total + 1),
// kept within 0..100 and defined for every pair (a negative or unknown total gives 0).
int ProgressBarPosition(std::int64_t total, std::int64_t received);

// The network check a window makes before a user action starts a transfer: 0
// when a transfer may start, else an error code for IsConnectionError. The
// program has no such check, so a context made without one always passes.
using TConnectCheck = std::function<int()>;

// The error code of a finished request (0 when it completed), as
// IsConnectionError classifies it.
int InternetErrorOf(EHttpError error);

class TTransferContext {
 public:
  TTransferContext(ETransferUse use, IOwnerThread& owner, TConnectCheck connectCheck = {});
  // Stops a running worker and waits for it to end before the connection goes.
  ~TTransferContext();
  TTransferContext(const TTransferContext&) = delete;
  TTransferContext& operator=(const TTransferContext&) = delete;

  ETransferUse Use() const { return use_; }
  IOwnerThread& Owner() const { return owner_; }
  // The check the context was made with (0 without one).
  int AttemptConnect() const { return connectCheck_ ? connectCheck_() : 0; }

  // Starts a worker for `request`; false (and nothing started) while one runs.
  bool Start(TTransferRequest request, TTransferCallbacks callbacks = {});
  // Start, then handle the owner's tasks until the worker has ended; true exactly
  // when the status is success. `reply`, when given, receives the reply text
  // (moved out of ReplyText, so a large reply is never held twice).
  // The window may close (and this context go) while it waits: Run then returns
  // false without touching the context.
  bool Run(TTransferRequest request, TTransferCallbacks callbacks = {}, std::string* reply = nullptr);
  // Asks a running worker to end: it sees the flag within one block (or at the
  // next poll while nothing arrives) and ends without success. Later progress
  // reports of that worker are dropped; its end is still reported.
  void Stop();
  // Blocks until a running worker has ended (its end report is then dropped).
  void Wait();
  // Drops the kept-alive connection (a window switching servers); waits first.
  void CloseConnection();

  bool Running() const;
  bool Stopped() const;
  int Status() const { return status_; }
  const std::string& ReplyText() const { return reply_; }

  // Time-outs of later requests (seconds): connect, and how long a reply may
  // stall before the transfer fails.
  void SetTimeouts(long connectSeconds, long stallSeconds);
  // The longest a whole later request may take; zero restores the use's own
  // (TransferDeadline).
  void SetDeadline(std::chrono::milliseconds deadline);

 private:
  friend class TTransferWorker;
  struct TShared;
  void Join();

  ETransferUse use_;
  IOwnerThread& owner_;
  TConnectCheck connectCheck_;
  std::shared_ptr<TShared> shared_;
  std::thread worker_;
  int status_ = kTransferNothing;
  std::string reply_;
};
