#pragma once
// Text files of the installation: decoding, lines, and the shared record grammar
// (one record a line, trimmed, empty and "#" lines skipped, ";" fields, "$" directives).
#include <cstdint>
#include <filesystem>
#include <span>
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

// The decoded lines of a whole text file. Fails with NoSuchFile when it is not
// there (or is no file), CannotRead when it cannot be read.
TFileResult<std::vector<std::string>> ReadTextLines(const fs::path& path);
// Appends one line (CR LF ended, as the installation's files are) to a text file,
// creating it when absent, on a line of its own even when the file's last line
// has no line end; the file is replaced whole, never cut short by a failed write.
// Fails with NoSuchFile when its folder is missing, CannotRead or CannotWrite.
TFileResult<> AppendTextLine(const fs::path& path, std::string_view line);
// The words a user reads of a text file that failed, `name` the name they know
// it by: "File " + name + " is missing" when it is not there, else
// "Denied access to file " + name.
std::string TextFileMessage(const TFileError& error, std::string_view name);

// "Error in contents of file " + file + " (line #" + line + ")" + CR + reason.
std::string ContentErrorText(std::string_view fileName, int line, std::string_view reason);
