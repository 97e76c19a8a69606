#include "shell/HtmlForm.h"

#include <utility>

#include "platform/Text.h"

namespace {

constexpr std::string_view kLinkPrefix = "form:";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// The few entities a name or value may carry in a page.
std::string DecodeEntities(std::string_view text) {
  static constexpr std::pair<std::string_view, char> kEntities[] = {
      {"&amp;", '&'}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&#39;", '\''}, {"&apos;", '\''}};
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    bool decoded = false;
    for (const auto& [entity, c] : kEntities)
      if (text.substr(i, entity.size()) == entity) {
        out += c;
        i += entity.size();
        decoded = true;
        break;
      }
    if (!decoded) out += text[i++];
  }
  return out;
}

struct TAttribute {
  std::string Name;  // lower case
  std::string Value;
};

// The attributes of a tag's inside (after "<input", before ">").
std::vector<TAttribute> Attributes(std::string_view inside) {
  std::vector<TAttribute> attributes;
  std::size_t i = 0;
  while (i < inside.size()) {
    while (i < inside.size() && (IsBlank(inside[i]) || inside[i] == '/')) ++i;
    const std::size_t nameStart = i;
    while (i < inside.size() && !IsBlank(inside[i]) && inside[i] != '=' && inside[i] != '/') ++i;
    if (i == nameStart) break;
    TAttribute attribute{LowerAscii(inside.substr(nameStart, i - nameStart)), {}};
    while (i < inside.size() && IsBlank(inside[i])) ++i;
    if (i < inside.size() && inside[i] == '=') {
      ++i;
      while (i < inside.size() && IsBlank(inside[i])) ++i;
      if (i < inside.size() && (inside[i] == '"' || inside[i] == '\'')) {
        const char quote = inside[i++];
        const std::size_t close = inside.find(quote, i);
        const std::size_t end = close == std::string_view::npos ? inside.size() : close;
        attribute.Value = DecodeEntities(inside.substr(i, end - i));
        i = end == inside.size() ? end : end + 1;
      } else {
        const std::size_t start = i;
        while (i < inside.size() && !IsBlank(inside[i])) ++i;
        attribute.Value = DecodeEntities(inside.substr(start, i - start));
      }
    }
    attributes.push_back(std::move(attribute));
  }
  return attributes;
}

// Where the tag that starts at `open` ends (one past its ">"), quotes respected.
std::size_t TagEnd(std::string_view html, std::size_t open) {
  char quote = 0;
  for (std::size_t i = open + 1; i < html.size(); ++i) {
    if (quote) {
      if (html[i] == quote) quote = 0;
    } else if (html[i] == '"' || html[i] == '\'') {
      quote = html[i];
    } else if (html[i] == '>') {
      return i + 1;
    }
  }
  return html.size();
}

std::optional<THtmlControl> ControlOfTag(std::string_view inside) {
  THtmlControl control;
  std::string type;
  bool hasValue = false;
  for (const TAttribute& a : Attributes(inside)) {
    if (a.Name == "type") {
      type = LowerAscii(Trim(a.Value));
    } else if (a.Name == "name") {
      control.Name = a.Value;
    } else if (a.Name == "value") {
      control.Value = a.Value;
      hasValue = true;
    } else if (a.Name == "checked") {
      control.Checked = true;
    }
  }
  if (type == "radio")
    control.Kind = THtmlControl::TKind::Radio;
  else if (type != "checkbox")
    return std::nullopt;
  if (!hasValue) control.Value = "on";
  control.DefaultChecked = control.Checked;
  return control;
}

}  // namespace

void THtmlForm::Load(std::string_view html) {
  Clear();
  std::string pending;
  std::size_t i = 0;
  while (i < html.size()) {
    const std::size_t open = html.find('<', i);
    if (open == std::string_view::npos) break;
    pending += html.substr(i, open - i);
    if (html.substr(open, 4) == "<!--") {
      const std::size_t close = html.find("-->", open + 4);
      const std::size_t end = close == std::string_view::npos ? html.size() : close + 3;
      pending += html.substr(open, end - open);
      i = end;
      continue;
    }
    const std::size_t end = TagEnd(html, open);
    const std::string_view tag = html.substr(open, end - open);
    std::optional<THtmlControl> control;
    if (tag.size() > 6 && EqualsNoCase(tag.substr(1, 5), "input") && (IsBlank(tag[6]) || tag[6] == '/'))
      control = ControlOfTag(tag.substr(6, tag.size() - 6 - (tag.back() == '>' ? 1 : 0)));
    if (control) {
      text_.push_back(std::move(pending));
      pending.clear();
      controls_.push_back(std::move(*control));
    } else {
      pending += tag;
    }
    i = end;
  }
  if (i < html.size()) pending += html.substr(i);
  text_.push_back(std::move(pending));
}

std::string THtmlForm::Render() const {
  if (text_.empty()) return {};
  std::string html = text_[0];
  for (std::size_t n = 0; n < controls_.size(); ++n) {
    const THtmlControl& c = controls_[n];
    const bool radio = c.Kind == THtmlControl::TKind::Radio;
    // Ballot boxes and circles: marks every font the desktop has can draw.
    const char* mark = radio ? (c.Checked ? "\u25C9" : "\u25CB") : (c.Checked ? "\u2611" : "\u2610");
    html += "<a href=\"" + std::string(kLinkPrefix) + std::to_string(n) +
            "\" style=\"text-decoration:none; font-size:large\">" + mark + "</a>";
    html += text_[n + 1];
  }
  return html;
}

bool THtmlForm::Click(std::size_t index) {
  if (index >= controls_.size()) return false;
  THtmlControl& clicked = controls_[index];
  if (clicked.Kind == THtmlControl::TKind::CheckBox) {
    clicked.Checked = !clicked.Checked;
    return true;
  }
  if (clicked.Checked) return false;
  for (THtmlControl& other : controls_)
    if (other.Kind == THtmlControl::TKind::Radio && other.Name == clicked.Name) other.Checked = false;
  clicked.Checked = true;
  return true;
}

void THtmlForm::SetChecked(std::size_t index, bool checked) {
  if (index < controls_.size()) controls_[index].Checked = checked;
}

void THtmlForm::Reset() {
  for (THtmlControl& c : controls_) c.Checked = c.DefaultChecked;
}

std::optional<std::size_t> THtmlForm::ControlOfLink(std::string_view link) const {
  if (!link.starts_with(kLinkPrefix)) return std::nullopt;
  const std::optional<int> n = ParseInt(link.substr(kLinkPrefix.size()));
  if (!n || *n < 0 || std::size_t(*n) >= controls_.size()) return std::nullopt;
  return std::size_t(*n);
}
