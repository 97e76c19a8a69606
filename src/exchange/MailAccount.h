#pragma once
// The sender and SMTP server the program mails with when the user set none:
// borrowed from the settings of the mail programs on the machine (Thunderbird's
// default profile, Evolution's accounts, then the registry stand-in), else taken
// from the program's own settings.
#include <string>
#include <string_view>

inline constexpr int kDefaultSmtpPort = 25;

struct TMailAccount {
  std::string Name;
  std::string Address;
  std::string Server;
  int Port = kDefaultSmtpPort;
  bool operator==(const TMailAccount&) const = default;
};

// Splits a server text of a host, optionally ":" and a port: the port is the
// number of the up to five characters after the first ":" (25 when they are not
// a port number), the server the text before it.
void SplitServerPort(std::string_view text, std::string& server, int& port);

// Asks the sources in order, each only while no server was found; every source
// asked overwrites name and address (possibly with empty texts). Missing files,
// keys and values read as empty; nothing raises.
//   1. Thunderbird: the default profile of profiles.ini, its default account's
//      first identity and that identity's SMTP server (prefs.js);
//   2. Evolution: the first enabled mail account (by source file name) whose
//      identity has an address, with its transport's host and port;
//   3. the registry stand-in: "Software\Microsoft\Internet Account Manager"
//      (the default account's "SMTP ..." values), then
//      "Software\Microsoft\Internet Mail and News\Mail".
// The folders come from $HOME and $XDG_CONFIG_HOME.
void GetDefaultMailAccount(std::string& Name, std::string& Address, std::string& Server, int& Port);
TMailAccount DefaultMailAccount();

// The account a mail goes out with: the settings' server and port when one is
// set, else the lookup's; the lookup's sender name; its sender address, else the
// settings' one.
TMailAccount SendingAccount(const TMailAccount& found, const std::string& settingsServer, int settingsPort,
                            const std::string& settingsFromAddress);
