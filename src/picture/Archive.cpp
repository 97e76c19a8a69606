#include "picture/Archive.h"

#include <fstream>
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

std::vector<std::string> PathParts(std::string_view path) {
  std::string text(path);
  for (char& c : text)
    if (c == '\\') c = '/';
  std::vector<std::string> parts;
  for (auto& part : SplitFields(text, '/'))
    if (!part.empty()) parts.push_back(part);
  return parts;
}

bool PartIsSafe(const std::string& part) {
  return part != "." && part != ".." && part.find(':') == std::string::npos &&
         part.find('\0') == std::string::npos;
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

// Writes one entry below `dest`; see ExtractArchive.
bool WriteEntry(const fs::path& dest, const TArec& entry, const std::vector<std::uint8_t>& content) {
  if (!ArchiveNameIsSafe(entry)) return false;
  const fs::path file = EntryPath(dest, entry);
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  if (ec || !fs::is_directory(file.parent_path(), ec)) return false;
  // A folder that is a link to elsewhere must not carry the file out of `dest`.
  if (!IsInside(file.parent_path(), dest)) return false;
  return WriteFileAtomic(file, content);
}

bool ExtractFrom(std::istream& in, const TArchiveIndex& index, const fs::path& destDir) {
  // One name that would leave the folder refuses the whole archive before a file is written.
  for (const TArec& entry : index.Entries)
    if (!StaysInside(destDir, entry)) return false;
  std::error_code ec;
  fs::create_directories(destDir, ec);
  return ReadArchiveEntries(in, index, [&](const TArec& entry, std::vector<std::uint8_t>& content) {
    return WriteEntry(destDir, entry, content);
  });
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
  for (const std::string* text : {&entry.SubFolder, &entry.FileName}) {
    if (!text->empty() && (text->front() == '\\' || text->front() == '/')) return false;
    for (const auto& part : PathParts(*text))
      if (!PartIsSafe(part)) return false;
  }
  return !PathParts(entry.FileName).empty();
}

bool ReadArchiveEntries(std::istream& in, const TArchiveIndex& index, const TArchiveSink& sink) {
  in.clear();
  in.seekg(0, std::ios::end);
  const auto end = static_cast<std::int64_t>(in.tellg());
  if (end < 0 || index.DataOffset > std::uint64_t(end)) return false;
  in.seekg(static_cast<std::streamoff>(index.DataOffset));
  std::int64_t position = static_cast<std::int64_t>(index.DataOffset);
  for (const TArec& entry : index.Entries) {
    const auto size = ParseInt64(entry.Size);
    if (!size || *size < 0 || *size > end - position) return false;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(*size));
    if (!in.read(reinterpret_cast<char*>(data.data()), *size)) return false;
    position += *size;
    if (entry.EntryType == "0") {
      auto inflated = DecompressStream(data);
      if (!inflated) return false;
      data = std::move(*inflated);
    } else if (entry.EntryType == "1") {
      auto bmp = PackedPictureToBmpStream(data);
      if (!bmp) return false;
      data = std::move(*bmp);
    } else if (entry.EntryType != "2") {
      return false;
    }
    if (!sink(entry, data)) return false;
  }
  return true;
}

bool ExtractArchive(const fs::path& archiveFile, const fs::path& destDir) {
  std::ifstream in(archiveFile, std::ios::binary);
  if (!in) return false;
  const auto index = ReadArchiveIndex(in, false);
  return index && ExtractFrom(in, *index, destDir);
}

bool ExtractMultiVolumeArchive(const std::string& baseName, const fs::path& destDir) {
  std::ifstream first(VolumePath(baseName, 0), std::ios::binary);
  if (!first) return false;
  const auto index = ReadArchiveIndex(first, true);
  if (!index) return false;
  if (!index->MultiVolume) return ExtractFrom(first, *index, destDir);
  first.close();
  const TTempFile joined(NewTempFilePath(".arh"));
  if (!JoinVolumes(baseName, joined.Path())) return false;
  std::ifstream in(joined.Path(), std::ios::binary);
  return in && ExtractFrom(in, *index, destDir);
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
