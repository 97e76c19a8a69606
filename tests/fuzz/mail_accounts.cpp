// Other mail programs' settings are files the program does not own: any
// profiles.ini, prefs.js and account sources must give an account (maybe an
// empty one) whose server is a host without a port and whose port is valid.
//
// The input holds, split by FuzzParts: profiles.ini, the prefs.js of profile
// folder "p", then Evolution sources "0.source", "1.source" ...
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FuzzFile.h"
#include "exchange/MailAccount.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace fs = std::filesystem;
  const fs::path home = FuzzFolder() / "home";
  static const bool once = [&] {
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    return true;
  }();
  (void)once;
  fs::remove_all(home);
  const std::vector<std::string_view> parts = FuzzParts(data, size);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i == 0) FuzzWriteFile(home / ".thunderbird" / "profiles.ini", parts[i]);
    else if (i == 1) FuzzWriteFile(home / ".thunderbird" / "p" / "prefs.js", parts[i]);
    else FuzzWriteFile(home / ".config" / "evolution" / "sources" / (std::to_string(i - 2) + ".source"), parts[i]);
  }
  const TMailAccount account = DefaultMailAccount();
  if (account.Server.find(':') != std::string::npos || account.Port < 1 || account.Port > 65535) std::abort();
  return 0;
}
