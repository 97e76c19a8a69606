#include "support/SaveGuarantee.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include "platform/FileIO.h"

bool SaveUnderSizeLimit(std::uintmax_t limitBytes, const std::function<bool()>& save) {
  rlimit before{};
  getrlimit(RLIMIT_FSIZE, &before);
  rlimit limited = before;
  limited.rlim_cur = std::min<rlim_t>(limitBytes, before.rlim_max);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &limited);
  bool saved = save();
  setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, oldHandler);
  return saved;
}

std::vector<std::string> FolderNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void ExpectSaveKeepsOldFile(const fs::path& file, const std::function<bool()>& save) {
  SCOPED_TRACE("saving " + file.filename().string());
  const auto read = ReadFileBytes(file);
  ASSERT_TRUE(read && read->size() >= 2) << "the test needs an old file to keep";
  const std::vector<std::uint8_t>& old = *read;
  const fs::path folder = file.parent_path();
  const std::vector<std::string> namesBefore = FolderNames(folder);

  EXPECT_FALSE(SaveUnderSizeLimit(old.size() / 2, save)) << "a save cut off halfway reported success";
  // Unreadable reads as no bytes, which no old file of the test has.
  auto bytesOf = [](const fs::path& path) {
    auto bytes = ReadFileBytes(path);
    return bytes ? *std::move(bytes) : std::vector<std::uint8_t>();
  };
  EXPECT_EQ(bytesOf(file), old) << "a save cut off halfway changed the old file";
  EXPECT_EQ(FolderNames(folder), namesBefore) << "a save cut off halfway left files behind";

  const fs::path link = folder / (file.filename().string() + ".hardlink");
  fs::create_hard_link(file, link);
  ASSERT_TRUE(save());
  EXPECT_NE(bytesOf(file), old) << "the test's save must write new bytes";
  EXPECT_EQ(bytesOf(link), old) << "the save wrote into the old file instead of replacing it";
  fs::remove(link);
  EXPECT_EQ(FolderNames(folder), namesBefore);
}

FullDisk::FullDisk() {
  std::string pattern = (fs::temp_directory_path() / "full-disk-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return;
  path_ = pattern;
  if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("tmpfs", path_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=4k,mode=0777") != 0)
    return;
  mounted_ = true;
  const int fd = open((path_ / "filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  const std::vector<char> block(4096, 'f');
  while (fd >= 0 && write(fd, block.data(), block.size()) > 0) {
  }
  if (fd >= 0) close(fd);
}

FullDisk::~FullDisk() {
  if (mounted_) umount2(path_.c_str(), MNT_DETACH);
  std::error_code ec;
  if (!path_.empty()) fs::remove_all(path_, ec);
}
