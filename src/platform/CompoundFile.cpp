#include "platform/CompoundFile.h"

#include "platform/ByteStream.h"
#include "platform/CompoundFileModule.h"
#include "platform/FileIO.h"
#include "platform/Module.h"
#include "platform/Text.h"

namespace {
ICompoundFileModule* Compound(std::string* error) {
  return LoadModule("compound", tressary_module_compound, error);
}

void SetError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
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

std::optional<std::vector<std::uint8_t>> TCompoundFileWriter::Build(std::string* error) const {
  ICompoundFileModule* compound = Compound(error);
  return compound ? compound->Build(streams_, error) : std::nullopt;
}

bool TCompoundFileWriter::Save(const fs::path& path, std::string* error) const {
  auto bytes = Build(error);
  if (!bytes) return false;
  if (!WriteFileAtomic(path, *bytes)) {
    SetError(error, "cannot write " + path.string());
    return false;
  }
  return true;
}

struct TCompoundFileReader::Impl {
  std::vector<std::uint8_t> bytes;  // what the storage reads from
  std::unique_ptr<ICompoundStorage> root;
};

TCompoundFileReader::TCompoundFileReader(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TCompoundFileReader::~TCompoundFileReader() = default;

std::unique_ptr<TCompoundFileReader> TCompoundFileReader::Open(const fs::path& path, std::string* error) {
  auto bytes = ReadFileBytes(path);
  if (!bytes) {
    SetError(error, "cannot read " + path.string());
    return nullptr;
  }
  return FromMemory(std::move(*bytes), error);
}

std::unique_ptr<TCompoundFileReader> TCompoundFileReader::FromMemory(std::vector<std::uint8_t> bytes,
                                                                     std::string* error) {
  ICompoundFileModule* compound = Compound(error);
  if (!compound) return nullptr;
  auto impl = std::make_unique<Impl>();
  impl->bytes = std::move(bytes);
  impl->root = compound->Open(impl->bytes, error);
  if (!impl->root) return nullptr;
  return std::unique_ptr<TCompoundFileReader>(new TCompoundFileReader(std::move(impl)));
}

std::vector<std::string> TCompoundFileReader::StreamNames() const {
  std::vector<std::string> names;
  const int count = impl_->root->Count();
  for (int i = 0; i < count; ++i) {
    if (!impl_->root->IsStream(i)) continue;
    if (std::string name = impl_->root->Name(i); !name.empty()) names.push_back(std::move(name));
  }
  return names;
}

bool TCompoundFileReader::HasStream(std::string_view name) const {
  for (const std::string& n : StreamNames())
    if (EqualsNoCase(n, name)) return true;
  return false;
}

std::optional<std::vector<std::uint8_t>> TCompoundFileReader::ReadStream(std::string_view name,
                                                                         std::uint64_t maxBytes) const {
  const int count = impl_->root->Count();
  for (int i = 0; i < count; ++i) {
    const std::string entry = impl_->root->Name(i);
    if (entry.empty() || !EqualsNoCase(entry, name)) continue;
    return impl_->root->Read(i, maxBytes);
  }
  return std::nullopt;
}
