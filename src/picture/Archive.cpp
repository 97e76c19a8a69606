#include "picture/Archive.h"

#include <algorithm>
#include <cerrno>
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

// The file and information headers of a 32-bit bitmap.
constexpr std::uint64_t kBmpHeaderBytes = 54;

std::string Megabytes(std::uint64_t bytes) { return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MB"; }

constexpr const char* kNoArchiveHeader = "it does not begin with an archive's header";

TFileError Damaged(const fs::path& archive, std::string finding) {
  return FileError(TFileFault::Damaged, archive, 0, std::move(finding));
}

std::string EntryName(const TArec& entry) {
  return "\"" + (entry.SubFolder.empty() ? entry.FileName : entry.SubFolder + "\\" + entry.FileName) + "\"";
}

TFileError Undecodable(const fs::path& archive, const TArec& entry) {
  return Damaged(archive, "the entry " + EntryName(entry) + " does not decode");
}

using TEntryVisit = std::function<TFileResult<>(const TArec&, std::vector<std::uint8_t>&)>;

// The data of each entry as it lies in `archive`, one entry at a time; stops at
// a size that is not a number or passes the end of the data, or where `visit`
// fails.
TFileResult<> VisitEntries(std::istream& in, const TArchiveIndex& index, const fs::path& archive,
                           const TEntryVisit& visit) {
  in.clear();
  in.seekg(0, std::ios::end);
  const auto end = static_cast<std::int64_t>(in.tellg());
  if (end < 0 || index.DataOffset > std::uint64_t(end)) return Damaged(archive, "its data begins past its end");
  in.seekg(static_cast<std::streamoff>(index.DataOffset));
  std::int64_t position = static_cast<std::int64_t>(index.DataOffset);
  std::vector<std::uint8_t> data;
  for (const TArec& entry : index.Entries) {
    const auto size = ParseInt64(entry.Size);
    if (!size || *size < 0) return Damaged(archive, "the entry " + EntryName(entry) + " has no size");
    if (*size > end - position) return Damaged(archive, "the entry " + EntryName(entry) + " passes its end");
    data.resize(static_cast<std::size_t>(*size));
    if (!in.read(reinterpret_cast<char*>(data.data()), *size)) return FileError(TFileFault::CannotRead, archive, EIO);
    position += *size;
    if (TFileResult<> visited = visit(entry, data); !visited) return visited;
  }
  return {};
}

using TContentSink = std::function<TFileResult<>(std::span<const std::uint8_t>)>;

// Hands the decoded content of an entry to `out` part by part (a packed picture
// whole); stops where it does not decode or `out` fails.
TFileResult<> DecodeEntry(const TArec& entry, std::vector<std::uint8_t>& data, const fs::path& archive,
                          const TContentSink& out) {
  if (entry.EntryType == "2") return out(data);
  if (entry.EntryType == "1") {
    const auto bmp = PackedPictureToBmpStream(data);
    if (!bmp) return Undecodable(archive, entry);
    return out(*bmp);
  }
  if (entry.EntryType != "0")
    return Damaged(archive, "the entry " + EntryName(entry) + " is of an unknown type \"" + entry.EntryType + "\"");
  TInflater inflater(data);
  std::vector<std::uint8_t> block(std::size_t(1) << 16);
  for (;;) {
    const std::optional<std::size_t> produced = inflater.ReadSome(block);
    if (!produced) return Undecodable(archive, entry);
    if (*produced == 0) return {};
    if (TFileResult<> taken = out(std::span(block).first(*produced)); !taken) return taken;
  }
}

// What the entries will write, counted up to the first that does not decode
// (where the extraction stops); OverCap as soon as it passes `cap`. A packed
// picture counts as the bitmap its size makes, unpacked only when written.
TFileResult<std::uint64_t> BytesToWrite(std::istream& in, const TArchiveIndex& index, const fs::path& archive,
                                        const TArchiveCap& cap) {
  const TFileError over =
      FileError(TFileFault::OverCap, archive, 0,
                "it would write more than " + Megabytes(cap.Bytes) +
                    (cap.BySpace ? ", the free space on the disk" : ", the most an archive of its size may write"));
  std::uint64_t total = 0;
  auto add = [&](std::uint64_t bytes) -> TFileResult<> {
    if (bytes > cap.Bytes - total) return over;
    total += bytes;
    return {};
  };
  const TFileResult<> counted =
      VisitEntries(in, index, archive, [&](const TArec& entry, std::vector<std::uint8_t>& data) -> TFileResult<> {
        if (entry.EntryType == "1") {
          const std::optional<std::uint64_t> pixels = PackedPicturePixels(data);
          if (!pixels) return Undecodable(archive, entry);
          return add(*pixels * 4 + kBmpHeaderBytes);
        }
        return DecodeEntry(entry, data, archive, [&](std::span<const std::uint8_t> part) { return add(part.size()); });
      });
  if (!counted && counted.Error().Cause == TFileFault::OverCap) return counted.Error();
  return total;
}

std::uint64_t StreamSize(std::istream& in) {
  in.clear();
  in.seekg(0, std::ios::end);
  const auto end = static_cast<std::int64_t>(in.tellg());
  return end > 0 ? std::uint64_t(end) : 0;
}

TFileResult<> ExtractFrom(std::istream& in, const TArchiveIndex& index, const fs::path& archive,
                          const fs::path& destDir, const TArchiveProgress& progress) {
  // One name that would leave the folder refuses the whole archive before a file is written.
  for (const TArec& entry : index.Entries)
    if (!StaysInside(destDir, entry))
      return FileError(TFileFault::UnsafeName, archive, 0,
                       "the name " + EntryName(entry) + " in it leads outside its folder");
  // So does an archive that would write more than it may.
  const TFileResult<std::uint64_t> total = BytesToWrite(in, index, archive, ArchiveWriteCap(StreamSize(in), destDir));
  if (!total) return total.Error();
  std::error_code ec;
  fs::create_directories(destDir, ec);
  // Files are written without waiting for the disk, which takes them all at once at the end.
  std::uint64_t written = 0;
  const TFileResult<> whole =
      VisitEntries(in, index, archive, [&](const TArec& entry, std::vector<std::uint8_t>& data) -> TFileResult<> {
        const std::optional<fs::path> target = EntryTarget(destDir, entry);
        if (!target) return FileError(TFileFault::CannotWrite, EntryPath(destDir, entry).parent_path(), ENOTDIR);
        TUnsyncedFile file(*target);
        TFileResult<> decoded = DecodeEntry(entry, data, archive, [&](std::span<const std::uint8_t> part) {
          written += part.size();
          return file.Write(part);
        });
        if (!decoded) return decoded;
        if (TFileResult<> committed = file.Commit(); !committed) return committed;
        // A picture's bitmap may come out smaller than its size foretold.
        if (progress) progress(written, std::max(written, *total));
        return {};
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

// Why a file that `in` could not open was not opened.
TFileError OpenFailure(const fs::path& file) {
  const int system = errno;
  std::error_code ec;
  if (!fs::exists(file, ec)) return FileError(TFileFault::NoSuchFile, file);
  return FileError(TFileFault::CannotRead, file, system);
}

TFileResult<> JoinVolumes(const std::string& baseName, const fs::path& joined) {
  std::ofstream out(joined, std::ios::binary | std::ios::trunc);
  std::error_code ec;
  for (int i = 0; out && fs::exists(VolumePath(baseName, i), ec); ++i) {
    std::ifstream volume(VolumePath(baseName, i), std::ios::binary);
    if (!volume) return OpenFailure(VolumePath(baseName, i));
    out << volume.rdbuf();
  }
  out.close();
  if (!out) return FileError(TFileFault::CannotWrite, joined, errno);
  return {};
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
  // A stream has no file name to give its faults: only whether it read is told.
  const fs::path unnamed;
  return VisitEntries(in, index, unnamed, [&](const TArec& entry, std::vector<std::uint8_t>& data) -> TFileResult<> {
    std::vector<std::uint8_t> content;
    TFileResult<> decoded = DecodeEntry(entry, data, unnamed, [&](std::span<const std::uint8_t> part) -> TFileResult<> {
      if (part.size() > kMaxDecompressedSize - content.size()) return FileError(TFileFault::OverCap, unnamed);
      content.insert(content.end(), part.begin(), part.end());
      return {};
    });
    if (decoded && !sink(entry, content)) return Undecodable(unnamed, entry);
    return decoded;
  }).Ok();
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

TFileResult<> ExtractArchive(const fs::path& archiveFile, const fs::path& destDir, const TArchiveProgress& progress) {
  std::ifstream in(archiveFile, std::ios::binary);
  if (!in) return OpenFailure(archiveFile);
  const auto index = ReadArchiveIndex(in, false);
  if (!index) return Damaged(archiveFile, kNoArchiveHeader);
  return ExtractFrom(in, *index, archiveFile, destDir, progress);
}

TFileResult<> ExtractMultiVolumeArchive(const std::string& baseName, const fs::path& destDir,
                                        const TArchiveProgress& progress) {
  // The set is named by its first volume, whichever volume the fault lies in.
  const fs::path first = VolumePath(baseName, 0);
  std::ifstream head(first, std::ios::binary);
  if (!head) return OpenFailure(first);
  const auto index = ReadArchiveIndex(head, true);
  if (!index) return Damaged(first, kNoArchiveHeader);
  if (!index->MultiVolume) return ExtractFrom(head, *index, first, destDir, progress);
  head.close();
  const TTempFile joined(NewTempFilePath(".arh"));
  if (TFileResult<> made = JoinVolumes(baseName, joined.Path()); !made) return made;
  std::ifstream in(joined.Path(), std::ios::binary);
  if (!in) return OpenFailure(joined.Path());
  return ExtractFrom(in, *index, first, destDir, progress);
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
