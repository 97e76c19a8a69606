#include "platform/CompoundFile.h"

#include <gsf/gsf.h>

#include <mutex>

#include "platform/ByteStream.h"
#include "platform/FileIO.h"
#include "platform/Text.h"

namespace {
void InitGsf() {
  static std::once_flag once;
  std::call_once(once, [] { gsf_init(); });
}

// Owns one GObject reference.
template <typename T>
struct GObjectPtr {
  T* p = nullptr;
  explicit GObjectPtr(T* ptr = nullptr) : p(ptr) {}
  ~GObjectPtr() {
    if (p) g_object_unref(p);
  }
  GObjectPtr(const GObjectPtr&) = delete;
  GObjectPtr& operator=(const GObjectPtr&) = delete;
  explicit operator bool() const { return p != nullptr; }
};

std::string TakeError(GError* err, const char* fallback) {
  std::string text = err && err->message ? err->message : fallback;
  if (err) g_error_free(err);
  return text;
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
  for (const Stream& s : streams_)
    if (EqualsNoCase(s.name, name)) return false;
  streams_.push_back({std::string(name), std::vector<std::uint8_t>(data.begin(), data.end())});
  return true;
}

bool TCompoundFileWriter::AddStream(std::string_view name, std::string_view text) {
  return AddStream(name, AsBytes(text));
}

std::optional<std::vector<std::uint8_t>> TCompoundFileWriter::Build(std::string* error) const {
  InitGsf();
  GObjectPtr<GsfOutput> sink(gsf_output_memory_new());
  GObjectPtr<GsfOutfile> root(gsf_outfile_msole_new(sink.p));
  if (!root) {
    SetError(error, "cannot create a compound file");
    return std::nullopt;
  }
  // libgsf corrupts interleaved writes: each stream is written whole and closed
  // before the next one is opened.
  for (const Stream& s : streams_) {
    GObjectPtr<GsfOutput> child(gsf_outfile_new_child(root.p, s.name.c_str(), FALSE));
    bool ok = child && (s.data.empty() || gsf_output_write(child.p, s.data.size(), s.data.data()));
    ok = child && gsf_output_close(child.p) && ok;
    if (!ok) {
      SetError(error, "cannot write stream " + s.name);
      return std::nullopt;
    }
  }
  // Closing the root also closes its sink.
  bool closed = gsf_output_close(GSF_OUTPUT(root.p));
  if (closed && !gsf_output_is_closed(sink.p)) closed = gsf_output_close(sink.p);
  if (!closed) {
    SetError(error, "cannot close the compound file");
    return std::nullopt;
  }
  const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.p));
  auto size = static_cast<std::size_t>(gsf_output_size(sink.p));
  return std::vector<std::uint8_t>(bytes, bytes + size);
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
  std::vector<std::uint8_t> bytes;  // backing store of a reader made from memory
  GsfInput* input = nullptr;
  GsfInfile* root = nullptr;
  ~Impl() {
    if (root) g_object_unref(root);
    if (input) g_object_unref(input);
  }
};

TCompoundFileReader::TCompoundFileReader(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TCompoundFileReader::~TCompoundFileReader() = default;

std::unique_ptr<TCompoundFileReader> TCompoundFileReader::Open(const fs::path& path, std::string* error) {
  InitGsf();
  auto bytes = ReadFileBytes(path);
  if (!bytes) {
    SetError(error, "cannot read " + path.string());
    return nullptr;
  }
  return FromMemory(std::move(*bytes), error);
}

std::unique_ptr<TCompoundFileReader> TCompoundFileReader::FromMemory(std::vector<std::uint8_t> bytes,
                                                                     std::string* error) {
  InitGsf();
  auto impl = std::make_unique<Impl>();
  impl->bytes = std::move(bytes);
  impl->input = gsf_input_memory_new(impl->bytes.data(), static_cast<gsf_off_t>(impl->bytes.size()), FALSE);
  if (!impl->input) {
    SetError(error, "cannot read the compound file");
    return nullptr;
  }
  GError* err = nullptr;
  impl->root = gsf_infile_msole_new(impl->input, &err);
  if (!impl->root) {
    SetError(error, TakeError(err, "not a compound file"));
    return nullptr;
  }
  if (err) g_error_free(err);
  return std::unique_ptr<TCompoundFileReader>(new TCompoundFileReader(std::move(impl)));
}

std::vector<std::string> TCompoundFileReader::StreamNames() const {
  std::vector<std::string> names;
  int count = gsf_infile_num_children(impl_->root);
  for (int i = 0; i < count; ++i) {
    GObjectPtr<GsfInput> child(gsf_infile_child_by_index(impl_->root, i));
    if (!child || (GSF_IS_INFILE(child.p) && gsf_infile_num_children(GSF_INFILE(child.p)) >= 0)) continue;
    if (const char* name = gsf_infile_name_by_index(impl_->root, i)) names.emplace_back(name);
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
  int count = gsf_infile_num_children(impl_->root);
  for (int i = 0; i < count; ++i) {
    const char* entry = gsf_infile_name_by_index(impl_->root, i);
    if (!entry || !EqualsNoCase(entry, name)) continue;
    GObjectPtr<GsfInput> child(gsf_infile_child_by_index(impl_->root, i));
    if (!child) return std::nullopt;
    gsf_off_t size = gsf_input_size(child.p);
    if (size < 0 || static_cast<std::uint64_t>(size) > maxBytes) return std::nullopt;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    if (size > 0 && !gsf_input_read(child.p, data.size(), data.data())) return std::nullopt;
    return data;
  }
  return std::nullopt;
}
