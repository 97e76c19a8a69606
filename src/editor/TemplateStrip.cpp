#include "editor/TemplateStrip.h"

#include <optional>

#include "platform/Text.h"
#include "shell/Tokens.h"

namespace {

// The integers among the tokens of `text`, in order.
std::vector<int> IntegerTokens(std::string text) {
  std::vector<int> numbers;
  for (;;) {
    const TToken token = GetToken(text);
    if (token.Text.empty() && token.Finish == 0) break;
    if (const std::optional<int> n = ParseInt(token.Text)) numbers.push_back(*n);
    DeleteToken(text, token.Finish);
  }
  return numbers;
}

}  // namespace

TTemplateButtonsInfo ReadTemplateButtonsInfo(const std::function<std::string(std::string_view)>& value) {
  TTemplateButtonsInfo info;
  std::string names = value("FormMain.TemplateButtons");
  for (;;) {
    const TToken token = GetToken(names);
    if (token.Finish == 0) break;
    if (!token.Text.empty()) info.Names.push_back(token.Text);
    DeleteToken(names, token.Finish);
  }
  const std::vector<int> slots = IntegerTokens(value("FormMain.TemplateBtnShowPos"));
  for (std::size_t i = 0; i + 1 < slots.size(); i += 2) info.Slots.push_back({slots[i], slots[i + 1]});
  const std::vector<int> previews = IntegerTokens(value("FormMain.TemplatePreviewInfo"));
  for (std::size_t i = 0; i + 2 < previews.size(); i += 3)
    info.Previews.push_back({previews[i], previews[i + 1], previews[i + 2]});
  return info;
}

TPoint TemplateGridOf(const std::vector<TTemplatePreviewInfo>& previews, int typeNo) {
  TPoint grid{2, 4};
  for (const TTemplatePreviewInfo& p : previews)
    if (p.TypeNo == typeNo) {
      if (p.Columns > 0) grid.X = p.Columns;
      if (p.Rows > 0) grid.Y = p.Rows;
      break;
    }
  return grid;
}

std::string TemplateCaptionOfHint(std::string_view hint, std::string_view fallback) {
  if (hint.empty()) return std::string(fallback);
  std::string caption(hint.substr(0, hint.find('@')));
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '\r') {
      out += ' ';
      if (i + 1 < caption.size() && caption[i + 1] == '\n') ++i;
    } else if (caption[i] == '\n') {
      out += ' ';
    } else {
      out += caption[i];
    }
  }
  return out;
}

bool TTemplateStrip::Next() {
  if (first_ != -1 && buttonCount_ - slotCount_ <= first_) return false;
  ++first_;
  if (first_ > 0) prevPressed_ = false;
  nextPressed_ = buttonCount_ - slotCount_ - first_ < 1;
  return true;
}

bool TTemplateStrip::Prev() {
  if (first_ < 1) return false;
  --first_;
  prevPressed_ = first_ == 0;
  nextPressed_ = false;
  return true;
}

int TTemplateStrip::SlotOf(int button) const {
  if (first_ < 0 || button < first_ || button > first_ + slotCount_ - 1 || button >= buttonCount_) return -1;
  return button - first_;
}

int TAutoRepeat::Tick(bool stillPressed, const std::function<void(int button)>& step) {
  if (button_ < 0 || !stillPressed) {
    button_ = -1;
    return 0;
  }
  step(button_);
  return kRepeatInterval;
}
