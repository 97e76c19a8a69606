#pragma once
// Compound files (structured storage): a root storage holding named streams.
// Only what work containers need: streams directly in the root, each written
// whole. Writing builds the file in memory and saves it atomically; reading never
// writes, so a file on a read-only medium opens.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ByteSource.h"

namespace fs = std::filesystem;

// 1 to 31 characters, none of "/ \ : !" and no control characters.
bool IsValidStreamName(std::string_view name);

// A stream as written: its name and its bytes.
struct TCompoundStream {
  std::string name;
  std::vector<std::uint8_t> data;
};

class TCompoundFileWriter {
 public:
  // Adds a stream; false when the name is invalid or already used (ignoring case).
  bool AddStream(std::string_view name, std::span<const std::uint8_t> data);
  bool AddStream(std::string_view name, std::string_view text);
  // The whole compound file, or nullopt (and `error`) when it cannot be built.
  std::optional<std::vector<std::uint8_t>> Build(std::string* error = nullptr) const;
  // Builds and writes atomically: on failure the old file stays as it was.
  bool Save(const fs::path& path, std::string* error = nullptr) const;

 private:
  std::vector<TCompoundStream> streams_;
};

class TCompoundFileReader {
 public:
  ~TCompoundFileReader();
  TCompoundFileReader(const TCompoundFileReader&) = delete;
  TCompoundFileReader& operator=(const TCompoundFileReader&) = delete;

  // nullptr (and `error`) when the file cannot be read or is not a compound file.
  static std::unique_ptr<TCompoundFileReader> Open(const fs::path& path, std::string* error = nullptr);
  static std::unique_ptr<TCompoundFileReader> FromMemory(std::vector<std::uint8_t> bytes,
                                                         std::string* error = nullptr);
  // Read where the bytes lie (a file a sector at a time, never whole, unless
  // it is one only the library behind the module reads).
  static std::unique_ptr<TCompoundFileReader> FromSource(std::unique_ptr<TByteSource> source,
                                                         std::string* error = nullptr);

  // Names of the streams in the root (storages are left out).
  std::vector<std::string> StreamNames() const;
  bool HasStream(std::string_view name) const;
  // The whole stream named `name` (ignoring case), or nullopt when it is missing,
  // larger than `maxBytes`, or cannot be read.
  std::optional<std::vector<std::uint8_t>> ReadStream(std::string_view name,
                                                      std::uint64_t maxBytes = std::uint64_t(1) << 30) const;
  // Where the same lies in the file (valid while the reader lives), to be read
  // a part at a time; nullopt also when it does not lie in one piece.
  std::optional<TByteRange> StreamRange(std::string_view name, std::uint64_t maxBytes) const;

 private:
  struct Impl;
  explicit TCompoundFileReader(std::unique_ptr<Impl> impl);
  static std::unique_ptr<TCompoundFileReader> Finish(std::unique_ptr<Impl> impl, std::string* error);
  std::unique_ptr<Impl> impl_;
};
