#include "shell/HelpPages.h"

#include <cctype>
#include <vector>

#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace {

std::string BlanksForPercent20(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.substr(i, 3) == "%20") {
      result += ' ';
      i += 2;
    } else {
      result += text[i];
    }
  }
  return result;
}

// The scheme of a link ("http" of "http://..."), empty for a relative link.
std::string_view SchemeOf(std::string_view link) {
  if (link.empty() || !std::isalpha(static_cast<unsigned char>(link[0]))) return {};
  for (std::size_t i = 1; i < link.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(link[i]);
    if (c == ':') return link.substr(0, i);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return {};
  }
  return {};
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

// Without "." and ".." steps and without a trailing separator.
fs::path Plain(const fs::path& path) {
  fs::path normal = path.lexically_normal();
  if (!normal.has_filename() && normal.has_parent_path()) normal = normal.parent_path();
  return normal;
}

// The link without its "#anchor" (and "?query").
std::string_view PathPart(std::string_view link) { return link.substr(0, link.find_first_of("#?")); }

}  // namespace

std::string TopicPage(const TIniFile& ini, std::string_view section, std::string_view topic) {
  return Field(ini.ReadString(section, topic, "NotFound"), 1);
}

std::optional<fs::path> PageInFolder(const fs::path& folder, std::string_view page) {
  const std::optional<std::string> safe = SafeRelativePath(Trim(BlanksForPercent20(page)));
  if (!safe) return std::nullopt;
  return ResolvePath(folder, *safe);
}

TPageLink RoutePageLink(std::string_view link) {
  const std::string trimmed = Trim(link);
  const std::string_view text = trimmed;
  if (StartsWithNoCase(text, "help://")) return {TLinkRoute::HelpPage, std::string(text.substr(7))};
  const std::string_view scheme = SchemeOf(text);
  if (EqualsNoCase(scheme, "http") || EqualsNoCase(scheme, "https") || EqualsNoCase(scheme, "mailto"))
    return {TLinkRoute::Shell, trimmed};
  if (!scheme.empty()) return {TLinkRoute::Refused, trimmed};
  const std::string_view path = PathPart(text);
  if (EndsWithNoCase(path, ".mpg") || EndsWithNoCase(path, ".avi"))
    return {TLinkRoute::Video, BlanksForPercent20(ExtractFileName(path))};
  return {TLinkRoute::Viewer, trimmed};
}

std::optional<TLocalLink> LocalLinkTarget(const fs::path& folder, const fs::path& fromFolder, std::string_view link) {
  const std::size_t hash = link.find('#');
  TLocalLink target;
  if (hash != std::string_view::npos) target.Anchor = std::string(link.substr(hash + 1));
  const std::string path = BlanksForPercent20(PathPart(link));
  if (path.empty()) {
    if (target.Anchor.empty()) return std::nullopt;
    return target;
  }
  // The page's own folder inside `folder`, then the link's steps from there; a
  // ".." may climb back up, never above `folder`.
  std::vector<std::string> parts;
  const fs::path fromDir = Plain(fromFolder).lexically_relative(Plain(folder));
  if (fromDir.empty() || *fromDir.begin() == "..") return std::nullopt;
  for (const fs::path& part : fromDir)
    if (part != ".") parts.push_back(part.string());
  if (!path.empty() && (path.front() == '/' || path.front() == '\\')) return std::nullopt;
  for (const std::string& raw : SplitFields(path, '/')) {
    for (const std::string& part : SplitFields(raw, '\\')) {
      if (part.empty() || part == ".") continue;
      if (part == "..") {
        if (parts.empty()) return std::nullopt;
        parts.pop_back();
      } else {
        parts.push_back(part);
      }
    }
  }
  const std::optional<fs::path> file = PageInFolder(folder, JoinFields(parts, '\\'));
  if (!file) return std::nullopt;
  target.File = *file;
  return target;
}

bool ShowPageFile(IPageView& view, const std::optional<fs::path>& file) {
  if (!file) return false;
  if (EqualsNoCase(view.CurrentFile().string(), file->string())) return true;
  std::error_code error;
  return fs::is_regular_file(*file, error) && view.LoadFile(*file);
}

bool ShowPageOrFallback(IPageView& view, const TTopicPages& pages, const std::optional<fs::path>& file,
                        bool onlyIfFound) {
  if (ShowPageFile(view, file)) return true;
  if (onlyIfFound) return false;
  ShowPageFile(view, PageInFolder(pages.Folder, TopicPage(pages.Ini, pages.Section, pages.FallbackTopic)));
  return true;
}

bool ShowTopicPage(IPageView& view, const TTopicPages& pages, std::string_view topic, bool onlyIfFound) {
  return ShowPageOrFallback(view, pages, PageInFolder(pages.Folder, TopicPage(pages.Ini, pages.Section, topic)),
                            onlyIfFound);
}

std::optional<fs::path> HelpLinkFile(const fs::path& helpFolder, std::string_view link) {
  return PageInFolder(helpFolder, PathPart(RemoveFirstNoCase(link, "help://")));
}
