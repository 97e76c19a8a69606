#include "platform/Text.h"

#include <limits>

namespace {
char UpperChar(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
char LowerChar(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = LowerChar(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}
}  // namespace

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperChar(c);
  return out;
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerChar(c);
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperChar(a[i]) != UpperChar(b[i])) return false;
  return true;
}

std::string TrimLeft(std::string_view text) {
  size_t begin = 0;
  while (begin < text.size() && IsBlank(text[begin])) ++begin;
  return std::string(text.substr(begin));
}

std::string TrimRight(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) --end;
  return std::string(text.substr(0, end));
}

std::string Trim(std::string_view text) { return TrimLeft(TrimRight(text)); }

bool Contains(std::string_view text, std::string_view needle) {
  return !needle.empty() && text.find(needle) != std::string_view::npos;
}

bool ContainsNoCase(std::string_view text, std::string_view needle) {
  return !needle.empty() && UpperAscii(text).find(UpperAscii(needle)) != std::string::npos;
}

std::string RemoveFirstNoCase(std::string_view text, std::string_view needle) {
  const std::size_t pos = needle.empty() ? std::string::npos : UpperAscii(text).find(UpperAscii(needle));
  if (pos == std::string::npos) return std::string(text);
  return std::string(text.substr(0, pos)) + std::string(text.substr(pos + needle.size()));
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::vector<std::string> SplitFields(std::string_view text, char delimiter) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t pos = text.find(delimiter, start);
    if (pos == std::string_view::npos) {
      parts.emplace_back(text.substr(start));
      return parts;
    }
    parts.emplace_back(text.substr(start, pos - start));
    start = pos + 1;
  }
}

std::string Field(std::string_view text, int index, char delimiter) {
  if (index < 1) return {};
  auto parts = SplitFields(text, delimiter);
  if (static_cast<size_t>(index) > parts.size()) return {};
  return Trim(parts[static_cast<size_t>(index) - 1]);
}

std::string JoinFields(const std::vector<std::string>& parts, char delimiter) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += delimiter;
    out += parts[i];
  }
  return out;
}

std::optional<std::int64_t> ParseInt64(std::string_view raw) {
  std::string text = Trim(raw);
  std::string_view s = text;
  bool negative = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s[0] == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return std::nullopt;
  // Accumulate as a negative number so that the minimum value fits.
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  std::int64_t value = 0;
  for (char c : s) {
    int digit = HexDigit(c);
    if (digit < 0 || digit >= base) return std::nullopt;
    if (value < (kMin + digit) / base) return std::nullopt;
    value = value * base - digit;
  }
  if (!negative) {
    if (value == kMin) return std::nullopt;
    value = -value;
  }
  return value;
}

std::optional<int> ParseInt(std::string_view text) {
  auto value = ParseInt64(text);
  if (!value || *value < std::numeric_limits<int>::min() || *value > std::numeric_limits<int>::max())
    return std::nullopt;
  return static_cast<int>(*value);
}

int ParseIntDef(std::string_view text, int fallback) { return ParseInt(text).value_or(fallback); }
