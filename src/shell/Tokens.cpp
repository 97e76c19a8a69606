#include "shell/Tokens.h"

#include <algorithm>

#include "platform/Text.h"

bool IsTokenDelimiter(char c) {
  static constexpr std::string_view kDelimiters = " ,=':;[]{}()<>/\\";
  return kDelimiters.find(c) != std::string_view::npos;
}

TToken GetToken(std::string_view line) {
  TToken token;
  std::size_t i = 0;
  while (i < line.size() && line[i] != '\'' && IsTokenDelimiter(line[i])) ++i;
  if (i >= line.size()) return token;
  token.Start = int(i) + 1;
  if (line[i] == '\'') {
    std::size_t close = line.find('\'', i + 1);
    std::size_t end = close == std::string_view::npos ? line.size() : close + 1;
    std::size_t textEnd = close == std::string_view::npos ? line.size() : close;
    token.Text = std::string(line.substr(i + 1, textEnd - i - 1));
    token.Finish = int(end);
    return token;
  }
  std::size_t j = i;
  while (j < line.size() && !IsTokenDelimiter(line[j])) ++j;
  token.Text = std::string(line.substr(i, j - i));
  token.Finish = int(j);
  return token;
}

void DeleteToken(std::string& line, int finish) {
  std::size_t n = std::min<std::size_t>(std::max(finish, 0), line.size());
  line = Trim(std::string_view(line).substr(n));
}
