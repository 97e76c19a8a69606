#pragma once
// Targets whose parser reads a named file get the input written to one file of
// this process's own, under the system's temporary folder.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

inline std::filesystem::path FuzzInputFile(const std::uint8_t* data, std::size_t size, const std::string& name) {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / ("tressary-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  const std::filesystem::path file = folder / name;
  std::ofstream(file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                  static_cast<std::streamsize>(size));
  return file;
}
