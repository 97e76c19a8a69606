#include "platform/HttpClient.h"

#include "platform/HttpModule.h"
#include "platform/Module.h"

namespace {
IHttpModule* Http() { return LoadModule("http", tressary_module_http); }
}  // namespace

THttpConnection::THttpConnection() = default;

THttpConnection::~THttpConnection() { Close(); }

void THttpConnection::Close() {
  if (handle_) Http()->Close(handle_);
  handle_ = nullptr;
}

// Without the http module no request goes out: it fails as a local failure does.
THttpResult THttpConnection::Perform(const THttpRequest& request, const THttpHandlers& handlers) {
  IHttpModule* http = Http();
  if (!http) return {};
  if (!handle_) handle_ = http->Open();
  return http->Perform(handle_, request, handlers);
}

std::string PercentEncode(std::string_view text, std::string_view keep) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '.' || c == '_' || c == '~';
    if (unreserved || (c != 0 && keep.find(static_cast<char>(c)) != std::string_view::npos)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

namespace {
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

std::string PercentDecode(std::string_view text, bool plusIsBlank) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '%' && i + 2 < text.size()) {
      int hi = HexValue(text[i + 1]), lo = HexValue(text[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += (plusIsBlank && c == '+') ? ' ' : c;
  }
  return out;
}
