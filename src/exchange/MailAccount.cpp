#include "exchange/MailAccount.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/RegistryIni.h"
#include "platform/Numeric.h"
#include "platform/Text.h"
#include "platform/TextFile.h"

namespace {

// A hostile or mistaken settings file must not make us read gigabytes.
constexpr std::uintmax_t kMaxSettingsFile = 32u << 20;

std::string ReadText(const fs::path& file) {
  std::error_code error;
  if (!fs::is_regular_file(file, error)) return {};
  const auto bytes = ReadFileBytes(file, kMaxSettingsFile);
  return bytes ? DecodeText(*bytes) : std::string();
}

fs::path HomeFolder() {
  const char* home = std::getenv("HOME");
  return home && *home ? fs::path(home) : fs::path();
}

void AppendUtf8(std::string& out, unsigned code) {
  if (code < 0x80) {
    out += char(code);
  } else if (code < 0x800) {
    out += char(0xC0 | (code >> 6));
    out += char(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += char(0xE0 | (code >> 12));
    out += char(0x80 | ((code >> 6) & 0x3F));
    out += char(0x80 | (code & 0x3F));
  } else {
    out += char(0xF0 | (code >> 18));
    out += char(0x80 | ((code >> 12) & 0x3F));
    out += char(0x80 | ((code >> 6) & 0x3F));
    out += char(0x80 | (code & 0x3F));
  }
}

// Reads the preference lines of a Mozilla prefs.js: user_pref("name", value);
// with a value that is a quoted string, a number or true/false. Anything else on
// a line ends that line.
class TPrefsReader {
 public:
  explicit TPrefsReader(std::string_view text) : text_(text) {}

  std::map<std::string, std::string> Read() {
    std::map<std::string, std::string> prefs;
    while (pos_ < text_.size()) {
      const std::size_t found = text_.find("user_pref(", pos_);
      if (found == std::string_view::npos) break;
      pos_ = found + 10;
      std::string name, value;
      if (!String(name) || !Expect(',') || !Value(value) || !Expect(')')) continue;
      prefs[name] = value;
    }
    return prefs;
  }

 private:
  void Blanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }
  bool Expect(char c) {
    Blanks();
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  bool Hex4(unsigned& code) {
    if (pos_ + 4 > text_.size()) return false;
    const auto value = ParseInt("0x" + std::string(text_.substr(pos_, 4)));
    if (!value || *value < 0) return false;
    code = unsigned(*value);
    pos_ += 4;
    return true;
  }
  bool String(std::string& out) {
    Blanks();
    if (pos_ >= text_.size() || text_[pos_] != '"') return false;
    ++pos_;
    while (pos_ < text_.size()) {
      const char c = text_[pos_++];
      if (c == '"') return true;
      if (c == '\n') return false;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= text_.size()) return false;
      const char e = text_[pos_++];
      if (e == 'n') out += '\n';
      else if (e == 'r') out += '\r';
      else if (e == 't') out += '\t';
      else if (e == 'u') {
        unsigned code = 0;
        if (!Hex4(code)) return false;
        unsigned low = 0;
        // A surrogate pair is one character.
        if (code >= 0xD800 && code < 0xDC00 && text_.substr(pos_, 2) == "\\u") {
          pos_ += 2;
          if (!Hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
          code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        AppendUtf8(out, code);
      } else {
        out += e;
      }
    }
    return false;
  }
  bool Value(std::string& out) {
    Blanks();
    if (pos_ < text_.size() && text_[pos_] == '"') return String(out);
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != ')' && text_[pos_] != '\n') ++pos_;
    out = Trim(text_.substr(start, pos_ - start));
    return !out.empty();
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

std::string Pref(const std::map<std::string, std::string>& prefs, const std::string& name) {
  const auto found = prefs.find(name);
  return found == prefs.end() ? std::string() : found->second;
}

// "host" or "host:port" from a host and a port text (none when empty or 0).
std::string HostWithPort(const std::string& host, const std::string& port) {
  if (host.empty() || port.empty() || port == "0") return host;
  return host + ":" + port;
}

// The folder of Thunderbird's default profile, or empty.
fs::path ThunderbirdProfile() {
  const fs::path home = HomeFolder();
  if (home.empty()) return {};
  for (const fs::path& folder : {home / ".thunderbird", home / ".mozilla-thunderbird",
                                home / "snap/thunderbird/common/.thunderbird",
                                home / ".var/app/org.mozilla.Thunderbird/.thunderbird"}) {
    const std::string text = ReadText(folder / "profiles.ini");
    if (text.empty()) continue;
    const TIniFile ini = TIniFile::FromText(text);
    std::string path;
    bool relative = true;
    // The profile a newer Thunderbird starts with is its install's default; an
    // older one marks it in its profile section.
    for (const std::string& section : ini.ReadSections())
      if (StartsWithNoCase(section, "Install") && path.empty()) path = ini.ReadString(section, "Default", "");
    std::string firstProfile;
    for (const std::string& section : ini.ReadSections()) {
      if (!StartsWithNoCase(section, "Profile")) continue;
      const std::string profilePath = ini.ReadString(section, "Path", "");
      if (firstProfile.empty()) firstProfile = section;
      const bool chosen = path.empty() ? ini.ReadString(section, "Default", "") == "1" : profilePath == path;
      if (chosen) {
        path = profilePath;
        relative = ini.ReadString(section, "IsRelative", "1") == "1";
        break;
      }
    }
    if (path.empty() && !firstProfile.empty()) {
      path = ini.ReadString(firstProfile, "Path", "");
      relative = ini.ReadString(firstProfile, "IsRelative", "1") == "1";
    }
    if (path.empty()) continue;
    return relative && !fs::path(path).is_absolute() ? folder / path : fs::path(path);
  }
  return {};
}

void AskThunderbird(TMailAccount& account) {
  const fs::path profile = ThunderbirdProfile();
  const auto prefs = TPrefsReader(profile.empty() ? std::string() : ReadText(profile / "prefs.js")).Read();
  const std::string accountKey = Pref(prefs, "mail.accountmanager.defaultaccount");
  const std::string identity = Trim(Field(Pref(prefs, "mail.account." + accountKey + ".identities"), 1, ','));
  account.Name = Pref(prefs, "mail.identity." + identity + ".fullName");
  account.Address = Pref(prefs, "mail.identity." + identity + ".useremail");
  std::string smtp = Pref(prefs, "mail.identity." + identity + ".smtpServer");
  if (smtp.empty()) smtp = Pref(prefs, "mail.smtp.defaultserver");
  const std::string host = Pref(prefs, "mail.smtpserver." + smtp + ".hostname");
  account.Server = smtp.empty() ? std::string() : HostWithPort(host, Pref(prefs, "mail.smtpserver." + smtp + ".port"));
}

// A value of a GLib key file: "\s", "\n", "\t", "\r" and "\\" escapes undone.
std::string KeyFileValue(const TIniFile& file, std::string_view section, std::string_view key) {
  const std::string raw = file.ReadString(section, key, "");
  std::string value;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\\' || i + 1 == raw.size()) {
      value += raw[i];
      continue;
    }
    const char e = raw[++i];
    value += e == 's' ? ' ' : e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
  }
  return value;
}

std::optional<TIniFile> EvolutionSource(const fs::path& folder, const std::string& uid) {
  // A uid names a file in the folder, never a path elsewhere.
  if (uid.empty() || uid.find('/') != std::string::npos || uid == "." || uid == "..") return std::nullopt;
  const std::string text = ReadText(folder / (uid + ".source"));
  if (text.empty()) return std::nullopt;
  return TIniFile::FromText(text);
}

bool Enabled(const TIniFile& source) { return !EqualsNoCase(KeyFileValue(source, "Data Source", "Enabled"), "false"); }

void AskEvolution(TMailAccount& account) {
  account = TMailAccount();
  const fs::path config = UserConfigHome();
  if (config.empty()) return;
  const fs::path folder = config / "evolution" / "sources";
  std::error_code error;
  std::vector<fs::path> files;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    if (it->path().extension() == ".source") files.push_back(it->path());
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    const auto source = EvolutionSource(folder, file.stem().string());
    if (!source || !source->SectionExists("Mail Account") || !Enabled(*source)) continue;
    const auto identity = EvolutionSource(folder, KeyFileValue(*source, "Mail Account", "IdentityUid"));
    if (!identity || !Enabled(*identity)) continue;
    const std::string address = KeyFileValue(*identity, "Mail Identity", "Address");
    if (address.empty()) continue;
    account.Name = KeyFileValue(*identity, "Mail Identity", "Name");
    account.Address = address;
    if (const auto transport = EvolutionSource(folder, KeyFileValue(*identity, "Mail Submission", "TransportUid")))
      account.Server = HostWithPort(KeyFileValue(*transport, "Authentication", "Host"),
                                    KeyFileValue(*transport, "Authentication", "Port"));
    return;
  }
}

void AskInternetAccountManager(TMailAccount& account) {
  const std::string name =
      ReadRegistryString("Software\\Microsoft\\Internet Account Manager", "Default Mail Account", "");
  const std::string key = "Software\\Microsoft\\Internet Account Manager\\Accounts\\" + name;
  account.Name = ReadRegistryString(key, "SMTP Display Name", "");
  account.Address = ReadRegistryString(key, "SMTP Email Address", "");
  account.Server = ReadRegistryString(key, "SMTP Server", "");
}

void AskInternetMailAndNews(TMailAccount& account) {
  const std::string key = "Software\\Microsoft\\Internet Mail and News\\Mail";
  account.Name = ReadRegistryString(key, "Sender Name", "");
  account.Address = ReadRegistryString(key, "Sender EMail", "");
  account.Server = ReadRegistryString(key, "Default SMTP Server", "");
}

}  // namespace

void SplitServerPort(std::string_view text, std::string& server, int& port) {
  port = kDefaultSmtpPort;
  const std::size_t colon = text.find(':');
  server = std::string(text.substr(0, colon));
  if (colon == std::string_view::npos) return;
  const std::string_view digits = text.substr(colon + 1, 5);
  const bool number = !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
  const int value = number ? ParseIntDef(digits, 0) : 0;
  if (IsPortNumber(value)) port = value;
}

void GetDefaultMailAccount(std::string& Name, std::string& Address, std::string& Server, int& Port) {
  TMailAccount account;
  for (void (*ask)(TMailAccount&) : {AskThunderbird, AskEvolution, AskInternetAccountManager, AskInternetMailAndNews}) {
    ask(account);
    SplitServerPort(std::string(account.Server), account.Server, account.Port);
    if (!account.Server.empty()) break;
  }
  Name = account.Name;
  Address = account.Address;
  Server = account.Server;
  Port = account.Port;
}

TMailAccount DefaultMailAccount() {
  TMailAccount account;
  GetDefaultMailAccount(account.Name, account.Address, account.Server, account.Port);
  return account;
}

TMailAccount SendingAccount(const TMailAccount& found, const std::string& settingsServer, int settingsPort,
                            const std::string& settingsFromAddress) {
  TMailAccount account = found;
  if (!Trim(settingsServer).empty()) {
    account.Server = Trim(settingsServer);
    account.Port = IsPortNumber(settingsPort) ? settingsPort : kDefaultSmtpPort;
  }
  if (Trim(account.Address).empty()) account.Address = Trim(settingsFromAddress);
  return account;
}
