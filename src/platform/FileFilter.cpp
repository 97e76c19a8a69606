#include "platform/FileFilter.h"

#include <algorithm>

#include "platform/Text.h"

std::vector<TFileFilter> ParseWindowsFilter(std::string_view filter) {
  std::vector<TFileFilter> entries;
  const std::vector<std::string> fields = SplitFields(filter, '|');
  for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
    TFileFilter entry{Trim(fields[i]), {}};
    for (const std::string& pattern : SplitFields(fields[i + 1], ';'))
      if (std::string p = Trim(pattern); !p.empty()) entry.Patterns.push_back(std::move(p));
    entries.push_back(std::move(entry));
  }
  return entries;
}

namespace {

// The caption without a trailing "(...)" that lists patterns.
std::string BareCaption(std::string_view caption) {
  std::string text = Trim(caption);
  const std::size_t open = text.rfind('(');
  if (!text.empty() && text.back() == ')' && open != std::string::npos &&
      text.find('*', open) != std::string::npos)
    text = Trim(std::string_view(text).substr(0, open));
  return text;
}

// Qt separates patterns by blanks and ends the list at ")".
bool UsablePattern(std::string_view pattern) {
  return !pattern.empty() && pattern.find_first_of(" ()|;") == std::string_view::npos;
}

}  // namespace

std::vector<std::string> QtNameFilters(const std::vector<TFileFilter>& filters) {
  std::vector<std::string> result;
  for (const TFileFilter& filter : filters) {
    std::vector<std::string> patterns;
    auto add = [&](std::string p) {
      if (std::find(patterns.begin(), patterns.end(), p) == patterns.end()) patterns.push_back(std::move(p));
    };
    for (const std::string& raw : filter.Patterns) {
      const std::string pattern = Trim(raw);
      if (!UsablePattern(pattern)) continue;
      if (pattern == "*.*" || pattern == "*") {
        add("*");
        continue;
      }
      add(pattern);
      add(UpperAscii(pattern));
    }
    if (patterns.empty()) continue;
    std::string caption = BareCaption(filter.Caption);
    std::string text = caption.empty() ? std::string() : caption + " ";
    text += "(" + JoinFields(patterns, ' ') + ")";
    result.push_back(std::move(text));
  }
  return result;
}

std::vector<std::string> QtNameFilters(std::string_view windowsFilter) {
  return QtNameFilters(ParseWindowsFilter(windowsFilter));
}

std::string FilterDefaultSuffix(std::string_view qtFilter) {
  const std::size_t open = qtFilter.rfind('(');
  if (open == std::string_view::npos) return {};
  std::string_view patterns = qtFilter.substr(open + 1);
  patterns = patterns.substr(0, patterns.find(')'));
  for (const std::string& pattern : SplitFields(patterns, ' ')) {
    if (!pattern.starts_with("*.")) continue;
    const std::string ext = pattern.substr(2);
    if (!ext.empty() && ext.find_first_of("*?[") == std::string::npos) return LowerAscii(ext);
  }
  return {};
}
