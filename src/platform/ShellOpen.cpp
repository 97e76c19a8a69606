#include "platform/ShellOpen.h"

#include "platform/Text.h"

namespace {
// The desktop's opener: the program's run installs it for its whole life (tests
// their own); one desktop serves every window of the process.
IShellOpener* gOpener = nullptr;
}

bool IsOpenableUrl(std::string_view url) {
  for (unsigned char c : url)
    if (c <= ' ' || c == 0x7F) return false;
  for (std::string_view scheme : {"http://", "https://"})
    if (StartsWithNoCase(url, scheme)) {
      const std::string_view rest = url.substr(scheme.size());
      return !rest.empty() && rest.front() != '/';
    }
  if (StartsWithNoCase(url, "mailto:")) return url.size() > 7;
  return false;
}

IShellOpener* ShellOpener() { return gOpener; }
void SetShellOpener(IShellOpener* opener) { gOpener = opener; }

bool ShellOpen(std::string_view url) {
  if (!gOpener || !IsOpenableUrl(url)) return false;
  return gOpener->OpenUrl(std::string(url));
}
