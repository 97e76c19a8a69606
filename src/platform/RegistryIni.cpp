#include "platform/RegistryIni.h"

#include <cstdlib>
#include <system_error>

#include "platform/IniFile.h"

fs::path RegistryFile() {
  const fs::path config = UserConfigHome();
  return config.empty() ? fs::path() : config / "Tressary" / "registry.ini";
}

std::string ReadRegistryString(std::string_view keyPath, std::string_view name, std::string_view fallback) {
  const fs::path file = RegistryFile();
  std::error_code error;
  if (file.empty() || !fs::is_regular_file(file, error)) return std::string(fallback);
  const TIniFile registry(file, false);
  return registry.ReadString(keyPath, name, fallback);
}
