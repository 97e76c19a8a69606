#pragma once
// Targets whose parser reads named files get the input written to files in a
// folder of this process's own.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

// This process's folder; nothing else writes there. In memory where the system
// has a memory file system: saves flush their files to the disk, which would
// make a target that installs files a hundred times slower.
inline const std::filesystem::path& FuzzFolder() {
  // Never destroyed: the exit handler below still needs it.
  static const std::filesystem::path& folder = *[] {
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec) && access("/dev/shm", W_OK) == 0
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    auto* path = new std::filesystem::path(base / ("tressary-fuzz-" + std::to_string(getpid())));
    std::filesystem::create_directories(*path);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(FuzzFolder(), ignored);
    });
    return path;
  }();
  return folder;
}

// Writes `data` to `file`, its folders created.
inline void FuzzWriteFile(const std::filesystem::path& file, std::string_view data) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc).write(data.data(), static_cast<std::streamsize>(data.size()));
}

inline std::filesystem::path FuzzInputFile(const std::uint8_t* data, std::size_t size, const std::string& name) {
  const std::filesystem::path file = FuzzFolder() / name;
  FuzzWriteFile(file, std::string_view(reinterpret_cast<const char*>(data), size));
  return file;
}

// Inputs that stand for several files hold them one after another, each ended
// by a line "%%" (the last needs none), so that seeds stay readable.
inline std::vector<std::string_view> FuzzParts(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\n%%\n", start)) != std::string_view::npos; start = end + 4)
    parts.push_back(text.substr(start, end - start + 1));
  parts.push_back(text.substr(start));
  return parts;
}

// Whether `file` lies inside `folder`, by their names alone.
inline bool FuzzInside(const std::filesystem::path& folder, const std::filesystem::path& file) {
  const std::filesystem::path relative = file.lexically_normal().lexically_relative(folder.lexically_normal());
  return !relative.empty() && *relative.begin() != ".." && !relative.is_absolute();
}
