// The module "compound": libgsf.
#include <gsf/gsf.h>

#include "platform/CompoundFile.h"
#include "platform/CompoundFileModule.h"

namespace {

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

TFileError Failed(TFileFault cause, std::string words) { return {cause, {}, 0, std::move(words)}; }

class TGsfStorage final : public ICompoundStorage {
 public:
  TGsfStorage(GsfInput* input, GsfInfile* root) : input_(input), root_(root) {}
  ~TGsfStorage() override {
    g_object_unref(root_);
    g_object_unref(input_);
  }

  int Count() override { return gsf_infile_num_children(root_); }
  std::string Name(int index) override {
    const char* name = gsf_infile_name_by_index(root_, index);
    return name ? name : "";
  }
  bool IsStream(int index) override {
    GObjectPtr<GsfInput> child(gsf_infile_child_by_index(root_, index));
    return child && !(GSF_IS_INFILE(child.p) && gsf_infile_num_children(GSF_INFILE(child.p)) >= 0);
  }
  std::optional<std::vector<std::uint8_t>> Read(int index, std::uint64_t maxBytes) override {
    GObjectPtr<GsfInput> child(gsf_infile_child_by_index(root_, index));
    if (!child) return std::nullopt;
    gsf_off_t size = gsf_input_size(child.p);
    if (size < 0 || static_cast<std::uint64_t>(size) > maxBytes) return std::nullopt;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    if (size > 0 && !gsf_input_read(child.p, data.size(), data.data())) return std::nullopt;
    return data;
  }

 private:
  GsfInput* input_;
  GsfInfile* root_;
};

class TGsf final : public ICompoundFileModule {
 public:
  TGsf() { gsf_init(); }

  TFileResult<std::vector<std::uint8_t>> Build(const std::vector<TCompoundStream>& streams) override {
    GObjectPtr<GsfOutput> sink(gsf_output_memory_new());
    GObjectPtr<GsfOutfile> root(gsf_outfile_msole_new(sink.p));
    if (!root) return Failed(TFileFault::CannotWrite, "cannot create a compound file");
    // libgsf corrupts interleaved writes: each stream is written whole and closed
    // before the next one is opened.
    for (const TCompoundStream& s : streams) {
      GObjectPtr<GsfOutput> child(gsf_outfile_new_child(root.p, s.name.c_str(), FALSE));
      bool ok = child && (s.data.empty() || gsf_output_write(child.p, s.data.size(), s.data.data()));
      ok = child && gsf_output_close(child.p) && ok;
      if (!ok) return Failed(TFileFault::CannotWrite, "cannot write stream " + s.name);
    }
    // Closing the root also closes its sink.
    bool closed = gsf_output_close(GSF_OUTPUT(root.p));
    if (closed && !gsf_output_is_closed(sink.p)) closed = gsf_output_close(sink.p);
    if (!closed) return Failed(TFileFault::CannotWrite, "cannot close the compound file");
    const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.p));
    auto size = static_cast<std::size_t>(gsf_output_size(sink.p));
    return std::vector<std::uint8_t>(bytes, bytes + size);
  }

  TFileResult<std::unique_ptr<ICompoundStorage>> Open(std::span<const std::uint8_t> bytes) override {
    GsfInput* input = gsf_input_memory_new(bytes.data(), static_cast<gsf_off_t>(bytes.size()), FALSE);
    if (!input) return Failed(TFileFault::Damaged, "cannot read the compound file");
    GError* err = nullptr;
    GsfInfile* root = gsf_infile_msole_new(input, &err);
    if (!root) {
      g_object_unref(input);
      return Failed(TFileFault::Damaged, TakeError(err, "not a compound file"));
    }
    if (err) g_error_free(err);
    return std::unique_ptr<ICompoundStorage>(std::make_unique<TGsfStorage>(input, root));
  }
};

}  // namespace

extern "C" [[gnu::visibility("default")]] ICompoundFileModule* tressary_module_compound() {
  // The module's one instance, alive as long as the module stays loaded.
  static TGsf gsf;
  return &gsf;
}
