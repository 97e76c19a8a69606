#include "picture/Archive.h"

#include <algorithm>
#include <fstream>
#include <span>
#include <sstream>

#include "picture/Compression.h"
#include "picture/PackedPicture.h"
#include "platform/FileIO.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace fs = std::filesystem;

namespace {
bool ReadLine(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

std::optional<std::int64_t> NumberField(const std::string& line, int index) {
  return ParseInt64(Field(line, index));
}

// True when `path`, with every link resolved, lies in or below `folder`.
bool IsInside(const fs::path& path, const fs::path& folder) {
  std::error_code ec, ec2;
  const fs::path relative = fs::weakly_canonical(path, ec).lexically_relative(fs::weakly_canonical(folder, ec2));
  return !ec && !ec2 && !relative.empty() && *relative.begin() != "..";
}

fs::path EntryPath(const fs::path& dest, const TArec& entry) {
  return ResolvePath(dest, entry.SubFolder.empty() ? entry.FileName : entry.SubFolder + "\\" + entry.FileName);
}

// The entry's name is safe and no folder of its path that exists already (a
// link, say) leads out of `dest`.
bool StaysInside(const fs::path& dest, const TArec& entry) {
  return ArchiveNameIsSafe(entry) && IsInside(EntryPath(dest, entry).parent_path(), dest);
}

// The folder an entry's file goes to, made when missing; nullopt when it cannot
// be made or (a link) leads out of `dest`.
std::optional<fs::path> EntryTarget(const fs::path& dest, const TArec& entry) {
  if (!ArchiveNameIsSafe(entry)) return std::nullopt;
  const fs::path file = EntryPath(dest, entry);
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  if (ec || !fs::is_directory(file.parent_path(), ec)) return std::nullopt;
  // A folder that is a link to elsewhere must not carry the file out of `dest`.
  if (!IsInside(file.parent_path(), dest)) return std::nullopt;
  return file;
}

thread_local std::string lastProblem;

// The file and information headers of a 32-bit bitmap.
constexpr std::uint64_t kBmpHeaderBytes = 54;

std::string Megabytes(std::uint64_t bytes) { return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MB"; }

// The data of each entry as it lies in the archive, one entry at a time: false
// when a size is not a number or passes the end of the data, or `visit` refuses.
bool VisitEntries(std::istream& in, const TArchiveIndex& index,
                  const std::function<bool(const TArec&, std::vector<std::uint8_t>&)>& visit) {
  in.clear();
  in.seekg(0, std::ios::end);
  const auto end = static_cast<std::int64_t>(in.tellg());
  if (end < 0 || index.DataOffset > std::uint64_t(end)) return false;
  in.seekg(static_cast<std::streamoff>(index.DataOffset));
  std::int64_t position = static_cast<std::int64_t>(index.DataOffset);
  std::vector<std::uint8_t> data;
  for (const TArec& entry : index.Entries) {
    const auto size = ParseInt64(entry.Size);
    if (!size || *size < 0 || *size > end - position) return false;
    data.resize(static_cast<std::size_t>(*size));
    if (!in.read(reinterpret_cast<char*>(data.data()), *size)) return false;
    position += *size;
    if (!visit(entry, data)) return false;
  }
  return true;
}

using TContentSink = std::function<bool(std::span<const std::uint8_t>)>;

// Hands the decoded content of an entry to `out` part by part (a packed picture
// whole); false when it does not decode or `out` refuses.
bool DecodeEntry(const TArec& entry, std::vector<std::uint8_t>& data, const TContentSink& out) {
  if (entry.EntryType == "2") return out(data);
  if (entry.EntryType == "1") {
    const auto bmp = PackedPictureToBmpStream(data);
    return bmp && out(*bmp);
  }
  if (entry.EntryType != "0") return false;
  TInflater inflater(data);
  std::vector<std::uint8_t> block(std::size_t(1) << 16);
  for (;;) {
    const std::optional<std::size_t> produced = inflater.ReadSome(block);
    if (!produced) return false;
    if (*produced == 0) return true;
    if (!out(std::span(block).first(*produced))) return false;
  }
}

// What the entries will write, counted up to the first that does not decode
// (where the extraction stops); nullopt as soon as it passes `cap`. A packed
// picture counts as the bitmap its size makes, unpacked only when written.
std::optional<std::uint64_t> BytesToWrite(std::istream& in, const TArchiveIndex& index, std::uint64_t cap) {
  std::uint64_t total = 0;
  bool over = false;
  VisitEntries(in, index, [&](const TArec& entry, std::vector<std::uint8_t>& data) {
    auto add = [&](std::uint64_t bytes) {
      over = bytes > cap - total;
      if (!over) total += bytes;
      return !over;
    };
    if (entry.EntryType == "1") {
      const std::optional<std::uint64_t> pixels = PackedPicturePixels(data);
      return pixels && add(*pixels * 4 + kBmpHeaderBytes);
    }
    return DecodeEntry(entry, data, [&](std::span<const std::uint8_t> part) { return add(part.size()); });
  });
  if (over) return std::nullopt;
  return total;
}

std::uint64_t StreamSize(std::istream& in) {
  in.clear();
  in.seekg(0, std::ios::end);
  const auto end = static_cast<std::int64_t>(in.tellg());
  return end > 0 ? std::uint64_t(end) : 0;
}

bool ExtractFrom(std::istream& in, const TArchiveIndex& index, const fs::path& destDir,
                 const TArchiveProgress& progress) {
  lastProblem.clear();
  // One name that would leave the folder refuses the whole archive before a file is written.
  for (const TArec& entry : index.Entries)
    if (!StaysInside(destDir, entry)) return false;
  // So does an archive that would write more than it may.
  const TArchiveCap cap = ArchiveWriteCap(StreamSize(in), destDir);
  const std::optional<std::uint64_t> total = BytesToWrite(in, index, cap.Bytes);
  if (!total) {
    lastProblem = "it would write more than " + Megabytes(cap.Bytes) +
                  (cap.BySpace ? ", the free space on the disk" : ", the most an archive of its size may write");
    return false;
  }
  std::error_code ec;
  fs::create_directories(destDir, ec);
  // Files are written without waiting for the disk, which takes them all at once at the end.
  std::uint64_t written = 0;
  const bool whole = VisitEntries(in, index, [&](const TArec& entry, std::vector<std::uint8_t>& data) {
    const std::optional<fs::path> target = EntryTarget(destDir, entry);
    if (!target) return false;
    TUnsyncedFile file(*target);
    const bool ok = DecodeEntry(entry, data, [&](std::span<const std::uint8_t> part) {
      written += part.size();
      return file.Write(part).Ok();
    }) && file.Commit();
    // A picture's bitmap may come out smaller than its size foretold.
    if (ok && progress) progress(written, std::max(written, *total));
    return ok;
  });
  SyncFileSystem(destDir);
  return whole;
}

fs::path VolumePath(const std::string& baseName, int number) {
  return fs::path(baseName + std::to_string(number) + ".arh");
}

// Removes a file when it goes out of scope.
class TTempFile {
 public:
  explicit TTempFile(fs::path path) : path_(std::move(path)) {}
  ~TTempFile() {
    std::error_code ec;
    fs::remove(path_, ec);
  }
  TTempFile(const TTempFile&) = delete;
  TTempFile& operator=(const TTempFile&) = delete;
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

bool JoinVolumes(const std::string& baseName, const fs::path& joined) {
  std::ofstream out(joined, std::ios::binary | std::ios::trunc);
  std::error_code ec;
  for (int i = 0; fs::exists(VolumePath(baseName, i), ec); ++i) {
    std::ifstream volume(VolumePath(baseName, i), std::ios::binary);
    if (!volume) return false;
    out << volume.rdbuf();
  }
  out.close();
  return static_cast<bool>(out);
}
}  // namespace

TArec ParseArchiveLine(std::string_view line) {
  return {Field(line, 1), Field(line, 2), Field(line, 3), Field(line, 4)};
}

std::optional<TArchiveIndex> ReadArchiveIndex(std::istream& in, bool multiVolumeFields) {
  std::string line;
  if (!ReadLine(in, line) || !Contains(line, "BEGIN;")) return std::nullopt;
  TArchiveIndex index;
  const auto offset = NumberField(line, 2);
  if (!offset || *offset < 0) return std::nullopt;
  index.DataOffset = static_cast<std::uint64_t>(*offset);
  if (multiVolumeFields) {
    const auto flag = NumberField(line, 3);
    if (!flag || !NumberField(line, 4)) return std::nullopt;
    index.MultiVolume = *flag == 1;
  }
  while (ReadLine(in, line)) {
    if (line == "END") return index;
    if (line.size() < kMaxArchiveLine) index.Entries.push_back(ParseArchiveLine(line));
  }
  return std::nullopt;
}

bool ArchiveNameIsSafe(const TArec& entry) {
  return (entry.SubFolder.empty() || SafeRelativePath(entry.SubFolder)) && SafeRelativePath(entry.FileName);
}

bool ReadArchiveEntries(std::istream& in, const TArchiveIndex& index, const TArchiveSink& sink) {
  return VisitEntries(in, index, [&](const TArec& entry, std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> content;
    const bool decoded = DecodeEntry(entry, data, [&](std::span<const std::uint8_t> part) {
      if (part.size() > kMaxDecompressedSize - content.size()) return false;
      content.insert(content.end(), part.begin(), part.end());
      return true;
    });
    return decoded && sink(entry, content);
  });
}

TArchiveCap ArchiveWriteCap(std::uint64_t archiveBytes, const fs::path& destDir) {
  TArchiveCap cap;
  cap.Bytes = archiveBytes > kArchiveFloorBytes / kArchiveExpansion ? archiveBytes * kArchiveExpansion
                                                                     : kArchiveFloorBytes;
  // The folder may not be there yet: the space is that of its nearest existing one.
  fs::path folder = destDir;
  std::error_code ec;
  while (!folder.empty() && !fs::is_directory(folder, ec) && folder.has_relative_path()) folder = folder.parent_path();
  if (folder.empty()) folder = ".";
  const fs::space_info space = fs::space(folder, ec);
  if (!ec && space.available != static_cast<std::uintmax_t>(-1)) {
    const std::uint64_t room = space.available > kFreeSpaceReserve ? space.available - kFreeSpaceReserve : 0;
    if (room < cap.Bytes) cap = {room, true};
  }
  return cap;
}

std::string ArchiveProblem() { return lastProblem; }

bool ExtractArchive(const fs::path& archiveFile, const fs::path& destDir, const TArchiveProgress& progress) {
  lastProblem.clear();
  std::ifstream in(archiveFile, std::ios::binary);
  if (!in) return false;
  const auto index = ReadArchiveIndex(in, false);
  return index && ExtractFrom(in, *index, destDir, progress);
}

bool ExtractMultiVolumeArchive(const std::string& baseName, const fs::path& destDir,
                               const TArchiveProgress& progress) {
  lastProblem.clear();
  std::ifstream first(VolumePath(baseName, 0), std::ios::binary);
  if (!first) return false;
  const auto index = ReadArchiveIndex(first, true);
  if (!index) return false;
  if (!index->MultiVolume) return ExtractFrom(first, *index, destDir, progress);
  first.close();
  const TTempFile joined(NewTempFilePath(".arh"));
  if (!JoinVolumes(baseName, joined.Path())) return false;
  std::ifstream in(joined.Path(), std::ios::binary);
  return in && ExtractFrom(in, *index, destDir, progress);
}

namespace {
// Calls `found` with the path and the "\"-separated relative name of every file
// below `dir`; links count as files.
void VisitFiles(const fs::path& dir, const std::string& prefix,
                const std::function<void(const fs::path&, const std::string&)>& found) {
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (it->is_directory(typeError) && !it->is_symlink(typeError)) VisitFiles(it->path(), prefix + name + "\\", found);
    else found(it->path(), prefix + name);
  }
}
}  // namespace

void ListFilesInTree(const fs::path& dir, const std::string& prefix, std::vector<std::string>& list) {
  VisitFiles(dir, prefix, [&](const fs::path&, const std::string& name) { list.push_back(name); });
}

bool DeleteFilesInTree(const fs::path& dir) {
  if (dir.empty()) return false;
  std::error_code ec;
  const fs::path real = fs::weakly_canonical(dir, ec);
  if (ec || real == real.root_path()) return false;
  std::vector<fs::path> files;
  VisitFiles(dir, "", [&](const fs::path& path, const std::string&) { files.push_back(path); });
  bool allDeleted = true;
  for (const auto& path : files) {
    fs::remove(path, ec);  // a link itself goes, never its target
    if (ec) allDeleted = false;
  }
  return allDeleted;
}
