#pragma once
// Opening an address with the desktop (the browser, the mail client). Only web
// and mail addresses are ever handed over: settings files and servers are not
// trusted to start programs or open local files.
#include <string>
#include <string_view>

// http://, https:// (with a host) or mailto: (with an address), the scheme in any
// case, and no control characters or blanks.
bool IsOpenableUrl(std::string_view url);

class IShellOpener {
 public:
  virtual ~IShellOpener() = default;
  virtual bool OpenUrl(const std::string& url) = 0;
};

// The opener in use (null until the program or a test installs one).
IShellOpener* ShellOpener();
void SetShellOpener(IShellOpener* opener);

// Hands `url` to the opener when it is an openable address; false otherwise or
// when the opener failed.
bool ShellOpen(std::string_view url);
