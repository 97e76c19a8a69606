#include "shell/MainSettings.h"

#include <optional>

#include "platform/Text.h"

namespace {

int NumberIn(std::string_view text, int low, int high, int fallback) {
  const std::optional<int> n = ParseInt(Trim(text));
  return n && *n >= low && *n <= high ? *n : fallback;
}

}  // namespace

int MailPortFromEdit(std::string_view text) { return NumberIn(text, 1, 65535, kDefaultMailPort); }

int MarginFromEdit(std::string_view text, int fallback) { return NumberIn(text, 0, kMaxMargin, fallback); }

TMainSettings& ProgramSettings() {
  static TMainSettings settings;
  return settings;
}
