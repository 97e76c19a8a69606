#pragma once
// Every compressed thing the program stores (masks, work files, ".fcc" and packed
// pictures, archive entries) is one zlib stream made and read here.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// Decompressed data beyond this is refused: a few kilobytes of hostile stream
// must not make us allocate gigabytes. 512 MiB is far beyond any picture the
// program makes (the desk is at most 1024 x 1024) and holds a four-channel PSD
// of 2^27 pixels.
constexpr std::size_t kMaxDecompressedSize = std::size_t(512) << 20;

// The whole of `source` as one zlib stream (header, deflate at level 9, Adler-32).
std::vector<std::uint8_t> CompressStream(std::span<const std::uint8_t> source);

// A piece of a stream made of several; `Dense` for bytes that hardly shrink (a
// JPEG's), which only get their byte codes, not a search for repeats that costs
// milliseconds a megabyte for almost nothing.
struct TStreamPart {
  std::span<const std::uint8_t> Bytes;
  bool Dense = false;
};
// The parts one after another as one zlib stream, each compressed its own way;
// any zlib reader reads it as one.
std::vector<std::uint8_t> CompressStream(std::span<const TStreamPart> parts);

// Inflates one zlib stream from the start of `source`, 4096 bytes of output at a
// time. nullopt when the data is not zlib, is damaged, ends before the end of the
// stream, or would inflate to more than `maxOutput` bytes. Bytes after the end of
// the stream are ignored.
std::optional<std::vector<std::uint8_t>> DecompressStream(std::span<const std::uint8_t> source,
                                                          std::size_t maxOutput = kMaxDecompressedSize);

// The first `count` bytes that `source` inflates to, without inflating the rest;
// nullopt when it is not zlib, or is damaged or ends before giving them.
std::optional<std::vector<std::uint8_t>> DecompressPrefix(std::span<const std::uint8_t> source, std::size_t count);

// One zlib stream inflated part by part, straight into where each part goes, for a
// reader that need not hold the whole of it at once.
class TInflater {
 public:
  explicit TInflater(std::span<const std::uint8_t> source);
  ~TInflater();
  TInflater(const TInflater&) = delete;
  TInflater& operator=(const TInflater&) = delete;

  // Fills `out` with the next bytes; false when the data is not zlib, is damaged
  // or ends first (and every later call is false too).
  bool Read(std::span<std::uint8_t> out);
  // The next bytes, as many as come at once up to `out`'s size (which must not
  // be empty): 0 once the end of the stream was read; nullopt when the data is
  // not zlib, is damaged or ends first.
  std::optional<std::size_t> ReadSome(std::span<std::uint8_t> out);
  // Inflates what is left, at most `maxOutput` bytes, to the end of the stream;
  // false when it is damaged (its checksum included), cut short or longer.
  bool Finish(std::size_t maxOutput = kMaxDecompressedSize);
  // True once the end of the stream (its checksum checked) was read: a Read that
  // failed after it asked for more than the stream holds, not for damaged data.
  bool Ended() const;
  // Why a Read or Finish failed, in words for a user ("its compressed data fails
  // its checksum"); empty while nothing failed.
  std::string_view Problem() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};
