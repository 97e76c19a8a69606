#pragma once
// Text files of the installation: decoding, lines, and the shared record grammar
// (one record a line, trimmed, empty and "#" lines skipped, ";" fields, "$" directives).
#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileResult.h"

namespace fs = std::filesystem;

// UTF-8 as it is (a byte-order mark removed); anything that is not valid UTF-8 is
// taken as Windows-1252 and converted to UTF-8.
std::string DecodeText(std::span<const std::uint8_t> bytes);
bool IsValidUtf8(std::string_view text);
std::string Windows1252ToUtf8(std::string_view text);

// Lines ended by CR LF, LF or CR; a final line end adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);

struct TextRecord {
  int line = 0;       // 1-based line number in the file
  std::string text;   // trimmed
};
// The records of a text: trimmed lines, without empty lines and lines starting with "#".
std::vector<TextRecord> TextRecords(std::string_view text);

// The failure of OpenTextFile; what() is the message shown to the user, Failure
// the file and its cause.
class ETextFileError : public std::runtime_error {
 public:
  ETextFileError(const std::string& message, TFileError failure)
      : std::runtime_error(message), Failure(std::move(failure)) {}
  TFileError Failure;
};

// Reads a whole text file as decoded lines. `name` is the name the messages use:
// "File " + name + " is missing" when it does not exist or cannot be found,
// "Denied access to file " + name when it exists but cannot be read.
std::vector<std::string> OpenTextFile(const fs::path& path, const std::string& name);
// Appends one line (CR LF ended, as the installation's files are) to a text file,
// creating it when absent, on a line of its own even when the file's last line
// has no line end; the file is replaced whole, never cut short by a failed write. The same messages as OpenTextFile.
void AppendTextLine(const fs::path& path, const std::string& name, std::string_view line);

// "Error in contents of file " + file + " (line #" + line + ")" + CR + reason.
std::string ContentErrorText(std::string_view fileName, int line, std::string_view reason);
