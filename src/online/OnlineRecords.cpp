#include "online/OnlineRecords.h"

#include "platform/Numeric.h"
#include "platform/Text.h"
#include "platform/TextFile.h"

namespace {

std::string JoinWith(const TRecordFields& fields, char delimiter) {
  std::string out;
  for (const std::string& field : fields) {
    out += field;
    out += delimiter;
  }
  return out;
}

// The first `count` fields of a line in one pass.
template <std::size_t N>
std::array<std::string, N> TakeFields(std::string_view line) {
  std::array<std::string, N> fields;
  const char delimiter = kRecordDelimiter;
  std::size_t start = 0;
  for (std::size_t i = 0; i < N && start <= line.size(); ++i) {
    std::size_t end = line.find(delimiter, start);
    if (end == std::string_view::npos) end = line.size();
    fields[i] = std::string(line.substr(start, end - start));
    start = end + 1;
  }
  return fields;
}

}  // namespace

std::string RecordField(std::string_view line, int index, char delimiter) {
  if (index < 1) return {};
  std::size_t start = 0;
  for (int i = 1; i < index; ++i) {
    std::size_t next = line.find(delimiter, start);
    if (next == std::string_view::npos) return {};
    start = next + 1;
  }
  std::size_t end = line.find(delimiter, start);
  return std::string(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::string JoinRecordFields(const TRecordFields& fields, char delimiter) { return JoinWith(fields, delimiter); }

TRecordFields TRegistrationRecord::ToFields() const {
  return {FirstName, SecondName, EMail, UserNumber, Spare5, Sex, BirthDate, Country, ProductCode, SortKey, Spare11};
}

TRecordFields TGallaryOut::ToFields() const {
  return {UserNumber, Kind, Attributes, Password, Field5, Name, ProductVersion, PreviewSize, FullSize, AuthorName, Date};
}

std::optional<TGallary> ParseGalleryWorkRecord(std::string_view line) {
  if (line.size() < 5 || line.front() == '#') return std::nullopt;
  auto f = TakeFields<8>(line);
  TGallary work{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]};
  if (work.Id.empty() || work.Kind.empty() || work.Attributes.empty() || work.Name.empty() || work.Field7.empty())
    return std::nullopt;
  return work;
}

std::optional<TRegistrationRecord> ParseRegistrationRecord(std::string_view line) {
  auto f = TakeFields<11>(line);
  TRegistrationRecord user{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10]};
  if (user.FirstName.empty() || user.SecondName.empty() || user.EMail.empty() || user.Sex.empty() ||
      user.BirthDate.empty() || user.ProductCode.empty())
    return std::nullopt;
  return user;
}

std::vector<TGallary> ParseGalleryWorksList(std::string_view text) {
  std::vector<TGallary> works;
  for (const std::string& line : SplitLines(text))
    if (auto work = ParseGalleryWorkRecord(line)) works.push_back(std::move(*work));
  return works;
}

// A user without a number could own no work, so the gallery also drops it.
std::optional<TRegistrationRecord> ParseGalleryUserRecord(std::string_view line) {
  auto user = ParseRegistrationRecord(line);
  if (!user || user->UserNumber.empty()) return std::nullopt;
  return user;
}

std::vector<TRegistrationRecord> ParseUsersList(std::string_view text) {
  std::vector<TRegistrationRecord> users;
  for (const std::string& line : SplitLines(text))
    if (auto user = ParseGalleryUserRecord(line)) users.push_back(std::move(*user));
  return users;
}

std::optional<std::string> FormatAttributeDigits(const std::array<std::uint8_t, 6>& values) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (std::uint8_t value : values) {
    if (value > 15) return std::nullopt;
    out += kDigits[value];
  }
  return out;
}

std::optional<int> AttributeDigitAt(std::string_view attributes, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= attributes.size()) return std::nullopt;
  char c = attributes[static_cast<std::size_t>(index)];
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

std::string FormatRecordDate(int year, int month, int day) {
  return std::to_string(day) + "." + std::to_string(month) + "." + std::to_string(year);
}

bool IsConnectionError(int code) {
  return code == kInternetErrorShutdown || code == kInternetErrorNoDirectAccess ||
         code == kInternetErrorCannotConnect || code == kInternetErrorConnectionAborted;
}

TUrlParts SplitURL(std::string_view url) {
  TUrlParts parts;
  if (StartsWithNoCase(url, "http://")) {
    url.remove_prefix(7);
  } else if (StartsWithNoCase(url, "https://")) {
    url.remove_prefix(8);
    parts.secure = true;
    parts.port = 443;
  }
  std::size_t end = url.find_first_of("/?#");
  std::string_view authority = url.substr(0, end);
  if (end != std::string_view::npos) {
    std::string_view rest = url.substr(end);
    parts.path.clear();
    if (rest.front() != '/') parts.path += '/';
    parts.path += rest;
  }
  std::size_t colon = authority.rfind(':');
  if (colon != std::string_view::npos) {
    std::optional<int> port;
    std::string_view digits = authority.substr(colon + 1);
    bool allDigits = !digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos;
    if (allDigits) port = ParseInt(digits);
    parts.port = port && IsPortNumber(*port) ? *port : 0;
    authority = authority.substr(0, colon);
  }
  parts.host = std::string(authority);
  return parts;
}

std::string TUrlParts::ToUrl() const {
  return std::string(secure ? "https://" : "http://") + host + ":" + std::to_string(port) + path;
}
