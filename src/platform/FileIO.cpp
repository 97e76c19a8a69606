#include "platform/FileIO.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const fs::path& path, std::uintmax_t maxBytes) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  auto size = fs::file_size(path, ec);
  if (ec || size > maxBytes) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(size)))
    return std::nullopt;
  return data;
}

bool WriteFileAtomic(const fs::path& path, std::span<const std::uint8_t> data) {
  fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
  std::string pattern = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
  int fd = mkstemp(pattern.data());
  if (fd < 0) return false;
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n <= 0) ok = false;
    else done += static_cast<std::size_t>(n);
  }
  ok = ok && fsync(fd) == 0;
  // The temporary file is 0600; a saved file gets the usual mode.
  ok = ok && fchmod(fd, 0644) == 0;
  ok = (close(fd) == 0) && ok;
  if (ok) ok = std::rename(pattern.c_str(), path.c_str()) == 0;
  if (!ok) std::remove(pattern.c_str());
  return ok;
}

bool WriteFileAtomic(const fs::path& path, std::string_view text) {
  return WriteFileAtomic(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

fs::path ExecutableDir() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path() : exe.parent_path();
}

namespace {
std::once_flag tempOnce;
fs::path tempDir;

void RemoveTempDir() {
  std::error_code ec;
  if (!tempDir.empty()) fs::remove_all(tempDir, ec);
}
}  // namespace

fs::path PrivateTempDir() {
  std::call_once(tempOnce, [] {
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
    if (ec) base = "/tmp";
    std::string pattern = (base / "tressary-XXXXXX").string();
    if (mkdtemp(pattern.data())) {
      tempDir = pattern;
      std::atexit(RemoveTempDir);
    }
  });
  return tempDir;
}

fs::path NewTempFilePath(std::string_view suffix) {
  static std::atomic<unsigned> counter{0};
  return PrivateTempDir() / ("t" + std::to_string(counter++) + std::string(suffix));
}
