#pragma once
// The plain-text records exchanged with the publisher's server: one record a
// line, every field followed by the record delimiter.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What follows every field of a record the server exchanges.
inline constexpr char kRecordDelimiter = ';';

using TRecordFields = std::array<std::string, 11>;

// Field `index` (1-based) of `line`: the text after the (index-1)-th delimiter up
// to the next one or the end of the line; "" when absent. Not trimmed.
std::string RecordField(std::string_view line, int index, char delimiter = kRecordDelimiter);

// Field 1 + delimiter + ... + field 11 + delimiter.
std::string JoinRecordFields(const TRecordFields& fields, char delimiter = kRecordDelimiter);

// A registered user (the users list holds one a line).
struct TRegistrationRecord {
  std::string FirstName;      // 1
  std::string SecondName;     // 2
  std::string EMail;          // 3
  std::string UserNumber;     // 4: issued by the server; empty when sent for registration
  std::string Spare5;         // 5
  std::string Sex;            // 6: item index of the sex list
  std::string BirthDate;      // 7
  std::string Country;        // 8: item index of the country list
  std::string ProductCode;    // 9: "JQ"
  std::string SortKey;        // 10: the users list is sorted by this integer
  std::string Spare11;        // 11

  TRecordFields ToFields() const;
};

// One line of the works list.
struct TGallary {
  std::string Id;          // 1
  std::string Kind;        // 2: "0" picture, "1" work file
  std::string Attributes;  // 3: six hexadecimal digits
  std::string Password;    // 4: empty for a public work
  std::string Field5;      // 5
  std::string Name;        // 6
  std::string Field7;      // 7: must be present
  std::string Size;        // 8: size in bytes, may be empty
};

// The record sent with an upload.
struct TGallaryOut {
  std::string UserNumber;       // 1
  std::string Kind;             // 2: "0" JPEG picture, "1" work file
  std::string Attributes;       // 3
  std::string Password;         // 4
  std::string Field5 = "0";     // 5
  std::string Name;             // 6: trimmed
  std::string ProductVersion;   // 7
  std::string PreviewSize;      // 8
  std::string FullSize;         // 9
  std::string AuthorName;       // 10: first and second name separated by a blank
  std::string Date;             // 11: day.month.year without leading zeros

  TRecordFields ToFields() const;
};

// nullopt for a line shorter than 5 characters, a "#" comment, or one without
// fields 1, 2, 3, 6 and 7.
std::optional<TGallary> ParseGalleryWorkRecord(std::string_view line);
// nullopt when field 1, 2, 3, 6, 7 or 9 is empty.
std::optional<TRegistrationRecord> ParseRegistrationRecord(std::string_view line);
// A line of the gallery's users list: it needs only what the browser uses, the
// first and second name and the user's number (fields 1, 2 and 4).
std::optional<TRegistrationRecord> ParseGalleryUserRecord(std::string_view line);

// Every valid record of a list file's text, in file order (CR LF or LF lines).
std::vector<TGallary> ParseGalleryWorksList(std::string_view text);
std::vector<TRegistrationRecord> ParseUsersList(std::string_view text);  // by ParseGalleryUserRecord

// The six attribute item indexes as six upper-case hexadecimal digits; nullopt
// when an index does not fit one digit (above 15), since the field is read back
// one character per attribute.
std::optional<std::string> FormatAttributeDigits(const std::array<std::uint8_t, 6>& values);
// The item index encoded by character `index` (0-based) of an attribute field, in
// either letter case; nullopt when it is missing or not a hexadecimal digit.
std::optional<int> AttributeDigitAt(std::string_view attributes, int index);

// The date of an upload record: day.month.year without leading zeros.
std::string FormatRecordDate(int year, int month, int day);

// True for the error codes that mean the network cannot be reached or the
// connection broke: 12012 (shut down), 12023 (no direct access), 12029 (cannot
// connect), 12030 (connection aborted). False for every other code, 0 included.
bool IsConnectionError(int code);

// The error codes of the transfers, as IsConnectionError classifies them.
enum : int {
  kInternetErrorTimeout = 12002,
  kInternetErrorNameNotResolved = 12007,
  kInternetErrorShutdown = 12012,
  kInternetErrorCancelled = 12017,
  kInternetErrorNoDirectAccess = 12023,
  kInternetErrorCannotConnect = 12029,
  kInternetErrorConnectionAborted = 12030,
  kInternetErrorOther = 12004,
};

// The parts of a request URL: an optional leading "http://" or "https://" (any
// letter case) is taken off; then host[:port] up to the first "/" or "?", and the
// rest as the path, which always starts with "/".
struct TUrlParts {
  bool secure = false;  // "https://"
  std::string host;
  int port = 80;        // 0 when the URL names a port that is not a number in 1..65535
  std::string path = "/";
  bool Valid() const { return !host.empty() && port > 0; }
  // scheme://host:port/path, as the connection asks for it.
  std::string ToUrl() const;
};
TUrlParts SplitURL(std::string_view url);
