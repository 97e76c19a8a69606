// The module "http": libcurl.
#include <curl/curl.h>

#include <cstdlib>

#include "platform/HttpClient.h"
#include "platform/HttpModule.h"

namespace {

struct TPerformState {
  const THttpHandlers* handlers = nullptr;
  CURL* curl = nullptr;
  THttpResult* result = nullptr;
  bool headersSent = false;
  bool stopped = false;
};

void SendHeaders(TPerformState& state) {
  if (state.headersSent) return;
  state.headersSent = true;
  long status = 0;
  curl_easy_getinfo(state.curl, CURLINFO_RESPONSE_CODE, &status);
  curl_off_t length = -1;
  if (curl_easy_getinfo(state.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK) length = -1;
  state.result->status = status;
  state.result->contentLength = length < 0 ? -1 : static_cast<std::int64_t>(length);
  if (state.handlers->headers) state.handlers->headers(status, state.result->contentLength);
}

// The callbacks run inside libcurl's C frames: no exception may pass through
// them, so a throwing handler stops the transfer instead.
size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto& state = *static_cast<TPerformState*>(user);
  size_t bytes = size * count;
  try {
    SendHeaders(state);
    bool stop = state.handlers->stop && state.handlers->stop();
    if (stop || (state.handlers->body && !state.handlers->body(std::string_view(data, bytes)))) {
      state.stopped = true;
      return CURL_WRITEFUNC_ERROR;
    }
  } catch (...) {
    state.stopped = true;
    return CURL_WRITEFUNC_ERROR;
  }
  state.result->received += static_cast<std::int64_t>(bytes);
  return bytes;
}

int TransferInfo(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto& state = *static_cast<TPerformState*>(user);
  try {
    if (state.handlers->stop && state.handlers->stop()) state.stopped = true;
  } catch (...) {
    state.stopped = true;
  }
  return state.stopped ? 1 : 0;
}

EHttpError ErrorOf(CURLcode code, bool stopped) {
  switch (code) {
    case CURLE_OK: return EHttpError::None;
    case CURLE_COULDNT_CONNECT: return EHttpError::CannotConnect;
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE: return EHttpError::ConnectionBroken;
    case CURLE_COULDNT_RESOLVE_HOST: return EHttpError::NameNotResolved;
    case CURLE_OPERATION_TIMEDOUT: return EHttpError::TimedOut;
    case CURLE_ABORTED_BY_CALLBACK:
    case CURLE_WRITE_ERROR: return stopped ? EHttpError::Cancelled : EHttpError::Other;
    default: return EHttpError::Other;
  }
}

// Loopback never goes through a proxy, whatever the environment says, on top of
// the user's own exceptions.
std::string NoProxyList() {
  std::string list = "localhost,127.0.0.1,::1";
  for (const char* name : {"no_proxy", "NO_PROXY"}) {
    if (const char* value = std::getenv(name); value && *value) return std::string(value) + "," + list;
  }
  return list;
}

class TCurl final : public IHttpModule {
 public:
  // curl_global_init is not thread-safe: it runs with the module's loading, once, before any handle.
  TCurl() { curl_global_init(CURL_GLOBAL_DEFAULT); }

  void* Open() override { return curl_easy_init(); }
  void Close(void* handle) override { curl_easy_cleanup(static_cast<CURL*>(handle)); }

  THttpResult Perform(void* handle, const THttpRequest& request, const THttpHandlers& handlers) override {
    THttpResult result;
    CURL* curl = static_cast<CURL*>(handle);
    if (!curl) return result;
    // Options are set afresh for every request; the handle keeps its connection cache.
    curl_easy_reset(curl);

    TPerformState state{&handlers, curl, &result};
    std::string noProxy = NoProxyList();
    curl_slist* headers = nullptr;
    // No "Expect: 100-continue" round trip before a POST body.
    headers = curl_slist_append(headers, "Expect:");
    headers = curl_slist_append(headers, "Accept: */*");
    if (request.noCache) headers = curl_slist_append(headers, "Cache-Control: no-cache");
    // A body is sent as raw bytes: libcurl would otherwise call it a form.
    if (request.post) headers = curl_slist_append(headers, "Content-Type:");

    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_NOPROXY, noProxy.c_str());
    curl_easy_setopt(curl, CURLOPT_USERAGENT, request.userAgent.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, request.connectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, request.lowSpeedSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, request.lowSpeedBytes);
    if (request.deadline.count() > 0) curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(request.deadline.count()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &state);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, TransferInfo);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &state);
    if (request.post) {
      curl_easy_setopt(curl, CURLOPT_POST, 1L);
      curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.data());
      curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    } else {
      curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    }

    CURLcode code = curl_easy_perform(curl);
    curl_slist_free_all(headers);
    result.curlCode = static_cast<int>(code);
    result.error = ErrorOf(code, state.stopped);
    if (code == CURLE_OK) SendHeaders(state);
    else if (result.status == 0) curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
    return result;
  }
};

}  // namespace

extern "C" [[gnu::visibility("default")]] IHttpModule* tressary_module_http() {
  // The module's one instance, alive as long as the module stays loaded.
  static TCurl curl;
  return &curl;
}
