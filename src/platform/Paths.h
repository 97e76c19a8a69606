#pragma once
// Data paths as the program stores them: "\" separators and Windows letter case.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace fs = std::filesystem;

// Maps a stored path ("Intfaces\DEFAULT\1024-768\Main.psd") onto the file system
// below `base`: "\" becomes "/", and each component that exists in another letter
// case is matched ignoring case. Components that do not exist are kept as written,
// so the result can name a file about to be created. An absolute path ("/...")
// ignores `base`.
fs::path ResolvePath(const fs::path& base, std::string_view storedPath);
// The same for a path that is absolute or relative to the current folder.
fs::path ResolvePath(std::string_view storedPath);

// Name parts of a stored path; both "\" and "/" separate components.
std::string ExtractFileName(std::string_view path);   // "a\b.psd" -> "b.psd"
std::string ExtractFilePath(std::string_view path);   // "a\b.psd" -> "a\"
std::string ExtractFileExt(std::string_view path);    // "a.b\c.psd" -> ".psd", "a.b\c" -> ""
// Replaces the extension of the last component (or appends `ext` when it has none).
std::string ChangeFileExt(std::string_view path, std::string_view ext);
// Appends "\" unless the text already ends in "\" or "/" (an empty text stays empty).
std::string WithTrailingBackslash(std::string_view path);

// A name that came from outside (a server's index, an archive) as a stored
// relative path ("a\b\c", either separator): nullopt unless every component is
// non-empty, not "." or "..", and free of ":" (drive letters) and NUL, so that it
// stays inside whatever folder it is resolved below. One trailing separator is
// allowed (a folder name); the result uses "\" and has none.
std::optional<std::string> SafeRelativePath(std::string_view name);
