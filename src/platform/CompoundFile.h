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
#include "platform/FileResult.h"

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
  // The whole compound file, or CannotWrite naming `file` (the library's words,
  // or the module missing, in Detail).
  TFileResult<std::vector<std::uint8_t>> Build(const fs::path& file = {}) const;
  // Builds and writes atomically: on failure the old file stays as it was.
  TFileResult<> Save(const fs::path& path) const;

 private:
  std::vector<TCompoundStream> streams_;
};

class TCompoundFileReader {
 public:
  ~TCompoundFileReader();
  TCompoundFileReader(const TCompoundFileReader&) = delete;
  TCompoundFileReader& operator=(const TCompoundFileReader&) = delete;

  // The reader, or why not: the file missing or unreadable, or Damaged (the
  // library's words in Detail) when it is no compound file. `file` names the
  // bytes' file in the error.
  using TOpened = TFileResult<std::unique_ptr<TCompoundFileReader>>;
  static TOpened Open(const fs::path& path);
  static TOpened FromMemory(std::vector<std::uint8_t> bytes, const fs::path& file = {});
  // Read where the bytes lie (a file a sector at a time, never whole, unless
  // it is one only the library behind the module reads).
  static TOpened FromSource(std::unique_ptr<TByteSource> source, const fs::path& file = {});

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
  static TOpened Finish(std::unique_ptr<Impl> impl, const fs::path& file);
  std::unique_ptr<Impl> impl_;
};
