#include <gtest/gtest.h>

#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <random>

#include "platform/ByteStream.h"
#include "platform/FileIO.h"
#include "support/SaveGuarantee.h"
#include "support/TestPaths.h"

namespace {
struct stat StatOf(const fs::path& path) {
  struct stat st {};
  EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
  return st;
}

std::string Text(const fs::path& path) {
  auto bytes = ReadFileBytes(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<unreadable>");
}

// Whether the file system of `folder` makes unnamed files (some overlay file
// systems do not): only there can a killed save leave nothing behind.
bool UnnamedFilesIn(const fs::path& folder) {
  const int fd = open(folder.c_str(), O_TMPFILE | O_WRONLY, 0600);
  if (fd >= 0) close(fd);
  return fd >= 0;
}

// Restores the umask a test changed.
class UmaskGuard {
 public:
  explicit UmaskGuard(mode_t mask) : old_(umask(mask)) {}
  ~UmaskGuard() { umask(old_); }

 private:
  mode_t old_;
};
}  // namespace

TEST(WriteFileAtomic, ReplacedFileKeepsModeAndOwnerNewFileFollowsUmask) {
  TempFolder dir;
  UmaskGuard mask(022);
  for (mode_t mode : {0600, 0640, 0755, 0444}) {
    fs::path file = dir / ("m" + std::to_string(mode));
    WriteTestFile(file, "old");
    ASSERT_EQ(chmod(file.c_str(), mode), 0);
    ASSERT_TRUE(WriteFileAtomic(file, std::string_view("new")));
    EXPECT_EQ(Text(file), "new");
    EXPECT_EQ(StatOf(file).st_mode & 07777, mode) << std::oct << mode;
  }

  // Only root may give a file away; for anyone else the owner stays the user's own.
  WriteTestFile(dir / "owned", "old");
  const uid_t owner = geteuid() == 0 ? 65534 : geteuid();
  const gid_t group = geteuid() == 0 ? 65534 : getegid();
  ASSERT_EQ(chown((dir / "owned").c_str(), owner, group), 0);
  ASSERT_TRUE(WriteFileAtomic(dir / "owned", std::string_view("new")));
  EXPECT_EQ(StatOf(dir / "owned").st_uid, owner);
  EXPECT_EQ(StatOf(dir / "owned").st_gid, group);

  for (mode_t m : {mode_t(022), mode_t(077), mode_t(0)}) {
    UmaskGuard inner(m);
    fs::path file = dir / ("new" + std::to_string(m));
    ASSERT_TRUE(WriteFileAtomic(file, std::string_view("x")));
    EXPECT_EQ(StatOf(file).st_mode & 07777, 0666 & ~m) << "umask " << std::oct << m;
  }
}

TEST(WriteFileAtomic, SavesThroughSymbolicLinks) {
  TempFolder dir;
  fs::create_directories(dir / "real");
  WriteTestFile(dir / "real" / "work.tsc", "old");
  ASSERT_EQ(chmod((dir / "real" / "work.tsc").c_str(), 0600), 0);
  fs::create_symlink("real/work.tsc", dir / "relative");
  fs::create_symlink(dir / "relative", dir / "chain");

  ASSERT_TRUE(WriteFileAtomic(dir / "chain", std::string_view("through two links")));
  EXPECT_TRUE(fs::is_symlink(dir / "chain"));
  EXPECT_TRUE(fs::is_symlink(dir / "relative"));
  EXPECT_EQ(Text(dir / "real" / "work.tsc"), "through two links");
  EXPECT_EQ(StatOf(dir / "real" / "work.tsc").st_mode & 07777, 0600u);
  EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"chain", "real", "relative"}));
  EXPECT_EQ(FolderNames(dir / "real"), (std::vector<std::string>{"work.tsc"}));

  // A link to a file not there yet creates it where the link points.
  fs::create_symlink(dir / "real" / "later.tsc", dir / "dangling");
  ASSERT_TRUE(WriteFileAtomic(dir / "dangling", std::string_view("created")));
  EXPECT_TRUE(fs::is_symlink(dir / "dangling"));
  EXPECT_EQ(Text(dir / "real" / "later.tsc"), "created");

  fs::create_symlink("loop-b", dir / "loop-a");
  fs::create_symlink("loop-a", dir / "loop-b");
  const TFileResult<> looped = WriteFileAtomic(dir / "loop-a", std::string_view("nowhere"));
  ASSERT_FALSE(looped);
  EXPECT_EQ(looped.Error().System, ELOOP);
  EXPECT_TRUE(fs::is_symlink(dir / "loop-a"));
}

// A device named as the file (a print to /dev/full, say) takes the bytes where
// it is: no file is put in its place, and a device that refuses them says why.
TEST(WriteFileAtomic, DeviceIsWrittenInPlaceAndItsRefusalIsTold) {
  TempFolder dir;
  // The full device (1, 7) made inside the test's folder, so that a save that
  // renames over it harms nothing.
  if (mknod((dir / "full").c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
    GTEST_SKIP() << "cannot make a device node here (needs root): saving onto a device is not checked";
  fs::create_symlink(dir / "full", dir / "link");
  const TFileResult<> full = WriteFileAtomic(dir / "link", std::string_view("no room"));
  ASSERT_FALSE(full);
  EXPECT_EQ(full.Error().System, ENOSPC);
  EXPECT_EQ(full.Error().Path, dir / "link");
  EXPECT_TRUE(S_ISCHR(StatOf(dir / "full").st_mode));
  EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"full", "link"}));

  ASSERT_EQ(mknod((dir / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
  EXPECT_TRUE(WriteFileAtomic(dir / "null", std::string_view("gone")));
  EXPECT_TRUE(S_ISCHR(StatOf(dir / "null").st_mode));
}

TEST(WriteFileAtomic, FailureMidwayKeepsOldFileAndLeavesNoTemporary) {
  TempFolder dir;
  const fs::path file = dir / "work.tsu";
  const std::string old(4096, 'o'), bigger(10000, 'n');
  WriteTestFile(file, old);
  ETempFile temp = ETempFile::UnnamedWherePossible;
  auto save = [&] { return WriteFileAtomic(file, std::string_view(bigger), temp).Ok(); };

  // A short write then a failed one; and a disk that takes nothing at all.
  for (std::uintmax_t limit : {std::uintmax_t(1000), std::uintmax_t(0)}) {
    EXPECT_FALSE(SaveUnderSizeLimit(limit, save)) << limit;
    EXPECT_EQ(Text(file), old);
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"work.tsu"}));
  }

  // A save killed as it writes leaves nothing: its file had no name yet.
  auto killedSave = [&] {
    pid_t child = fork();
    if (child == 0) {
      rlimit limit{1000, 1000};
      setrlimit(RLIMIT_FSIZE, &limit);
      std::signal(SIGXFSZ, SIG_DFL);
      WriteFileAtomic(file, std::string_view(bigger), temp);
      _exit(0);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ;
  };
  if (UnnamedFilesIn(dir.Path())) {
    ASSERT_TRUE(killedSave());
    EXPECT_EQ(Text(file), old);
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"work.tsu"}));
  }

  // Where the file system has no unnamed files, the killed save's named
  // temporary stays; the next save of the same name removes it, one of another
  // name does not.
  temp = ETempFile::Named;
  ASSERT_TRUE(killedSave());
  EXPECT_EQ(Text(file), old);
  std::vector<std::string> names = FolderNames(dir.Path());
  ASSERT_EQ(names.size(), 2u);
  const std::string stale = names[0];
  EXPECT_EQ(stale.rfind(".work.tsu.", 0), 0u) << stale;

  // A temporary some running save still holds is not taken for stale.
  const fs::path held = dir / ".work.tsu.Held00";
  int heldFd = open(held.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  ASSERT_GE(heldFd, 0);
  ASSERT_EQ(flock(heldFd, LOCK_EX), 0);

  ASSERT_TRUE(WriteFileAtomic(dir / "work.tsc", std::string_view("other"), temp));
  EXPECT_TRUE(fs::exists(dir / stale));
  ASSERT_TRUE(save());
  EXPECT_EQ(Text(file), bigger);
  EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{".work.tsu.Held00", "work.tsc", "work.tsu"}));
  close(heldFd);
}

// A file made part by part: small parts gathered, a large one passed through, a
// head completed last; a producer that gives up or a write cut off keeps the old file.
TEST(WriteFileAtomic, FileMadePartByPart) {
  TempFolder dir;
  const fs::path file = dir / "picture.tif";
  const std::string large(600 << 10, 'L');
  auto produce = [&](TFileWriter& out) {
    bool ok = out.Append(AsBytes("head"));
    for (int i = 0; i < 1000; ++i) ok = ok && out.Append(AsBytes("part"));
    return ok && out.Append(AsBytes(large)) && out.Append(AsBytes("tail")) && out.Overwrite(1, AsBytes("EA"));
  };
  ASSERT_TRUE(WriteFileAtomic(file, produce));
  std::string expected = "hEAd";
  for (int i = 0; i < 1000; ++i) expected += "part";
  expected += large + "tail";
  EXPECT_EQ(Text(file), expected);

  WriteTestFile(file, "old");
  const auto gaveUp = WriteFileAtomic(file, [](TFileWriter& out) { return out.Append(AsBytes("new")) && false; });
  ASSERT_FALSE(gaveUp);
  EXPECT_EQ(gaveUp.Error().Cause, TFileFault::CannotWrite);
  EXPECT_EQ(gaveUp.Error().System, EIO);
  int cutOff = 0;
  EXPECT_FALSE(SaveUnderSizeLimit(100000, [&] {
    // The producer's own cleanup after the failed write leaves errno changed.
    const auto result = WriteFileAtomic(file, [&](TFileWriter& out) {
      const bool ok = produce(out);
      errno = EBADF;
      return ok;
    });
    if (!result) cutOff = result.Error().System;
    return result.Ok();
  }));
  EXPECT_EQ(cutOff, EFBIG) << "the failed write's cause, not what the producer did after it";
  EXPECT_EQ(Text(file), "old");
  EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"picture.tif"}));

  TMemoryFileWriter memory;
  EXPECT_TRUE(produce(memory));
  EXPECT_EQ(std::string(memory.Bytes.begin(), memory.Bytes.end()), expected);
  EXPECT_FALSE(memory.Overwrite(memory.Bytes.size() - 1, AsBytes("xy"))) << "past the end";
}

TEST(WriteFileAtomic, KilledAtAnyMomentLeavesTheOldFileOrTheNewOneAndNothingElse) {
  TempFolder dir;
  if (!UnnamedFilesIn(dir.Path()))
    GTEST_SKIP() << "no unnamed files on this file system: a killed save leaves a named temporary here, which the "
                    "next save removes (FailureMidwayKeepsOldFileAndLeavesNoTemporary checks that)";
  const fs::path file = dir / "big.tsc";
  // Two large contents the child saves by turns; each differs from the other at
  // both ends, so a mixed or cut file shows.
  const std::size_t size = std::size_t(24) << 20;
  const std::string a = "A" + std::string(size - 2, 'a') + "A", b = "B" + std::string(size - 2, 'b') + "B";
  WriteTestFile(file, a);
  std::mt19937 random(7);
  for (int kill = 0; kill < 6; ++kill) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) WriteFileAtomic(file, std::string_view(i % 2 ? a : b));
    }
    usleep(useconds_t(20000 + random() % 150000));
    ASSERT_EQ(::kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    const std::string now = Text(file);
    EXPECT_TRUE(now == a || now == b) << "after kill " << kill << ": " << now.size() << " bytes";
    // A replacing save names its finished file before the rename over the old
    // one (no call does both at once); a kill between the two leaves that name,
    // which the next save of the file sweeps.
    std::vector<std::string> names = FolderNames(dir.Path());
    if (names.size() == 2) {
      EXPECT_EQ(names[0].rfind(".big.tsc.", 0), 0u) << names[0] << " after kill " << kill;
      ASSERT_TRUE(WriteFileAtomic(file, std::string_view(a)));
      names = FolderNames(dir.Path());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"big.tsc"})) << "after kill " << kill;
  }
}
