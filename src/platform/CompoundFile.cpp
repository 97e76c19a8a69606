#include "platform/CompoundFile.h"

#include <map>

#include "platform/ByteStream.h"
#include "platform/CompoundFileModule.h"
#include "platform/CompoundReader.h"
#include "platform/FileIO.h"
#include "platform/Module.h"
#include "platform/Text.h"

namespace {
// The module, or why it did not load, as `cause` of `file`.
TFileResult<ICompoundFileModule*> Compound(TFileFault cause, const fs::path& file) {
  return LoadFileModule("compound", tressary_module_compound, cause, file);
}

// The module's error, which carries no path, made the file's.
TFileError Named(TFileError error, const fs::path& file) {
  error.Path = file;
  return error;
}
}  // namespace

bool IsValidStreamName(std::string_view name) {
  if (name.empty() || name.size() > 31) return false;
  for (char c : name)
    if (c == '/' || c == '\\' || c == ':' || c == '!' || static_cast<unsigned char>(c) < 32) return false;
  return true;
}

bool TCompoundFileWriter::AddStream(std::string_view name, std::span<const std::uint8_t> data) {
  if (!IsValidStreamName(name)) return false;
  for (const TCompoundStream& s : streams_)
    if (EqualsNoCase(s.name, name)) return false;
  streams_.push_back({std::string(name), std::vector<std::uint8_t>(data.begin(), data.end())});
  return true;
}

bool TCompoundFileWriter::AddStream(std::string_view name, std::string_view text) {
  return AddStream(name, AsBytes(text));
}

TFileResult<std::vector<std::uint8_t>> TCompoundFileWriter::Build(const fs::path& file) const {
  const TFileResult<ICompoundFileModule*> compound = Compound(TFileFault::CannotWrite, file);
  if (!compound) return compound.Error();
  TFileResult<std::vector<std::uint8_t>> built = (*compound)->Build(streams_);
  if (!built) return Named(built.Error(), file);
  return built;
}

TFileResult<> TCompoundFileWriter::Save(const fs::path& path) const {
  TFileResult<std::vector<std::uint8_t>> bytes = Build(path);
  if (!bytes) return bytes.Error();
  return WriteFileAtomic(path, *bytes);
}

struct TCompoundFileReader::Impl {
  std::vector<std::uint8_t> bytes;      // the file in memory, when it is read from memory
  std::unique_ptr<TByteSource> source;  // what the storage reads from
  std::unique_ptr<ICompoundStorage> root;
  // The root's entries, named once: the library finds an entry by walking its
  // list, which for every lookup would make opening a work of many layers
  // take time in the cube of their number.
  std::vector<std::string> names;                           // by index; "" for none
  std::map<std::string, int, std::less<>> indexByUpperName;  // the first of a name
};

TCompoundFileReader::TCompoundFileReader(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TCompoundFileReader::~TCompoundFileReader() = default;

TCompoundFileReader::TOpened TCompoundFileReader::Open(const fs::path& path) {
  std::unique_ptr<TByteSource> source = TByteSource::OpenFile(path);
  if (!source) {
    std::error_code error;
    return FileError(fs::exists(path, error) ? TFileFault::CannotRead : TFileFault::NoSuchFile, path);
  }
  return FromSource(std::move(source), path);
}

TCompoundFileReader::TOpened TCompoundFileReader::FromMemory(std::vector<std::uint8_t> bytes, const fs::path& file) {
  auto impl = std::make_unique<Impl>();
  impl->bytes = std::move(bytes);
  impl->source = std::make_unique<TByteSource>(impl->bytes);
  return Finish(std::move(impl), file);
}

TCompoundFileReader::TOpened TCompoundFileReader::FromSource(std::unique_ptr<TByteSource> source,
                                                             const fs::path& file) {
  auto impl = std::make_unique<Impl>();
  impl->source = std::move(source);
  return Finish(std::move(impl), file);
}

TCompoundFileReader::TOpened TCompoundFileReader::Finish(std::unique_ptr<Impl> impl, const fs::path& file) {
  impl->root = OpenCompoundRoot(*impl->source);
  if (!impl->root) {
    // The library reads from memory: a file it is left to is read whole.
    const TFileResult<ICompoundFileModule*> compound = Compound(TFileFault::UnknownType, file);
    if (!compound) return compound.Error();
    if (impl->bytes.empty() && impl->source->Size() > 0) {
      constexpr std::uint64_t kMaxWhole = std::uint64_t(1) << 31;
      ByteBuffer held;
      const std::uint8_t* all =
          impl->source->Size() <= kMaxWhole ? impl->source->Get(0, std::size_t(impl->source->Size()), held) : nullptr;
      if (!all) return FileError(TFileFault::CannotRead, file);
      impl->bytes.assign(all, all + impl->source->Size());
      impl->source = std::make_unique<TByteSource>(impl->bytes);
    }
    TFileResult<std::unique_ptr<ICompoundStorage>> root = (*compound)->Open(impl->bytes);
    if (!root) return Named(root.Error(), file);
    impl->root = *std::move(root);
  }
  const int count = impl->root->Count();
  for (int i = 0; i < count; ++i) {
    impl->names.push_back(impl->root->Name(i));
    if (!impl->names.back().empty()) impl->indexByUpperName.emplace(UpperAscii(impl->names.back()), i);
  }
  return std::unique_ptr<TCompoundFileReader>(new TCompoundFileReader(std::move(impl)));
}

std::vector<std::string> TCompoundFileReader::StreamNames() const {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < impl_->names.size(); ++i)
    if (!impl_->names[i].empty() && impl_->root->IsStream(int(i))) names.push_back(impl_->names[i]);
  return names;
}

bool TCompoundFileReader::HasStream(std::string_view name) const {
  const auto it = impl_->indexByUpperName.find(UpperAscii(name));
  return it != impl_->indexByUpperName.end() && impl_->root->IsStream(it->second);
}

std::optional<std::vector<std::uint8_t>> TCompoundFileReader::ReadStream(std::string_view name,
                                                                         std::uint64_t maxBytes) const {
  const auto it = impl_->indexByUpperName.find(UpperAscii(name));
  if (it == impl_->indexByUpperName.end()) return std::nullopt;
  return impl_->root->Read(it->second, maxBytes);
}

std::optional<TByteRange> TCompoundFileReader::StreamRange(std::string_view name, std::uint64_t maxBytes) const {
  const auto it = impl_->indexByUpperName.find(UpperAscii(name));
  if (it == impl_->indexByUpperName.end()) return std::nullopt;
  return impl_->root->Where(it->second, maxBytes);
}
