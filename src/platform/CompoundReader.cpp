#include "platform/CompoundReader.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kLastRegular = 0xFFFFFFFA;
constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;
constexpr std::size_t kEntrySize = 128;

std::uint32_t U32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::uint16_t U16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

// UTF-16 (little-endian) to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf8(const std::uint8_t* name, std::size_t units) {
  std::string out;
  for (std::size_t i = 0; i < units; ++i) {
    std::uint32_t c = U16(name + 2 * i);
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < units && U16(name + 2 * i + 2) >= 0xDC00 &&
        U16(name + 2 * i + 2) < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (U16(name + 2 * i + 2) - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | c >> 6);
      out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += char(0xE0 | c >> 12);
      out += char(0x80 | (c >> 6 & 0x3F));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xF0 | c >> 18);
      out += char(0x80 | (c >> 12 & 0x3F));
      out += char(0x80 | (c >> 6 & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

struct TEntry {
  std::string Name;
  bool Stream = false;
  std::uint32_t Start = 0;
  std::uint64_t Size = 0;
};

class TDirectStorage final : public ICompoundStorage {
 public:
  explicit TDirectStorage(const TByteSource& source) : source_(source) {}
  explicit TDirectStorage(std::span<const std::uint8_t> bytes)
      : owned_(std::make_unique<TByteSource>(bytes)), source_(*owned_) {}

  bool Load() {
    ByteBuffer header;
    const std::uint8_t* h = source_.Get(0, 512, header);
    if (!h) return false;
    static constexpr std::uint8_t kSignature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    for (std::size_t i = 0; i < sizeof kSignature; ++i)
      if (h[i] != kSignature[i]) return false;
    const unsigned major = U16(h + 0x1A), shift = U16(h + 0x1E), miniShift = U16(h + 0x20);
    if (U16(h + 0x1C) != 0xFFFE || !((major == 3 && shift == 9) || (major == 4 && shift == 12)) || miniShift != 6)
      return false;
    sector_ = std::size_t(1) << shift;
    if (source_.Size() < 2 * sector_) return false;
    sectors_ = std::size_t(source_.Size() / sector_ - 1);  // whole sectors after the header's
    wide_ = major == 4;
    cutoff_ = U32(h + 0x38);

    // The allocation table, from the sectors the header and the DIFAT chain name.
    std::vector<std::uint32_t> fatSectors;
    const std::uint32_t fatCount = U32(h + 0x2C);
    if (fatCount > sectors_) return false;
    for (std::uint32_t i = 0; i < 109 && fatSectors.size() < fatCount; ++i) fatSectors.push_back(U32(h + 0x4C + 4 * i));
    std::uint32_t difat = U32(h + 0x44);
    ByteBuffer held;
    for (std::size_t steps = 0; fatSectors.size() < fatCount; ++steps) {
      if (difat > kLastRegular || difat >= sectors_ || steps > sectors_) return false;
      const std::uint8_t* s = Sector(difat, held);
      if (!s) return false;
      for (std::size_t i = 0; i + 1 < sector_ / 4 && fatSectors.size() < fatCount; ++i) fatSectors.push_back(U32(s + 4 * i));
      difat = U32(s + sector_ - 4);
    }
    fat_.reserve(fatSectors.size() * sector_ / 4);
    for (std::uint32_t f : fatSectors) {
      if (f > kLastRegular || f >= sectors_) return false;
      const std::uint8_t* s = Sector(f, held);
      if (!s) return false;
      for (std::size_t i = 0; i < sector_ / 4; ++i) fat_.push_back(U32(s + 4 * i));
    }

    std::vector<std::uint8_t> directory;
    if (!ReadChain(fat_, U32(h + 0x30), std::uint64_t(-1), false, directory)) return false;
    if (directory.size() < kEntrySize) return false;
    const std::size_t entries = directory.size() / kEntrySize;
    auto entry = [&](std::size_t i) { return directory.data() + i * kEntrySize; };
    if (entry(0)[0x42] != 5) return false;  // the root

    // The small streams live in the root's own stream, sector after 64-byte sector.
    std::vector<std::uint8_t> miniFatBytes;
    if (U32(h + 0x40) > 0 && !ReadChain(fat_, U32(h + 0x3C), std::uint64_t(-1), false, miniFatBytes)) return false;
    for (std::size_t i = 0; i + 4 <= miniFatBytes.size(); i += 4) miniFat_.push_back(U32(miniFatBytes.data() + i));
    const std::uint64_t rootSize = Size(entry(0));
    if (rootSize > 0 && !ReadChain(fat_, U32(entry(0) + 0x74), rootSize, false, miniStream_)) return false;

    // The root's children: a tree through left and right, read in order (the
    // order of the file's own sorting, as the library lists them).
    std::vector<bool> seen(entries, false);
    std::vector<std::uint32_t> stack;
    std::uint32_t at = U32(entry(0) + 0x4C);
    while (at != kNoEntry || !stack.empty()) {
      while (at != kNoEntry) {
        if (at >= entries || seen[at]) return false;
        seen[at] = true;
        stack.push_back(at);
        at = U32(entry(at) + 0x44);
      }
      const std::uint32_t node = stack.back();
      stack.pop_back();
      const std::uint8_t* e = entry(node);
      const unsigned nameBytes = U16(e + 0x40), type = e[0x42];
      if (type != 1 && type != 2) return false;
      if (nameBytes > 64 || nameBytes % 2 != 0) return false;
      // The name is read as the library reads it: up to its length or its
      // first NUL, whichever comes first (a damaged entry's length may count
      // no terminator, or run past it).
      std::size_t units = 0;
      while (units < nameBytes / 2 && U16(e + 2 * units) != 0) ++units;
      entries_.push_back({Utf8(e, units), type == 2, U32(e + 0x74), Size(e)});
      at = U32(e + 0x48);
    }
    return true;
  }

  int Count() override { return int(entries_.size()); }
  std::string Name(int index) override { return entries_[std::size_t(index)].Name; }
  bool IsStream(int index) override { return entries_[std::size_t(index)].Stream; }
  std::optional<std::vector<std::uint8_t>> Read(int index, std::uint64_t maxBytes) override {
    const TEntry& e = entries_[std::size_t(index)];
    if (!e.Stream || e.Size > maxBytes) return std::nullopt;
    std::vector<std::uint8_t> data;
    if (e.Size == 0) return data;
    const bool mini = e.Size < cutoff_;
    if (!ReadChain(mini ? miniFat_ : fat_, e.Start, e.Size, mini, data)) return std::nullopt;
    return data;
  }
  std::optional<TByteRange> Where(int index, std::uint64_t maxBytes) override {
    const TEntry& e = entries_[std::size_t(index)];
    if (!e.Stream || e.Size > maxBytes || e.Size < cutoff_ || e.Start >= sectors_) return std::nullopt;
    // A writer that writes each stream whole lays its sectors one after another.
    const std::size_t count = std::size_t((e.Size + sector_ - 1) / sector_);
    if (count > sectors_ - e.Start) return std::nullopt;
    for (std::size_t k = 0; k + 1 < count; ++k)
      if (e.Start + k >= fat_.size() || fat_[e.Start + k] != e.Start + k + 1) return std::nullopt;
    return TByteRange{&source_, SectorOffset(e.Start), e.Size};
  }

 private:
  std::uint64_t SectorOffset(std::uint32_t s) const { return (std::uint64_t(s) + 1) * sector_; }
  const std::uint8_t* Sector(std::uint32_t s, ByteBuffer& held) const {
    return source_.Get(SectorOffset(s), sector_, held);
  }

  std::uint64_t Size(const std::uint8_t* e) const {
    return wide_ ? std::uint64_t(U32(e + 0x78)) | std::uint64_t(U32(e + 0x7C)) << 32 : U32(e + 0x78);
  }

  // The chain from `start` in `table`, `size` bytes of it (the whole chain when
  // size is -1), of regular sectors or of the small streams' 64-byte ones. False
  // when it leaves the file, loops or ends before `size`.
  bool ReadChain(const std::vector<std::uint32_t>& table, std::uint32_t start, std::uint64_t size, bool mini,
                 std::vector<std::uint8_t>& out) const {
    const std::size_t unit = mini ? 64 : sector_;
    const std::size_t units = mini ? miniStream_.size() / 64 : sectors_;
    const bool whole = size == std::uint64_t(-1);
    // Never more than the chain could hold: each step takes a unit of its own.
    if (!whole && size > std::uint64_t(units) * unit) return false;
    if (!whole) out.reserve(std::size_t(size));
    std::uint32_t at = start;
    ByteBuffer held;
    for (std::size_t steps = 0; whole ? at != kEndOfChain : out.size() < size; ++steps) {
      if (at > kLastRegular || at >= units || at >= table.size() || steps >= units) return false;
      const std::uint8_t* from = mini ? miniStream_.data() + std::size_t(at) * 64 : Sector(at, held);
      if (!from) return false;
      const std::size_t n = whole ? unit : std::size_t(std::min<std::uint64_t>(unit, size - out.size()));
      out.insert(out.end(), from, from + n);
      at = table[at];
    }
    return true;
  }

  std::unique_ptr<TByteSource> owned_;
  const TByteSource& source_;
  std::size_t sector_ = 512, sectors_ = 0;
  bool wide_ = false;
  std::uint32_t cutoff_ = 4096;
  std::vector<std::uint32_t> fat_, miniFat_;
  std::vector<std::uint8_t> miniStream_;
  std::vector<TEntry> entries_;
};
}  // namespace

std::unique_ptr<ICompoundStorage> OpenCompoundRoot(std::span<const std::uint8_t> bytes) {
  auto storage = std::make_unique<TDirectStorage>(bytes);
  if (!storage->Load()) return nullptr;
  return storage;
}

std::unique_ptr<ICompoundStorage> OpenCompoundRoot(const TByteSource& source) {
  auto storage = std::make_unique<TDirectStorage>(source);
  if (!storage->Load()) return nullptr;
  return storage;
}
