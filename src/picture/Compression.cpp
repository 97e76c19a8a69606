#include "picture/Compression.h"

#include <zlib.h>

#include <climits>
#include <cstring>

namespace {
constexpr std::size_t kBlock = 4096;

// zlib counts in uInt: feed and drain large buffers in slices it can take.
uInt Slice(std::size_t n) { return n > UINT_MAX ? UINT_MAX : static_cast<uInt>(n); }
}  // namespace

std::vector<std::uint8_t> CompressStream(std::span<const std::uint8_t> source) {
  const TStreamPart whole{source};
  return CompressStream({&whole, 1});
}

std::vector<std::uint8_t> CompressStream(std::span<const TStreamPart> parts) {
  auto method = [](const TStreamPart& part) {
    return part.Dense ? std::pair{1, Z_HUFFMAN_ONLY} : std::pair{Z_BEST_COMPRESSION, Z_DEFAULT_STRATEGY};
  };
  z_stream z{};
  const auto [level, strategy] = parts.empty() ? method({}) : method(parts[0]);
  if (deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy) != Z_OK) return {};
  std::size_t total = 0;
  for (const TStreamPart& part : parts) total += part.Bytes.size();
  std::vector<std::uint8_t> out(deflateBound(&z, static_cast<uLong>(total)));
  // Room for the next output; a part's own method may make more than the bound.
  auto room = [&] {
    if (out.size() - z.total_out < kBlock) out.resize(out.size() * 2 + kBlock);
    z.next_out = out.data() + z.total_out;
    z.avail_out = Slice(out.size() - z.total_out);
  };
  int status = Z_OK;
  for (std::size_t p = 0; p < parts.size() || (parts.empty() && p == 0); ++p) {
    const std::span<const std::uint8_t> source = parts.empty() ? std::span<const std::uint8_t>() : parts[p].Bytes;
    const bool last = p + 1 >= parts.size();
    if (p > 0) {
      // Changing method ends the block of the part before; it may want more room.
      const auto [nextLevel, nextStrategy] = method(parts[p]);
      do {
        room();
        status = deflateParams(&z, nextLevel, nextStrategy);
      } while (status == Z_BUF_ERROR);
      if (status != Z_OK) break;
    }
    z.next_in = const_cast<Bytef*>(source.data());
    std::size_t inLeft = source.size();
    do {
      room();
      z.avail_in = Slice(inLeft);
      const uInt offered = z.avail_in;
      status = deflate(&z, last && z.avail_in == inLeft ? Z_FINISH : Z_NO_FLUSH);
      inLeft -= offered - z.avail_in;
    } while (status != Z_STREAM_ERROR && (last ? status != Z_STREAM_END : inLeft > 0));
    if (status == Z_STREAM_ERROR) break;
  }
  out.resize(status == Z_STREAM_END ? z.total_out : 0);
  deflateEnd(&z);
  return out;
}

std::optional<std::vector<std::uint8_t>> DecompressStream(std::span<const std::uint8_t> source,
                                                          std::size_t maxOutput) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return std::nullopt;
  std::vector<std::uint8_t> out;
  z.next_in = const_cast<Bytef*>(source.data());
  std::size_t inLeft = source.size();
  std::uint8_t block[kBlock];
  int status = Z_OK;
  while (status != Z_STREAM_END) {
    z.avail_in = Slice(inLeft);
    const uInt offered = z.avail_in;
    z.next_out = block;
    z.avail_out = kBlock;
    status = inflate(&z, Z_NO_FLUSH);
    inLeft -= offered - z.avail_in;
    const std::size_t produced = kBlock - z.avail_out;
    // Z_BUF_ERROR with input left is only "no progress this turn"; with no input
    // left and no output it means the stream was cut short.
    const bool stalled = status == Z_BUF_ERROR && produced == 0;
    if ((status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) || stalled ||
        produced > maxOutput - out.size()) {
      inflateEnd(&z);
      return std::nullopt;
    }
    out.insert(out.end(), block, block + produced);
  }
  inflateEnd(&z);
  return out;
}

std::optional<std::vector<std::uint8_t>> DecompressPrefix(std::span<const std::uint8_t> source, std::size_t count) {
  std::vector<std::uint8_t> out(count);
  if (!TInflater(source).Read(out)) return std::nullopt;
  return out;
}

struct TInflater::State {
  z_stream z{};
  std::span<const std::uint8_t> left;  // input not yet offered to zlib
  bool started = false;
  bool ended = false;  // the stream's end (and its checksum) was read
  bool failed = false;
  std::string_view problem;

  void Fail(std::string_view why) {
    failed = true;
    if (problem.empty()) problem = why;
  }

  // One call of inflate into `out`; the bytes it gave, or nullopt when the stream
  // is damaged or the input ran out before its end.
  std::optional<std::size_t> Step(std::span<std::uint8_t> out) {
    if (failed || ended) {
      Fail("its compressed data ends too early");
      return std::nullopt;
    }
    if (z.avail_in == 0) {
      z.next_in = const_cast<Bytef*>(left.data());
      z.avail_in = Slice(left.size());
      left = left.subspan(z.avail_in);
    }
    z.next_out = out.data();
    z.avail_out = Slice(out.size());
    const int status = inflate(&z, Z_NO_FLUSH);
    const std::size_t produced = out.size() - z.avail_out;
    if (status == Z_STREAM_END) ended = true;
    // Z_BUF_ERROR is "no progress": an error only when nothing came out, which
    // with every byte offered means the data stopped before the stream's end.
    else if (status == Z_BUF_ERROR && produced == 0) Fail("its compressed data ends too early");
    else if (status == Z_DATA_ERROR && z.msg && std::strcmp(z.msg, "incorrect data check") == 0)
      Fail("its compressed data fails its checksum");
    else if (status == Z_MEM_ERROR) Fail("there is not enough memory to decompress it");
    else if (status != Z_OK && status != Z_BUF_ERROR) Fail("its compressed data is damaged");
    if (failed) return std::nullopt;
    return produced;
  }
};

TInflater::TInflater(std::span<const std::uint8_t> source) : state_(std::make_unique<State>()) {
  state_->left = source;
  state_->started = inflateInit(&state_->z) == Z_OK;
  if (!state_->started) state_->Fail("there is not enough memory to decompress it");
}

TInflater::~TInflater() {
  if (state_->started) inflateEnd(&state_->z);
}

bool TInflater::Read(std::span<std::uint8_t> out) {
  while (!out.empty()) {
    const std::optional<std::size_t> produced = state_->Step(out);
    if (!produced) return false;
    out = out.subspan(*produced);
  }
  return true;
}

std::optional<std::size_t> TInflater::ReadSome(std::span<std::uint8_t> out) {
  while (!state_->ended) {
    const std::optional<std::size_t> produced = state_->Step(out);
    if (!produced || *produced > 0) return produced;
  }
  return 0;
}

bool TInflater::Ended() const { return state_->ended; }

std::string_view TInflater::Problem() const { return state_->problem; }

bool TInflater::Finish(std::size_t maxOutput) {
  std::uint8_t block[kBlock];
  std::size_t total = 0;
  while (!state_->ended) {
    const std::optional<std::size_t> produced = state_->Step(block);
    if (!produced) return false;
    if (*produced > maxOutput - total) {
      state_->Fail("its compressed data holds more than it should");
      return false;
    }
    total += *produced;
  }
  return !state_->failed;
}
