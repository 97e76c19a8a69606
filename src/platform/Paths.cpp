#include "platform/Paths.h"

#include "platform/Text.h"

namespace {
bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::size_t LastSeparator(std::string_view path) {
  for (std::size_t i = path.size(); i > 0; --i)
    if (IsSeparator(path[i - 1])) return i - 1;
  return std::string_view::npos;
}

// The entry of `folder` whose name equals `name` ignoring case, preferring an exact match.
fs::path MatchEntry(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  if (fs::exists(folder / name, ec)) return folder / name;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (EqualsNoCase(entry, name)) return it->path();
  }
  return folder / name;
}
}  // namespace

fs::path ResolvePath(const fs::path& base, std::string_view storedPath) {
  std::string text(storedPath);
  for (char& c : text)
    if (c == '\\') c = '/';
  fs::path result = (!text.empty() && text[0] == '/') ? fs::path("/") : base;
  for (const std::string& part : SplitFields(text, '/')) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      result = result.parent_path();
      continue;
    }
    result = MatchEntry(result, part);
  }
  return result;
}

fs::path ResolvePath(std::string_view storedPath) { return ResolvePath(fs::current_path(), storedPath); }

std::string ExtractFileName(std::string_view path) {
  std::size_t sep = LastSeparator(path);
  return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string ExtractFilePath(std::string_view path) {
  std::size_t sep = LastSeparator(path);
  return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep + 1));
}

std::string ExtractFileExt(std::string_view path) {
  std::size_t sep = LastSeparator(path);
  std::size_t start = sep == std::string_view::npos ? 0 : sep + 1;
  std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot < start) return {};
  return std::string(path.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  std::string current = ExtractFileExt(path);
  return std::string(path.substr(0, path.size() - current.size())) + std::string(ext);
}

std::string WithTrailingBackslash(std::string_view path) {
  if (path.empty() || IsSeparator(path.back())) return std::string(path);
  return std::string(path) + "\\";
}

std::optional<std::string> SafeRelativePath(std::string_view name) {
  if (!name.empty() && IsSeparator(name.back())) name.remove_suffix(1);
  if (name.empty()) return std::nullopt;
  std::string result;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    const std::string_view part = name.substr(start, end - start);
    if (part.empty() || part == "." || part == ".." || part.find(':') != std::string_view::npos ||
        part.find('\0') != std::string_view::npos)
      return std::nullopt;
    if (!result.empty()) result += '\\';
    result += part;
    start = end + 1;
  }
  return result;
}
