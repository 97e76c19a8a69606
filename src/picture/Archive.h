#pragma once
// Element archives (".arh") as the publishers' servers send them: a text header
//   BEGIN;<data offset>;<multi-volume flag>;<unused number>   (CR LF line ends)
//   <sub-folder>;<file name>;<type>;<size>;                   one line per entry
//   END
// then, from the data offset, the bytes of each entry in order. Type "2" is stored
// as is, "0" is a zlib stream of the file, "1" a packed picture written out as a
// 32-bit Windows bitmap. A multi-volume archive is <base>0.arh, <base>1.arh, ...
// joined whole. Archives come from outside: every name, number and size is checked.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileResult.h"

// One entry line: the four ";"-separated fields, trimmed.
struct TArec {
  std::string SubFolder;
  std::string FileName;
  std::string EntryType;
  std::string Size;
};
// Fields 1 to 4 of `line`; missing fields are empty.
TArec ParseArchiveLine(std::string_view line);

// Entry lines of this length or more are skipped.
constexpr std::size_t kMaxArchiveLine = 300;

// The header of an archive.
struct TArchiveIndex {
  std::uint64_t DataOffset = 0;
  bool MultiVolume = false;
  std::vector<TArec> Entries;
};
// Reads the header from the start of `in`. nullopt when the first line lacks
// "BEGIN;", a number in it is not an integer (fields 2 to 4 when
// `multiVolumeFields`, else field 2), or the line "END" does not come.
std::optional<TArchiveIndex> ReadArchiveIndex(std::istream& in, bool multiVolumeFields);

// True when an entry's sub-folder and file name stay inside the target folder:
// relative, no "." or ".." component, no drive letter (":") or NUL, a non-empty
// file name. "\" and "/" both separate folders.
bool ArchiveNameIsSafe(const TArec& entry);

// Receives each decoded entry; returns false to stop the extraction.
using TArchiveSink = std::function<bool(const TArec& entry, std::vector<std::uint8_t>& content)>;
// Reads and decodes the entries of `index` from `in` (the whole archive), in order,
// handing each to `sink`. False when a size is not a number or passes the end of
// the data, a type is unknown, an entry does not decode, or the sink refuses; the
// entries handed over before stay handed over.
bool ReadArchiveEntries(std::istream& in, const TArchiveIndex& index, const TArchiveSink& sink);

// An archive may write this many times its own size, and at least the floor,
// leaving the reserve free on the disk.
inline constexpr std::uint64_t kArchiveExpansion = 100;
inline constexpr std::uint64_t kArchiveFloorBytes = std::uint64_t(64) << 20;
inline constexpr std::uint64_t kFreeSpaceReserve = std::uint64_t(16) << 20;
struct TArchiveCap {
  std::uint64_t Bytes = 0;
  bool BySpace = false;  // the free space, not the archive's size, sets it
};
// The most an archive of `archiveBytes` may write below `destDir`.
TArchiveCap ArchiveWriteCap(std::uint64_t archiveBytes, const std::filesystem::path& destDir);

// Hears, after each file written, how many bytes of how many the extraction has
// written; called on the extracting thread.
using TArchiveProgress = std::function<void(std::uint64_t written, std::uint64_t total)>;

// Extracts `archiveFile` below `destDir` (folders created, files replaced, names
// matched ignoring letter case). Fails with NoSuchFile or CannotRead for the
// archive itself, Damaged (naming the entry) for an invalid header or entry as
// above, UnsafeName when an entry's name would leave `destDir`, OverCap when the
// entries would write more than the archive's cap (the detail says how much:
// in these two cases nothing at all is written), and CannotWrite for the file
// that could not be written. Files written before an entry that fails stay.
// Entries are decoded part by part; the files reach the disk together at the end.
TFileResult<> ExtractArchive(const std::filesystem::path& archiveFile, const std::filesystem::path& destDir,
                             const TArchiveProgress& progress = {});

// Extracts the volumes <baseName>0.arh, 1, 2 ... (joined while they follow each
// other without a gap, when volume 0's header says the set is multi-volume) below
// `destDir`. The joined copy lives in the private temporary folder and is removed
// on every path. Fails as ExtractArchive, a fault in the content named by volume 0.
TFileResult<> ExtractMultiVolumeArchive(const std::string& baseName, const std::filesystem::path& destDir,
                                        const TArchiveProgress& progress = {});

// Appends to `list` the names of all files below `dir`, each as `prefix` + the
// path relative to `dir` with "\" between folders. Symbolic links are listed as
// files and never followed.
void ListFilesInTree(const std::filesystem::path& dir, const std::string& prefix, std::vector<std::string>& list);

// Deletes every file below `dir` (folders stay; symbolic links are removed, never
// followed). Refuses an empty path or a file-system root (false); false also when
// a file could not be deleted.
bool DeleteFilesInTree(const std::filesystem::path& dir);
