#include "online/Frameset.h"

#include <cctype>
#include <cmath>
#include <utility>

#include "platform/Text.h"

namespace {

struct TTag {
  std::string Name;  // lower-case
  bool Closing = false;
  std::vector<std::pair<std::string, std::string>> Attributes;  // names lower-case

  std::optional<std::string> Attribute(std::string_view name) const {
    for (const auto& [key, value] : Attributes)
      if (key == name) return value;
    return std::nullopt;
  }
};

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// The entities an attribute value is likely to hold; the viewer reports links
// with them decoded.
std::string DecodeEntities(std::string_view text) {
  static constexpr std::pair<std::string_view, char> kEntities[] = {
      {"&amp;", '&'}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&#39;", '\''}, {"&apos;", '\''}};
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    bool replaced = false;
    if (text[i] == '&')
      for (const auto& [entity, c] : kEntities)
        if (StartsWithNoCase(text.substr(i), entity)) {
          out += c;
          i += entity.size();
          replaced = true;
          break;
        }
    if (!replaced) out += text[i++];
  }
  return out;
}

// Calls `visit` for each tag of `html` in order; comments and the content of
// "noframes" are skipped. `visit` returns false to stop.
template <class TVisit>
void ForEachTag(std::string_view html, TVisit&& visit) {
  bool inNoFrames = false;
  std::size_t pos = 0;
  while ((pos = html.find('<', pos)) != std::string_view::npos) {
    if (html.substr(pos, 4) == "<!--") {
      const std::size_t end = html.find("-->", pos + 4);
      if (end == std::string_view::npos) return;
      pos = end + 3;
      continue;
    }
    std::size_t i = pos + 1;
    TTag tag;
    if (i < html.size() && html[i] == '/') {
      tag.Closing = true;
      ++i;
    }
    while (i < html.size() && std::isalnum(static_cast<unsigned char>(html[i]))) tag.Name += char(std::tolower(html[i++]));
    if (tag.Name.empty()) {
      pos = pos + 1;
      continue;
    }
    while (i < html.size() && html[i] != '>') {
      if (IsBlank(html[i]) || html[i] == '/') {
        ++i;
        continue;
      }
      std::string name;
      while (i < html.size() && !IsBlank(html[i]) && html[i] != '=' && html[i] != '>' && html[i] != '/')
        name += char(std::tolower(html[i++]));
      while (i < html.size() && IsBlank(html[i])) ++i;
      std::string value;
      if (i < html.size() && html[i] == '=') {
        ++i;
        while (i < html.size() && IsBlank(html[i])) ++i;
        if (i < html.size() && (html[i] == '"' || html[i] == '\'')) {
          const char quote = html[i++];
          const std::size_t end = html.find(quote, i);
          const std::size_t stop = end == std::string_view::npos ? html.size() : end;
          value = DecodeEntities(html.substr(i, stop - i));
          i = stop == html.size() ? stop : stop + 1;
        } else {
          const std::size_t start = i;
          while (i < html.size() && !IsBlank(html[i]) && html[i] != '>') ++i;
          value = DecodeEntities(html.substr(start, i - start));
        }
      }
      if (!name.empty()) tag.Attributes.emplace_back(std::move(name), std::move(value));
    }
    pos = i;
    if (tag.Name == "noframes") {
      inNoFrames = !tag.Closing;
      continue;
    }
    if (!inNoFrames && !visit(tag)) return;
  }
}

std::vector<TFrameSize> OneShareWhenEmpty(std::vector<TFrameSize> sizes) {
  if (sizes.empty()) sizes.push_back({});
  return sizes;
}

void LayOut(const TFrameNode& node, int x, int y, int width, int height, std::vector<TFrameRect>& out) {
  if (!node.IsFrameset) {
    out.push_back({node.Name, node.Src, x, y, width, height});
    return;
  }
  const std::vector<int> rows = FrameExtents(OneShareWhenEmpty(node.Rows), height);
  const std::vector<int> cols = FrameExtents(OneShareWhenEmpty(node.Cols), width);
  const std::size_t cells = rows.size() * cols.size();
  int top = y;
  for (std::size_t r = 0, i = 0; r < rows.size(); ++r) {
    int left = x;
    for (std::size_t c = 0; c < cols.size(); ++c, ++i) {
      if (i < node.Children.size() && i < cells) LayOut(node.Children[i], left, top, cols[c], rows[r], out);
      left += cols[c];
    }
    top += rows[r];
  }
}

}  // namespace

std::vector<TFrameSize> ParseFrameSizes(std::string_view list) {
  std::vector<TFrameSize> sizes;
  for (const std::string& raw : SplitFields(list, ',')) {
    const std::string entry = Trim(raw);
    TFrameSize size;
    if (!entry.empty() && entry.back() == '*') {
      const std::string weight = Trim(entry.substr(0, entry.size() - 1));
      size.Value = weight.empty() ? 1 : ParseIntDef(weight, 1);
    } else if (!entry.empty() && entry.back() == '%') {
      if (auto value = ParseInt(Trim(entry.substr(0, entry.size() - 1)))) size = {TFrameSize::Percent, *value};
    } else if (auto value = ParseInt(entry)) {
      size = {TFrameSize::Pixels, *value};
    }
    size.Value = std::max(size.Value, 0);
    sizes.push_back(size);
  }
  return OneShareWhenEmpty(std::move(sizes));
}

std::vector<int> FrameExtents(const std::vector<TFrameSize>& sizes, int total) {
  total = std::max(total, 0);
  std::vector<double> want(sizes.size(), 0.0);
  double fixed = 0;
  long long shares = 0;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    switch (sizes[i].Unit) {
      case TFrameSize::Pixels: want[i] = sizes[i].Value; break;
      case TFrameSize::Percent: want[i] = total * double(sizes[i].Value) / 100.0; break;
      case TFrameSize::Share: shares += sizes[i].Value; break;
    }
    fixed += want[i];
  }
  if (fixed > total || (shares == 0 && fixed > 0)) {
    for (double& w : want) w *= total / fixed;
  } else if (shares > 0) {
    const double rest = total - fixed;
    for (std::size_t i = 0; i < sizes.size(); ++i)
      if (sizes[i].Unit == TFrameSize::Share) want[i] = rest * double(sizes[i].Value) / double(shares);
  } else if (!want.empty()) {
    want.back() = total;  // nothing asks for room: the last takes it
  }
  // Rounded at the running sums, so the extents add up to `total` exactly.
  std::vector<int> extents(sizes.size());
  double sum = 0;
  int placed = 0;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    sum += want[i];
    const int edge = i + 1 == sizes.size() ? total : std::min(total, int(std::lround(sum)));
    extents[i] = std::max(0, edge - placed);
    placed += extents[i];
  }
  return extents;
}

std::optional<TFrameNode> ParseFrameset(std::string_view html) {
  std::vector<TFrameNode> open;
  std::optional<TFrameNode> outer;
  int ignored = 0;  // framesets open below the deepest one kept
  auto closeOne = [&] {
    TFrameNode done = std::move(open.back());
    open.pop_back();
    if (open.empty())
      outer = std::move(done);
    else
      open.back().Children.push_back(std::move(done));
  };
  ForEachTag(html, [&](const TTag& tag) {
    if (tag.Name == "frameset") {
      if (tag.Closing) {
        if (ignored > 0)
          --ignored;
        else if (!open.empty())
          closeOne();
        return !outer;
      }
      if (open.size() == kMaxFrameNesting) {
        ++ignored;
        return true;
      }
      TFrameNode set;
      set.IsFrameset = true;
      if (auto rows = tag.Attribute("rows")) set.Rows = ParseFrameSizes(*rows);
      if (auto cols = tag.Attribute("cols")) set.Cols = ParseFrameSizes(*cols);
      open.push_back(std::move(set));
    } else if (tag.Name == "frame" && !tag.Closing && !open.empty() && ignored == 0) {
      TFrameNode frame;
      frame.Name = Trim(tag.Attribute("name").value_or(""));
      frame.Src = Trim(tag.Attribute("src").value_or(""));
      open.back().Children.push_back(std::move(frame));
    }
    return true;
  });
  while (!open.empty() && !outer) closeOne();  // a page that never closes its frameset
  return outer;
}

std::vector<TFrameRect> LayOutFrames(const TFrameNode& set, int width, int height) {
  std::vector<TFrameRect> frames;
  LayOut(set, 0, 0, std::max(width, 0), std::max(height, 0), frames);
  return frames;
}

std::string LinkTarget(std::string_view html, std::string_view href) {
  const std::string wanted = Trim(href);
  std::string baseTarget;
  std::optional<std::string> linkTarget;
  ForEachTag(html, [&](const TTag& tag) {
    if (tag.Closing) return true;
    if (tag.Name == "base" && baseTarget.empty()) baseTarget = Trim(tag.Attribute("target").value_or(""));
    if (tag.Name == "a" && !linkTarget && Trim(tag.Attribute("href").value_or("\x01")) == wanted)
      linkTarget = Trim(tag.Attribute("target").value_or(""));
    return true;
  });
  return linkTarget && !linkTarget->empty() ? *linkTarget : baseTarget;
}
