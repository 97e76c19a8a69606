#pragma once
// Whole-file reading and atomic writing, the program folder and the private
// temporary folder of this run.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ByteBuffer.h"
#include "platform/FileResult.h"

namespace fs = std::filesystem;

// The whole regular file: NoSuchFile when nothing is there, else CannotRead with
// the system's cause (EFBIG above `maxBytes`, which caps what a hostile or
// mistaken file may make us allocate; EIO for a file cut short while read).
TFileResult<std::vector<std::uint8_t>> ReadFileBytes(const fs::path& path,
                                                     std::uintmax_t maxBytes = std::uintmax_t(1) << 31);
// The same into a buffer not cleared before the read, for large files.
TFileResult<ByteBuffer> ReadFileBuffer(const fs::path& path, std::uintmax_t maxBytes = std::uintmax_t(1) << 31);

// Writes into an unnamed file in the target's folder that takes the name only
// once it is whole (a rename over an old file): a save killed at any moment
// leaves the old file or the new one. On failure the old file is left as it was
// and the result tells why (CannotWrite with the errno; ELOOP for a loop of
// links). A replaced file keeps its mode (and owner, where the user may keep
// it); a new one gets 0666 less the umask. A symbolic link is saved through to the file it names. Where the file
// system cannot make unnamed files, a named temporary takes their place, and
// temporaries that killed saves of the same name left behind are removed.
// ETempFile::Named takes that way everywhere (tests of such file systems).
enum class ETempFile { UnnamedWherePossible, Named };
TFileResult<> WriteFileAtomic(const fs::path& path, std::span<const std::uint8_t> data,
                              ETempFile temp = ETempFile::UnnamedWherePossible);
TFileResult<> WriteFileAtomic(const fs::path& path, std::string_view text,
                              ETempFile temp = ETempFile::UnnamedWherePossible);
// Where a file made part by part goes (a large picture encoded row by row): parts
// appended in order, and bytes already written replaced in place (a header
// completed last). Each says false once writing failed.
class TFileWriter {
 public:
  virtual bool Append(std::span<const std::uint8_t> part) = 0;
  virtual bool Overwrite(std::uint64_t offset, std::span<const std::uint8_t> bytes) = 0;

 protected:
  ~TFileWriter() = default;
};
// A file made in memory.
class TMemoryFileWriter final : public TFileWriter {
 public:
  bool Append(std::span<const std::uint8_t> part) override {
    Bytes.insert(Bytes.end(), part.begin(), part.end());
    return true;
  }
  bool Overwrite(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
    if (offset > Bytes.size() || bytes.size() > Bytes.size() - offset) return false;
    std::copy(bytes.begin(), bytes.end(), Bytes.begin() + std::ptrdiff_t(offset));
    return true;
  }
  std::vector<std::uint8_t> Bytes;
};
// The same as WriteFileAtomic for a file `produce` writes part by part; it returns
// false to give up, and the old file is kept (CannotWrite with EIO, unless a write
// failed first).
using TFileProducer = std::function<bool(TFileWriter&)>;
TFileResult<> WriteFileAtomic(const fs::path& path, const TFileProducer& produce,
                              ETempFile temp = ETempFile::UnnamedWherePossible);

// A file written part by part that takes its name, replacing a file there, only
// once it is whole, without waiting for the disk: for a writer of many files
// that syncs them all at once (SyncFileSystem) before it counts them written.
// Dropped unnamed when it is not committed.
class TUnsyncedFile {
 public:
  explicit TUnsyncedFile(const fs::path& path);
  ~TUnsyncedFile();
  TUnsyncedFile(const TUnsyncedFile&) = delete;
  TUnsyncedFile& operator=(const TUnsyncedFile&) = delete;
  // Fails when the file could not be made or written.
  TFileResult<> Write(std::span<const std::uint8_t> data);
  TFileResult<> Commit();

 private:
  fs::path target_, folder_;
  std::string temp_;  // a named temporary where unnamed files cannot be made
  int fd_ = -1;
  int error_ = 0;  // why it could not be made
  bool replacing_ = false;
};
// Writes everything the file system of `path` holds in memory to its disk.
void SyncFileSystem(const fs::path& path);

// The folder of the running executable.
fs::path ExecutableDir();

// A folder private to this run (mode 0700), created on first use and removed at exit.
fs::path PrivateTempDir();
// A new, not yet existing path inside PrivateTempDir() whose name ends in `suffix`.
fs::path NewTempFilePath(std::string_view suffix);
