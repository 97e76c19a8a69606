#pragma once
// The user's registry: an ini of ours in the user's configuration folder. A key
// path below HKEY_CURRENT_USER ("SOFTWARE\Tessaly\Tressary 5.10") is a section;
// its values are the section's keys.
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/ProgramFolders.h"  // UserConfigHome

namespace fs = std::filesystem;

// The registry file, <config>/Tressary/registry.ini (the configuration folder
// as XDG_CONFIG_HOME or HOME names it).
fs::path RegistryFile();

// The string value `name` under `keyPath`, or `fallback` when the file, the key or
// the value is missing.
std::string ReadRegistryString(std::string_view keyPath, std::string_view name, std::string_view fallback);
