#include "support/ReceivedMail.h"

#include <random>
#include <sstream>

namespace {
std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}
}  // namespace

std::string TReceivedMail::Value(const std::string& key) const {
  const auto found = values.find(key);
  return found == values.end() ? std::string() : found->second;
}

TReceivedMail ReadReceivedMail(const fs::path& emlFile) {
  TReceivedMail mail;
  std::string output;
  const std::string script = (SourceDir() / "tests/support/mail/read_mail.py").string();
  if (RunCommand("/usr/bin/python3 '" + script + "' '" + emlFile.string() + "'", &output) != 0) return mail;
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    const std::size_t tab = line.find('\t');
    if (tab != std::string::npos) mail.values[line.substr(0, tab)] = FromHex(line.substr(tab + 1));
  }
  mail.ok = true;
  return mail;
}

std::string RandomBytes(std::size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::string data(count, '\0');
  for (char& c : data) c = static_cast<char>(random() & 255);
  return data;
}

std::string WithUnixLineBreaks(std::string text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}
