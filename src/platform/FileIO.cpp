#include "platform/FileIO.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <string>
#include <vector>

namespace {
// Reads the whole regular file at `path`; a FIFO or device is refused without
// waiting on it (hence O_NONBLOCK, which plain files ignore).
template <typename Buffer>
TFileResult<Buffer> ReadWhole(const fs::path& path, std::uintmax_t maxBytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return FileError(errno == ENOENT ? TFileFault::NoSuchFile : TFileFault::CannotRead, path, errno);
  struct Closer {
    int fd;
    ~Closer() { close(fd); }
  } closer{fd};
  struct stat info {};
  if (fstat(fd, &info) != 0) return FileError(TFileFault::CannotRead, path, errno);
  if (!S_ISREG(info.st_mode)) return FileError(TFileFault::CannotRead, path, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
  if (std::uintmax_t(info.st_size) > maxBytes) return FileError(TFileFault::CannotRead, path, EFBIG);
  Buffer data;
  data.resize(static_cast<std::size_t>(info.st_size));
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = read(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return FileError(TFileFault::CannotRead, path, errno);
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  // A file that shrank while being read fails rather than coming back cut short.
  if (done != data.size()) return FileError(TFileFault::CannotRead, path, EIO);
  return data;
}
}  // namespace

TFileResult<std::vector<std::uint8_t>> ReadFileBytes(const fs::path& path, std::uintmax_t maxBytes) {
  return ReadWhole<std::vector<std::uint8_t>>(path, maxBytes);
}

TFileResult<ByteBuffer> ReadFileBuffer(const fs::path& path, std::uintmax_t maxBytes) {
  return ReadWhole<ByteBuffer>(path, maxBytes);
}

namespace {
// The file a save replaces: a symbolic link is followed to its final target, so
// the link stays and the file it names gets the new bytes. nullopt for a loop.
std::optional<fs::path> SaveTarget(const fs::path& path) {
  fs::path target = path;
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(target, ec))) return target;
    fs::path to = fs::read_symlink(target, ec);
    if (ec) return std::nullopt;
    target = to.is_absolute() ? to : target.parent_path() / to;
  }
  return std::nullopt;
}

// A save's temporary is "." + name + "." + six letters or digits, in the target's folder.
std::string TempPrefix(const fs::path& target) { return "." + target.filename().string() + "."; }

bool IsTempName(const std::string& name, const std::string& prefix) {
  if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) return false;
  return std::all_of(name.begin() + std::ptrdiff_t(prefix.size()), name.end(),
                     [](unsigned char c) { return std::isalnum(c) != 0; });
}

bool SameFile(int fd, const char* name) {
  struct stat byFd {}, byName {};
  return fstat(fd, &byFd) == 0 && lstat(name, &byName) == 0 && byFd.st_dev == byName.st_dev &&
         byFd.st_ino == byName.st_ino;
}

// A save holds a lock on its temporary while it writes; one nobody holds was left
// by a save that was killed, and nothing else would ever remove it.
void RemoveStaleTemps(const fs::path& folder, const std::string& prefix) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!IsTempName(name, prefix)) continue;
    const std::string full = it->path().string();
    int fd = open(full.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 && SameFile(fd, full.c_str()))
      unlink(full.c_str());
    close(fd);
  }
}

// A new random name for a temporary in `folder`; `create` makes it and reports
// EEXIST when the name is taken. Returns the name, or empty with errno set.
template <typename Create>
std::string MakeTempName(const fs::path& folder, const std::string& prefix, Create create) {
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  // Per thread, so that savers on several threads never share one generator.
  thread_local std::mt19937_64 random{std::random_device{}() ^ std::uint64_t(getpid()) << 32};
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string suffix(6, ' ');
    for (char& c : suffix) c = letters[random() % (sizeof letters - 1)];
    std::string name = (folder / (prefix + suffix)).string();
    if (create(name)) return name;
    if (errno != EEXIST) return {};
  }
  errno = EEXIST;
  return {};
}

// Creates and locks a named temporary; `mode` as open() takes it, so the umask applies.
int CreateNamedTemp(const fs::path& folder, const std::string& prefix, mode_t mode, std::string& name) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    int fd = -1;
    name = MakeTempName(folder, prefix, [&](const std::string& candidate) {
      fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
      return fd >= 0;
    });
    if (fd < 0) return -1;
    // Another save may have taken it for stale in the moment before the lock.
    if (flock(fd, LOCK_EX) == 0 && SameFile(fd, name.c_str())) return fd;
    close(fd);
  }
  errno = EEXIST;
  return -1;
}

// An unnamed file in `folder`: a save killed before it is named leaves nothing
// behind. -1 with errno EOPNOTSUPP (or what the kernel says for it) where the
// file system cannot make one.
int CreateUnnamedTemp(const fs::path& folder, mode_t mode) {
  // It is named through /proc, which a bare container may lack.
  static const bool canName = access("/proc/self/fd", X_OK) == 0;
  if (!canName) {
    errno = EOPNOTSUPP;
    return -1;
  }
  return open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
}

bool NoUnnamedFiles(int error) { return error == EOPNOTSUPP || error == EISDIR || error == EINVAL; }

// Gives the unnamed file `fd` the name `name`; EEXIST when it is taken.
bool LinkUnnamed(int fd, const std::string& name) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  return linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

bool WriteAll(int fd, std::span<const std::uint8_t> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

void SyncFolder(const fs::path& folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  // The new file is complete and in place already; a folder that cannot be
  // synced (some file systems refuse) does not undo the save.
  fsync(fd);
  close(fd);
}

TFileError Fail(const fs::path& path, int error) {
  return FileError(TFileFault::CannotWrite, path, error != 0 ? error : EIO);
}

// The producer's parts into `fd`, gathered into writes of a few hundred kilobytes.
class TFdWriter final : public TFileWriter {
 public:
  explicit TFdWriter(int fd) : fd_(fd) {}

  bool Append(std::span<const std::uint8_t> part) override {
    if (!written_) return false;
    if (gathered_.size() + part.size() > kGather) {
      if (!Flush()) return false;
      if (part.size() >= kGather) return Written(WriteAll(fd_, part));
    }
    gathered_.insert(gathered_.end(), part.begin(), part.end());
    return true;
  }

  bool Overwrite(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
    if (!Flush()) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = pwrite(fd_, bytes.data() + done, bytes.size() - done, off_t(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return Written(false);
      done += std::size_t(n);
    }
    return true;
  }

  bool Flush() {
    if (written_ && !gathered_.empty()) Written(WriteAll(fd_, gathered_));
    gathered_.clear();
    return written_;
  }
  // Why the first failed write failed (the encoder may have called more since).
  int Error() const { return error_; }

 private:
  bool Written(bool ok) {
    if (!ok && written_) error_ = errno;
    return written_ = ok;
  }

  static constexpr std::size_t kGather = std::size_t(256) << 10;
  int fd_;
  bool written_ = true;
  int error_ = 0;
  std::vector<std::uint8_t> gathered_;
};

// False with errno set when a write failed, or EIO when the producer gave up.
bool WriteParts(int fd, const TFileProducer& produce) {
  TFdWriter writer(fd);
  const bool produced = produce(writer);
  if (!writer.Flush()) {
    errno = writer.Error();
    return false;
  }
  if (!produced) errno = EIO;
  return produced;
}

TFileResult<> WriteInPlace(const fs::path& path, const fs::path& target, const TFileProducer& produce) {
  const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return Fail(path, errno);
  bool ok = WriteParts(fd, produce);
  int error = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (!ok) return Fail(path, error);
  return {};
}

// Writes the produced bytes and the old file's owner and mode into `fd`; errno
// tells why not.
bool FillTemp(int fd, const TFileProducer& produce, const struct stat* old) {
  if (!WriteParts(fd, produce) || fsync(fd) != 0) return false;
  if (!old) return true;
  // Owner first: changing it clears set-id bits. Only root may give a file away,
  // so a failed chown leaves the saving user's own.
  if (fchown(fd, old->st_uid, old->st_gid) != 0) (void)!fchown(fd, uid_t(-1), old->st_gid);
  return fchmod(fd, old->st_mode & 07777) == 0;
}

// The unnamed file `fd`, filled, takes the target's name: at once when the
// target is new, else through a named temporary and a rename. The file stays
// locked until it has its final name, so no sweep takes it for stale.
bool NameUnnamed(int fd, const fs::path& folder, const std::string& prefix, const fs::path& target, bool replacing) {
  if (!replacing && LinkUnnamed(fd, target.string())) return true;
  if (!replacing && errno != EEXIST) return false;
  const std::string temp = MakeTempName(folder, prefix, [&](const std::string& name) { return LinkUnnamed(fd, name); });
  if (temp.empty()) return false;
  if (std::rename(temp.c_str(), target.c_str()) == 0) return true;
  const int error = errno;
  unlink(temp.c_str());
  errno = error;
  return false;
}
}  // namespace

TFileResult<> WriteFileAtomic(const fs::path& path, std::span<const std::uint8_t> data, ETempFile temp) {
  return WriteFileAtomic(path, [data](TFileWriter& file) { return file.Append(data); }, temp);
}

TFileResult<> WriteFileAtomic(const fs::path& path, const TFileProducer& produce, ETempFile temp) {
  std::optional<fs::path> target = SaveTarget(path);
  if (!target) return Fail(path, ELOOP);
  fs::path folder = target->parent_path().empty() ? fs::path(".") : target->parent_path();
  const std::string prefix = TempPrefix(*target);
  RemoveStaleTemps(folder, prefix);

  struct stat old {};
  const bool exists = stat(target->c_str(), &old) == 0;
  // A device or a pipe is no file to replace (a rename would put a file in its
  // place): it takes the bytes in place.
  if (exists && !S_ISREG(old.st_mode) && !S_ISDIR(old.st_mode)) return WriteInPlace(path, *target, produce);
  const bool replacing = exists && S_ISREG(old.st_mode);
  const mode_t mode = replacing ? 0600 : 0666;
  const bool named = temp == ETempFile::Named;
  int fd = named ? -1 : CreateUnnamedTemp(folder, mode);
  bool ok = false;
  if (fd >= 0) {
    flock(fd, LOCK_EX);
    ok = FillTemp(fd, produce, replacing ? &old : nullptr) && NameUnnamed(fd, folder, prefix, *target, replacing);
    const int error = errno;
    close(fd);
    if (!ok) return Fail(path, error);
  } else {
    if (!named && !NoUnnamedFiles(errno)) return Fail(path, errno);
    std::string name;
    fd = CreateNamedTemp(folder, prefix, mode, name);
    if (fd < 0) return Fail(path, errno);
    ok = FillTemp(fd, produce, replacing ? &old : nullptr);
    int error = errno;
    if (close(fd) != 0 && ok) {
      ok = false;
      error = errno;
    }
    if (ok && std::rename(name.c_str(), target->c_str()) != 0) {
      ok = false;
      error = errno;
    }
    if (!ok) {
      unlink(name.c_str());
      return Fail(path, error);
    }
  }
  SyncFolder(folder);
  return {};
}

TUnsyncedFile::TUnsyncedFile(const fs::path& path) : target_(path) {
  folder_ = target_.parent_path().empty() ? fs::path(".") : target_.parent_path();
  struct stat old {};
  replacing_ = stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode);
  fd_ = CreateUnnamedTemp(folder_, 0666);
  // Locked as a save's is: no sweep takes its named step for stale.
  if (fd_ >= 0) flock(fd_, LOCK_EX);
  else if (NoUnnamedFiles(errno)) fd_ = CreateNamedTemp(folder_, TempPrefix(target_), 0666, temp_);
  if (fd_ < 0) error_ = errno != 0 ? errno : EIO;
}

TUnsyncedFile::~TUnsyncedFile() {
  if (fd_ < 0) return;
  close(fd_);
  if (!temp_.empty()) unlink(temp_.c_str());
}

TFileResult<> TUnsyncedFile::Write(std::span<const std::uint8_t> data) {
  if (fd_ < 0) return Fail(target_, error_);
  if (!WriteAll(fd_, data)) return Fail(target_, errno);
  return {};
}

TFileResult<> TUnsyncedFile::Commit() {
  if (fd_ < 0) return Fail(target_, error_);
  bool ok = temp_.empty() ? NameUnnamed(fd_, folder_, TempPrefix(target_), target_, replacing_)
                          : std::rename(temp_.c_str(), target_.c_str()) == 0;
  const int error = errno;
  if (close(fd_) != 0) ok = false;
  fd_ = -1;
  if (!ok) {
    if (!temp_.empty()) unlink(temp_.c_str());
    return Fail(target_, error);
  }
  temp_.clear();
  return {};
}

void SyncFileSystem(const fs::path& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  syncfs(fd);
  close(fd);
}

TFileResult<> WriteFileAtomic(const fs::path& path, std::string_view text, ETempFile temp) {
  return WriteFileAtomic(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), temp);
}

fs::path ExecutableDir() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path() : exe.parent_path();
}

namespace {
// The process's own temporary folder: one a process, made on first use and
// removed when the process ends.
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
  // Names in the process's folder above, so it counts for the whole process.
  static std::atomic<unsigned> counter{0};
  return PrivateTempDir() / ("t" + std::to_string(counter++) + std::string(suffix));
}
