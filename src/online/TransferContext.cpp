#include "online/TransferContext.h"

#include <algorithm>

#include "online/OnlineRecords.h"
#include "platform/FileIO.h"
#include "platform/Text.h"

namespace {

// Bytes that must never reach the request line: blanks and control characters
// would change or split the request, so they travel escaped; every other
// printable character (escapes already made included) stays as it is.
std::string EscapeUnsafePathBytes(std::string_view path) {
  static const std::string kPrintable = [] {
    std::string chars;
    for (char c = 0x21; c < 0x7F; ++c) chars += c;
    return chars;
  }();
  return PercentEncode(path, kPrintable);
}

bool HasFailureWord(const TTransferUseInfo& info, std::string_view reply) {
  std::string lowered = info.wordsIgnoreCase ? LowerAscii(reply) : std::string();
  std::string_view tested = info.wordsIgnoreCase ? std::string_view(lowered) : reply;
  return std::any_of(info.failureWords.begin(), info.failureWords.end(),
                     [&](std::string_view word) { return Contains(tested, word); });
}

}  // namespace

const TTransferUseInfo& TransferUseInfo(ETransferUse use) {
  static const TTransferUseInfo kRegistration{
      "Registration", false, true, false, ETotalSource::None, false,
      {"Not Found", "error", "Error", "Internal Error"}, false};
  static const TTransferUseInfo kElementDownload{
      "Template", false, false, false, ETotalSource::ContentLengthElseCaller, true,
      {"not found", "error", "forbidden"}, true};
  static const TTransferUseInfo kGalleryBrowser{
      "From", false, false, false, ETotalSource::GalleryMode, false, {"not found", "error"}, true};
  static const TTransferUseInfo kGalleryUpload{
      "ToGallary", true, true, true, ETotalSource::None, false,
      {"404", "found", "error", "Error", "Internal Error"}, false};
  // The chat judges its replies itself: a result word counts only outside the
  // message and user lines, so the transfer has no failure words of its own.
  static const TTransferUseInfo kChat{"Chat", false, true, false, ETotalSource::None, false, {}, false};
  switch (use) {
    case ETransferUse::Chat: return kChat;
    case ETransferUse::Registration: return kRegistration;
    case ETransferUse::ElementDownload: return kElementDownload;
    case ETransferUse::GalleryBrowser: return kGalleryBrowser;
    case ETransferUse::GalleryUpload: return kGalleryUpload;
  }
  return kRegistration;
}

std::chrono::milliseconds TransferDeadline(ETransferUse use, const TTransferRequest& request) {
  using std::chrono::minutes;
  if (request.deadline.count() > 0) return request.deadline;
  switch (use) {
    case ETransferUse::Registration:
    case ETransferUse::Chat: return minutes(1);
    case ETransferUse::ElementDownload:
      return request.fileName.empty() && !request.requireExpectedSize ? kListDeadline : minutes(60);
    case ETransferUse::GalleryBrowser: return request.mode == 1 ? minutes(15) : kListDeadline;
    case ETransferUse::GalleryUpload: return minutes(60);
  }
  return kListDeadline;
}

int ProgressBarPosition(std::int64_t total, std::int64_t received) {
  if (total < 0 || received <= 0) return 0;
  if (received > total) return 100;
  // received <= total < INT64_MAX here, so total + 1 cannot overflow; the
  // quotient is taken in 128 bits so received * 100 cannot either.
  return static_cast<int>(static_cast<__int128>(received) * 100 / (static_cast<__int128>(total) + 1));
}

int InternetErrorOf(EHttpError error) {
  switch (error) {
    case EHttpError::None: return 0;
    case EHttpError::CannotConnect: return kInternetErrorCannotConnect;
    case EHttpError::ConnectionBroken: return kInternetErrorConnectionAborted;
    case EHttpError::NameNotResolved: return kInternetErrorNameNotResolved;
    case EHttpError::TimedOut: return kInternetErrorTimeout;
    case EHttpError::Cancelled: return kInternetErrorCancelled;
    case EHttpError::Other: return kInternetErrorOther;
  }
  return kInternetErrorOther;
}

// Everything the worker thread and the owner's thread share. The worker owns the
// connection and the results while it runs; the owner reads them after it ended.
struct TTransferContext::TShared {
  THttpConnection connection;
  std::atomic<bool> stop{false};
  long connectSeconds = 20;
  long stallSeconds = 60;
  std::chrono::milliseconds deadline{0};  // zero: the use's own
  std::chrono::milliseconds requestDeadline{0};  // of the running worker's request
  // Owner's thread only: false once the context is gone; the run a task belongs to.
  bool alive = true;
  bool running = false;
  std::uint64_t generation = 0;
  // Results of the last worker.
  int status = kTransferNothing;
  std::string reply;
  // The latest progress pair; one report at a time is queued to the owner.
  std::atomic<std::int64_t> total{0};
  std::atomic<std::int64_t> received{0};
  std::atomic<bool> progressQueued{false};
};

// The worker's whole run: one request, then its end posted to the owner.
class TTransferWorker {
 public:
  using TShared = TTransferContext::TShared;

  TTransferWorker(std::shared_ptr<TShared> shared, const TTransferUseInfo& info, TTransferRequest request,
                  IOwnerThread& owner, TTransferCallbacks callbacks, std::uint64_t generation,
                  std::function<void()> finish)
      : shared_(std::move(shared)), info_(info), request_(std::move(request)), owner_(owner),
        callbacks_(std::move(callbacks)), generation_(generation), finish_(std::move(finish)) {}

  void operator()() {
    try {
      Execute();
    } catch (...) {
      // A failure inside the worker ends it quietly with the status reached.
    }
    owner_.Post(finish_);
  }

 private:
  void Execute() {
    TShared& s = *shared_;
    s.status = kTransferNothing;
    s.reply.clear();
    TUrlParts parts = SplitURL(request_.url);
    if (!parts.Valid()) return;
    parts.path = EscapeUnsafePathBytes(parts.path);
    if (info_.post && request_.body.empty()) return;  // an empty upload is never sent
    if (info_.reportsStart) Report(0, 0, true);
    PostStarted();

    THttpRequest http;
    http.url = parts.ToUrl();
    http.post = info_.post;
    http.body = request_.body;
    http.userAgent = info_.agent;
    http.noCache = info_.noCache;
    http.connectTimeoutSeconds = s.connectSeconds;
    http.lowSpeedSeconds = s.stallSeconds;
    http.deadline = s.requestDeadline;

    std::string reply;
    std::int64_t total = 0, received = 0;
    const std::int64_t maxBytes = request_.maxBytes > 0 ? request_.maxBytes : kMaxReplyBytes;
    bool refused = false;
    THttpHandlers handlers;
    handlers.headers = [&](long, std::int64_t length) { total = TotalFor(length); };
    handlers.stop = [&] { return s.stop.load(); };
    handlers.body = [&](std::string_view piece) {
      for (std::size_t at = 0; at < piece.size(); at += kTransferBlockSize) {
        if (s.stop.load()) return false;
        std::string_view block = piece.substr(at, kTransferBlockSize);
        if (received + static_cast<std::int64_t>(block.size()) > maxBytes ||
            (request_.consume && !request_.consume(block))) {
          refused = true;
          return false;
        }
        received += static_cast<std::int64_t>(block.size());
        if (!request_.consume) reply.append(block);
        if (info_.totalSource != ETotalSource::None) Report(total, received, false);
      }
      return true;
    };
    THttpResult result = s.connection.Perform(http, handlers);
    if (info_.closeAfterRequest || !result.Completed()) {
      // A broken or stopped connection is never reused: the next request connects anew.
      s.connection.Close();
    }
    if (!result.Completed() || refused) {
      s.status = IsConnectionError(InternetErrorOf(result.error)) ? kTransferConnectionLost : kTransferNothing;
      return;
    }
    // A stop that came after the last byte still means the window gave up on it.
    if (s.stop.load()) return;
    s.reply = std::move(reply);
    if (Succeeded(result, s.reply, received)) s.status = kTransferSuccess;
  }

  std::int64_t TotalFor(std::int64_t contentLength) const {
    switch (info_.totalSource) {
      case ETotalSource::ContentLengthElseCaller:
        return contentLength >= 0 ? contentLength : request_.expectedTotal;
      case ETotalSource::GalleryMode:
        return request_.mode == 1 && contentLength >= 0 ? contentLength : kGalleryDefaultTotal;
      case ETotalSource::None: break;
    }
    return 0;
  }

  // A reply counts only with a 2xx status. Data (a file, a packed picture) is
  // judged by the status and its announced or expected length, text by the
  // use's words.
  bool Succeeded(const THttpResult& result, const std::string& reply, std::int64_t size) const {
    if (result.status < 200 || result.status > 299) return false;
    bool data = request_.binary || !request_.fileName.empty() || request_.consume;
    if (!data) return !HasFailureWord(info_, reply);
    if (result.contentLength >= 0 && result.contentLength != size) return false;
    if (request_.requireExpectedSize && request_.expectedTotal > 0 && request_.expectedTotal != size) return false;
    if (request_.fileName.empty() || reply.empty()) return true;
    return WriteFileAtomic(request_.fileName, std::string_view(reply)).Ok();
  }

  void PostStarted() {
    if (!callbacks_.started) return;
    owner_.Post([shared = shared_, generation = generation_, started = callbacks_.started] {
      if (shared->alive && shared->generation == generation && !shared->stop.load()) started();
    });
  }

  // Reports (total, received). Ordinary reports are folded together: while one
  // waits in the owner's queue, later pairs only update what it will show.
  void Report(std::int64_t total, std::int64_t received, bool separate) {
    if (!callbacks_.progress) return;
    auto deliver = [shared = shared_, generation = generation_, progress = callbacks_.progress](
                       std::int64_t t, std::int64_t r) {
      if (shared->alive && shared->generation == generation && !shared->stop.load()) progress(t, r);
    };
    if (separate) {
      owner_.Post([deliver, total, received] { deliver(total, received); });
      return;
    }
    shared_->total.store(total);
    shared_->received.store(received);
    if (shared_->progressQueued.exchange(true)) return;
    owner_.Post([deliver, shared = shared_] {
      shared->progressQueued.store(false);
      deliver(shared->total.load(), shared->received.load());
    });
  }

  std::shared_ptr<TShared> shared_;
  const TTransferUseInfo& info_;
  TTransferRequest request_;
  IOwnerThread& owner_;
  TTransferCallbacks callbacks_;
  std::uint64_t generation_;
  std::function<void()> finish_;
};

TTransferContext::TTransferContext(ETransferUse use, IOwnerThread& owner, TConnectCheck connectCheck)
    : use_(use), owner_(owner), connectCheck_(std::move(connectCheck)), shared_(std::make_shared<TShared>()) {}

TTransferContext::~TTransferContext() {
  Stop();
  Join();
  shared_->alive = false;
  shared_->connection.Close();
}

bool TTransferContext::Start(TTransferRequest request, TTransferCallbacks callbacks) {
  if (shared_->running) return false;
  Join();  // a worker that ended but whose end report has not run yet
  shared_->stop.store(false);
  shared_->progressQueued.store(false);
  std::uint64_t generation = ++shared_->generation;
  status_ = kTransferNothing;
  reply_.clear();
  shared_->running = true;
  shared_->requestDeadline = shared_->deadline.count() > 0 ? shared_->deadline : TransferDeadline(use_, request);
  auto finished = callbacks.finished;
  // Runs on the owner's thread once the worker is done: the status and the reply
  // are published before the context stops counting as running.
  auto finish = [this, shared = shared_, generation, finished] {
    if (!shared->alive || shared->generation != generation || !shared->running) return;
    Join();
    status_ = shared->status;
    reply_ = std::move(shared->reply);
    shared->running = false;
    if (finished) finished(status_);
  };
  worker_ = std::thread(TTransferWorker(shared_, TransferUseInfo(use_), std::move(request), owner_,
                                        std::move(callbacks), generation, std::move(finish)));
  return true;
}

bool TTransferContext::Run(TTransferRequest request, TTransferCallbacks callbacks, std::string* reply) {
  if (!Start(std::move(request), std::move(callbacks))) return false;
  std::shared_ptr<TShared> shared = shared_;
  owner_.RunUntil([shared] { return !shared->alive || !shared->running; });
  if (!shared->alive) return false;
  if (reply) *reply = std::move(reply_);
  return status_ == kTransferSuccess;
}

void TTransferContext::Stop() {
  if (shared_->running) shared_->stop.store(true);
}

bool TTransferContext::Running() const { return shared_->running; }

bool TTransferContext::Stopped() const { return shared_->stop.load(); }

void TTransferContext::Wait() {
  Join();
  if (!shared_->running) return;
  status_ = shared_->status;
  reply_ = std::move(shared_->reply);
  shared_->running = false;
}

void TTransferContext::Join() {
  if (worker_.joinable()) worker_.join();
}

void TTransferContext::CloseConnection() {
  Wait();
  shared_->connection.Close();
}

void TTransferContext::SetDeadline(std::chrono::milliseconds deadline) {
  Wait();
  shared_->deadline = deadline;
}

void TTransferContext::SetTimeouts(long connectSeconds, long stallSeconds) {
  Wait();
  shared_->connectSeconds = std::max(1L, connectSeconds);
  shared_->stallSeconds = std::max(1L, stallSeconds);
}
