#pragma once
// Checks that a save replaces a file whole or not at all, in ways that hold
// for root as for anyone: file size limits and hard links, not permissions.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// Runs `save` with this process's files limited to `limitBytes` (SIGXFSZ ignored):
// a write past the limit comes back short and the next one fails, as on a full
// disk. Returns what `save` returned.
bool SaveUnderSizeLimit(std::uintmax_t limitBytes, const std::function<bool()>& save);

// The names in `folder`, sorted.
std::vector<std::string> FolderNames(const fs::path& folder);

// For the existing `file`, `save` must write new bytes of more than half its size:
// cut off halfway by a size limit the save reports failure and the file keeps its
// bytes; a save that succeeds leaves a hard link to the old file holding the old
// bytes, and no temporary file beside it.
void ExpectSaveKeepsOldFile(const fs::path& file, const std::function<bool()>& save);

// A folder on a full disk where this process may make one: a tmpfs of one page
// mounted in a mount namespace of the calling thread's own and filled up, so
// writes there fail as on a real full disk (ENOSPC). Where mounting is not
// allowed, `Full()` is false and the folder an ordinary one: the caller falls
// back to a size limit (EFBIG) and its test says which it checked.
class FullDisk {
 public:
  FullDisk();
  ~FullDisk();
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;
  const fs::path& Path() const { return path_; }
  bool Full() const { return mounted_; }

 private:
  fs::path path_;
  bool mounted_ = false;
};
