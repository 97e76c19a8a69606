#include "platform/TextFile.h"

#include <fstream>
#include <system_error>

#include "platform/FileIO.h"
#include "platform/Text.h"

namespace {
// Code points of 0x80..0x9F in Windows-1252; 0 where the code page has no character.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}
}  // namespace

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    auto c = static_cast<unsigned char>(text[i]);
    std::size_t extra;
    char32_t cp;
    if (c < 0x80) { ++i; continue; }
    if (c >= 0xC2 && c <= 0xDF) { extra = 1; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) { extra = 2; cp = c & 0x0F; }
    else if (c >= 0xF0 && c <= 0xF4) { extra = 3; cp = c & 0x07; }
    else return false;
    if (i + extra >= text.size()) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      auto cc = static_cast<unsigned char>(text[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += extra + 1;
  }
  return true;
}

std::string Windows1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    char32_t cp = c;
    if (c >= 0x80 && c <= 0x9F) cp = kCp1252High[c - 0x80] ? kCp1252High[c - 0x80] : 0xFFFD;
    AppendUtf8(out, cp);
  }
  return out;
}

std::string DecodeText(std::span<const std::uint8_t> bytes) {
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  if (IsValidUtf8(text)) return std::string(text);
  return Windows1252ToUtf8(text);
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::vector<TextRecord> TextRecords(std::string_view text) {
  std::vector<TextRecord> records;
  int number = 0;
  for (const std::string& raw : SplitLines(text)) {
    ++number;
    std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    records.push_back({number, std::move(line)});
  }
  return records;
}

TFileResult<std::vector<std::string>> ReadTextLines(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return FileError(TFileFault::NoSuchFile, path);
  auto bytes = ReadFileBytes(path);
  if (!bytes) return FileError(TFileFault::CannotRead, path, bytes.Error().System, bytes.Error().Detail);
  return SplitLines(DecodeText(*bytes));
}

TFileResult<> AppendTextLine(const fs::path& path, std::string_view line) {
  std::error_code ec;
  if (!path.parent_path().empty() && !fs::is_directory(path.parent_path(), ec))
    return FileError(TFileFault::NoSuchFile, path);
  // The whole list is written anew, so a failed append cannot cut it short.
  std::vector<std::uint8_t> bytes;
  if (fs::exists(path, ec)) {
    auto old = ReadFileBytes(path);
    if (!old) return FileError(TFileFault::CannotRead, path, old.Error().System, old.Error().Detail);
    bytes = std::move(*old);
  }
  // A last line without its line end must not swallow the new one.
  if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r') {
    bytes.push_back('\r');
    bytes.push_back('\n');
  }
  bytes.insert(bytes.end(), line.begin(), line.end());
  bytes.push_back('\r');
  bytes.push_back('\n');
  return WriteFileAtomic(path, bytes);
}

std::string TextFileMessage(const TFileError& error, std::string_view name) {
  if (error.Cause == TFileFault::NoSuchFile) return "File " + std::string(name) + " is missing";
  return "Denied access to file " + std::string(name);
}

std::string ContentErrorText(std::string_view fileName, int line, std::string_view reason) {
  return "Error in contents of file " + std::string(fileName) + " (line #" + std::to_string(line) + ")\r" +
         std::string(reason);
}
