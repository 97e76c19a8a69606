#include "shell/MainSettings.h"

#include <optional>

#include "platform/Numeric.h"
#include "platform/Text.h"

int MailPortFromEdit(std::string_view text) {
  const std::optional<int> n = ParseInt(Trim(text));
  return n && IsPortNumber(*n) ? *n : kDefaultMailPort;
}

int MarginFromEdit(std::string_view text, int fallback) {
  const std::optional<int> n = ParseInt(Trim(text));
  return n && *n >= 0 && *n <= kMaxMargin ? *n : fallback;
}
