#pragma once
// libgsf behind the compound files: the module "compound" (see
// platform/Module.h), loaded with the first work container read or written.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/ByteSource.h"
#include "platform/FileResult.h"

struct TCompoundStream;

// The root storage of a compound file read from memory.
class ICompoundStorage {
 public:
  virtual ~ICompoundStorage() = default;
  // The entries of the root, by index: its name ("" when it has none), whether
  // it is a stream (not a storage), and a stream's bytes (nullopt when larger
  // than `maxBytes` or unreadable).
  virtual int Count() = 0;
  virtual std::string Name(int index) = 0;
  virtual bool IsStream(int index) = 0;
  virtual std::optional<std::vector<std::uint8_t>> Read(int index, std::uint64_t maxBytes) = 0;
  // Where a stream's bytes lie in the file, when they lie in one piece (nullopt:
  // read it).
  virtual std::optional<TByteRange> Where(int /*index*/, std::uint64_t /*maxBytes*/) { return std::nullopt; }
};

// Errors come back without a path (the caller has it) and are made in place: the
// module links nothing of ours.
class ICompoundFileModule {
 public:
  // The compound file holding `streams` in its root, or CannotWrite with the
  // library's words.
  virtual TFileResult<std::vector<std::uint8_t>> Build(const std::vector<TCompoundStream>& streams) = 0;
  // The root of the compound file in `bytes` (which must outlive it), or Damaged
  // with the library's words when it is not one.
  virtual TFileResult<std::unique_ptr<ICompoundStorage>> Open(std::span<const std::uint8_t> bytes) = 0;

 protected:
  ~ICompoundFileModule() = default;
};

extern "C" [[gnu::weak]] ICompoundFileModule* tressary_module_compound();
