#include "platform/ProgramFolders.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/FileIO.h"
#include "platform/Paths.h"

namespace {
// Decided once by the start-up (SetProgramFolders) for the program's run; every
// layer builds and resolves its file paths from them, so they are the process's.
fs::path gInstalled;   // the installation, as SetProgramFolders was given it
fs::path gUserData;    // empty: the installation takes the writes
fs::path gUserConfig;

fs::path Normal(const fs::path& folder) {
  fs::path normal = folder.lexically_normal();
  return normal.has_filename() || !normal.has_parent_path() ? normal : normal.parent_path();
}

fs::path XdgFolder(const char* variable, const char* belowHome) {
  if (const char* xdg = std::getenv(variable); xdg && *xdg == '/') return xdg;
  if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home) / belowHome;
  return {};
}

bool Redirected(const fs::path& programFolder) {
  return !gUserData.empty() && Normal(programFolder) == gInstalled;
}

// A copy made whole or not at all, with the user's own mode rather than the
// installation's read-only one.
bool SeedCopy(const fs::path& from, const fs::path& to) {
  const auto bytes = ReadFileBytes(from);
  return bytes && WriteFileAtomic(to, *bytes);
}

bool EndsInSeparator(std::string_view path) { return !path.empty() && (path.back() == '\\' || path.back() == '/'); }
}  // namespace

fs::path UserConfigHome() { return XdgFolder("XDG_CONFIG_HOME", ".config"); }
fs::path UserDataHome() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }

bool CanWriteFolder(const fs::path& folder) {
  int fd = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (fd >= 0) {
    close(fd);
    return true;
  }
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return false;
  // No unnamed files on this file system: a named one, removed at once.
  std::string probe = (folder / ".tressary-probe-XXXXXX").string();
  fd = mkstemp(probe.data());
  if (fd < 0) return false;
  close(fd);
  unlink(probe.c_str());
  return true;
}

void SetProgramFolders(const fs::path& installed) {
  SetProgramFolders(installed, installed.empty() || CanWriteFolder(installed));
}

void SetProgramFolders(const fs::path& installed, bool installedWritable) {
  gInstalled = installed.empty() ? fs::path() : Normal(installed);
  gUserData.clear();
  gUserConfig.clear();
  if (installedWritable) return;
  const fs::path data = UserDataHome(), config = UserConfigHome();
  if (data.empty() || config.empty()) return;  // nowhere else: writes fail and say why
  gUserData = data / "tressary";
  gUserConfig = config / "tressary";
}

fs::path UserProgramFolder() { return gUserData; }

std::string InstallationFolder() {
  std::string folder = gInstalled.string();
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

fs::path ProgramFileForReading(const fs::path& programFolder, std::string_view storedPath) {
  if (Redirected(programFolder)) {
    std::error_code ec;
    const fs::path own = ResolvePath(gUserData, storedPath);
    if (fs::exists(own, ec)) return own;
  }
  return ResolvePath(programFolder, storedPath);
}

fs::path ProgramFileForWriting(const fs::path& programFolder, std::string_view storedPath) {
  std::error_code ec;
  if (!Redirected(programFolder)) {
    const fs::path path = ResolvePath(programFolder, storedPath);
    if (EndsInSeparator(storedPath)) fs::create_directories(path, ec);
    return path;
  }
  const fs::path own = ResolvePath(gUserData, storedPath);
  if (EndsInSeparator(storedPath)) {
    fs::create_directories(own, ec);
    return own;
  }
  fs::create_directories(own.parent_path(), ec);
  const fs::path installed = ResolvePath(programFolder, storedPath);
  if (!fs::exists(own, ec) && fs::is_regular_file(installed, ec)) SeedCopy(installed, own);
  return own;
}

fs::path ProgramSettingsFile(const fs::path& programFolder, std::string_view name) {
  const fs::path installed = ResolvePath(programFolder, name);
  if (!Redirected(programFolder)) return installed;
  std::error_code ec;
  const fs::path own = gUserConfig / std::string(name);
  if (fs::is_regular_file(own, ec)) return own;
  fs::create_directories(gUserConfig, ec);
  return SeedCopy(installed, own) ? own : installed;
}
