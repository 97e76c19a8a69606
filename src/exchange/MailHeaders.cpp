#include "exchange/MailHeaders.h"

#include <algorithm>
#include <cstdio>
#include <random>

#include "platform/HttpClient.h"
#include "platform/Text.h"

namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::size_t kMaxNameLength = 999;
// The longest path SMTP carries (RFC 5321), less its angle brackets.
constexpr std::size_t kMaxAddressLength = 254;
// A field name longer than this could not share its line with any value.
constexpr std::size_t kMaxFieldName = 76;
constexpr std::size_t kFoldWidth = 78;
// An encoded word is at most 75 characters: "=?UTF-8?Q?" + text + "?=".
constexpr std::size_t kEncodedWordRoom = 75 - 12;
// A word this long could not be folded below the 998-character line limit.
constexpr std::size_t kLongestPlainWord = 900;
// Characters of one piece of a long MIME parameter value.
constexpr std::size_t kParameterPiece = 50;

bool IsPrintableAscii(unsigned char c) { return c >= 32 && c < 127; }
bool IsAlnum(unsigned char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The longest stretch without a blank, the most a folder can leave on one line.
std::size_t LongestWord(std::string_view text) {
  std::size_t run = 0, longest = 0;
  for (char c : text) {
    run = c == ' ' ? 0 : run + 1;
    longest = std::max(longest, run);
  }
  return longest;
}

bool NeedsEncoding(std::string_view text) {
  if (!std::all_of(text.begin(), text.end(), [](unsigned char c) { return IsPrintableAscii(c); })) return true;
  return LongestWord(text) > kLongestPlainWord || text.find("=?") != std::string_view::npos;
}

// Length of the UTF-8 sequence starting at `i`, 1 for a byte that starts none.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  const std::size_t length = lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (lead >= 0xF8 || i + length > text.size()) return 1;
  for (std::size_t k = 1; k < length; ++k)
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 1;
  return length;
}

// Q encoding restricted to what RFC 2047 allows inside a phrase, so the same
// word serves display names and unstructured text.
void QEncodeByte(unsigned char c, std::string& out) {
  if (c == ' ') {
    out += '_';
  } else if (IsAlnum(c) || c == '!' || c == '*' || c == '+' || c == '-' || c == '/') {
    out += static_cast<char>(c);
  } else {
    out += '=';
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 15];
  }
}

bool HasSpecials(std::string_view text) { return text.find_first_of("()<>[]:;@\\,.\"") != std::string_view::npos; }

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + '"';
}

bool IsDomainName(std::string_view name) {
  if (name.empty() || name.front() == '.' || name.back() == '.' || name.find("..") != std::string_view::npos)
    return false;
  return std::all_of(name.begin(), name.end(),
                     [](unsigned char c) { return IsAlnum(c) || c == '-' || c == '.'; });
}
}  // namespace

std::string StripLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != '\r' && c != '\n') out += c;
  return out;
}

TMailRecipient ParseRecipient(std::string_view entry) {
  const std::size_t bar = entry.find('|');
  TMailRecipient recipient;
  recipient.address = Trim(StripLineBreaks(entry.substr(0, bar)));
  if (bar != std::string_view::npos)
    recipient.name = StripLineBreaks(entry.substr(bar + 1, kMaxNameLength));
  return recipient;
}

bool IsAcceptableAddress(std::string_view address) {
  return address.size() <= kMaxAddressLength && std::all_of(address.begin(), address.end(), [](unsigned char c) {
           return c > ' ' && c < 127 && c != '<' && c != '>';
         });
}

namespace {
std::string EncodedWords(std::string_view text) {
  std::string out;
  std::string word;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8Length(text, i);
    std::string piece;
    for (std::size_t k = 0; k < length; ++k) QEncodeByte(static_cast<unsigned char>(text[i + k]), piece);
    if (word.size() + piece.size() > kEncodedWordRoom) {
      out += (out.empty() ? "=?UTF-8?Q?" : " =?UTF-8?Q?") + word + "?=";
      word.clear();
    }
    word += piece;
    i += length;
  }
  if (!word.empty()) out += (out.empty() ? "=?UTF-8?Q?" : " =?UTF-8?Q?") + word + "?=";
  return out;
}
}  // namespace

std::string EncodeHeaderWord(std::string_view text) {
  return NeedsEncoding(text) ? EncodedWords(text) : std::string(text);
}

std::string FormatMailbox(const TMailRecipient& mailbox) {
  if (mailbox.name.empty()) return mailbox.address;
  std::string name = mailbox.name;
  if (!NeedsEncoding(name) && HasSpecials(name)) name = Quoted(name);
  // Quoting doubles quotes and backslashes: judge the length after it.
  if (NeedsEncoding(name)) name = EncodedWords(mailbox.name);
  return name + " <" + mailbox.address + ">";
}

std::string FoldHeaderLine(std::string_view line) {
  std::string out;
  std::size_t lineLength = 0;
  std::size_t start = 0;
  // The first line keeps the field name and its first word together: a value
  // that began on the next line would read back with a leading blank.
  bool firstWordPlaced = false;
  while (start < line.size()) {
    // A segment is a blank and the word after it (the first one has no blank).
    std::size_t end = line.find(' ', start + 1);
    if (end == std::string_view::npos) end = line.size();
    const std::string_view segment = line.substr(start, end - start);
    const bool wordFollows = segment.size() > 1 && segment[0] == ' ';
    const bool mayFold = firstWordPlaced;
    if (wordFollows && start > 0) firstWordPlaced = true;
    if (wordFollows && mayFold && lineLength + segment.size() > kFoldWidth) {
      out += "\r\n";
      lineLength = 0;
    }
    out += segment;
    lineLength += segment.size();
    start = end;
  }
  return out;
}

std::optional<std::string> EncodeHeaderLine(std::string_view line) {
  const std::string clean = StripLineBreaks(line);
  const std::size_t colon = clean.find(':');
  if (colon == 0 || colon == std::string::npos || colon > kMaxFieldName) return std::nullopt;
  const std::string_view name = std::string_view(clean).substr(0, colon);
  if (!std::all_of(name.begin(), name.end(), [](unsigned char c) { return c > ' ' && c < 127; }))
    return std::nullopt;
  std::string_view value = std::string_view(clean).substr(colon + 1);
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  return FoldHeaderLine(std::string(name) + ": " + EncodeHeaderWord(value));
}

std::string MimeParameter(std::string_view name, std::string_view value) {
  const std::string clean = StripLineBreaks(value);
  const std::string key(name);
  const bool ascii = std::all_of(clean.begin(), clean.end(), [](unsigned char c) { return IsPrintableAscii(c); });
  // Quoting doubles quotes and backslashes: judge the length after it.
  const std::string quoted = Quoted(clean);
  if (ascii && quoted.size() <= kLongestPlainWord) return key + "=" + quoted;
  // Too long to fold, or not ASCII: RFC 2231 continuations of short pieces, so
  // no header line has to outgrow the line limit. Pieces full of escaped quotes
  // confuse readers, so values holding quotes or backslashes go percent-encoded.
  std::string out;
  if (ascii && clean.find_first_of("\"\\") == std::string::npos) {
    for (std::size_t start = 0, n = 0; start < clean.size(); start += kParameterPiece, ++n)
      out += (n ? "; " : "") + key + "*" + std::to_string(n) + "=" + Quoted(clean.substr(start, kParameterPiece));
    return out;
  }
  // Attribute characters stay; every other byte is percent-encoded.
  const std::string encoded = PercentEncode(clean, "!#$&+^`|");
  if (encoded.size() <= kParameterPiece) return key + "*=utf-8''" + encoded;
  for (std::size_t start = 0, n = 0; start < encoded.size(); ++n) {
    std::size_t length = std::min(kParameterPiece, encoded.size() - start);
    // Never split a "%XX".
    if (start + length < encoded.size()) {
      if (encoded[start + length - 1] == '%') length -= 1;
      else if (encoded[start + length - 2] == '%') length -= 2;
    }
    out += (n ? "; " + key + "*" + std::to_string(n) + "*=" : key + "*0*=utf-8''") + encoded.substr(start, length);
    start += length;
  }
  return out;
}

std::string MailDate(std::time_t when) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm local{};
  localtime_r(&when, &local);
  const long offset = local.tm_gmtoff / 60;
  const long magnitude = offset < 0 ? -offset : offset;
  char text[64];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", kDays[local.tm_wday % 7],
                local.tm_mday, kMonths[local.tm_mon % 12], local.tm_year + 1900, local.tm_hour, local.tm_min,
                local.tm_sec, offset < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
  return text;
}

std::string MakeMessageId(std::string_view unique, std::string_view fromAddress) {
  const std::size_t at = fromAddress.rfind('@');
  std::string_view domain = at == std::string_view::npos ? std::string_view() : fromAddress.substr(at + 1);
  if (!IsDomainName(domain)) domain = "tressary.invalid";
  return "<" + std::string(unique) + "@" + std::string(domain) + ">";
}

std::string RandomToken(std::size_t length) {
  static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device source;
  std::uniform_int_distribution<int> pick(0, 61);
  std::string out;
  for (std::size_t i = 0; i < length; ++i) out += kChars[pick(source)];
  return out;
}

std::string HeloName(std::string_view hostName, std::string_view localAddress) {
  if (hostName.find('.') != std::string_view::npos && IsDomainName(hostName)) return std::string(hostName);
  if (localAddress.empty()) return "[127.0.0.1]";
  if (localAddress.find(':') != std::string_view::npos) return "[IPv6:" + std::string(localAddress) + "]";
  return "[" + std::string(localAddress) + "]";
}
