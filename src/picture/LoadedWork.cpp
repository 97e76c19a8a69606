#include "picture/LoadedWork.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "picture/Bmp32.h"
#include "picture/PackedPicture.h"
#include "picture/RowBands.h"
#include "picture/WorkFile.h"
#include "platform/ByteStream.h"
#include "platform/CompoundFile.h"
#include "platform/Text.h"

namespace {
// One layer picture waiting to be decoded: a packed stream or a bitmap stream, and
// the layer's mask stream (empty when it has none).
struct TPendingPicture {
  std::string Id;
  bool InContainer = false;  // a bitmap stream, else a packed picture
  std::span<const std::uint8_t> Packed;
  std::vector<std::uint8_t> Bitmap;     // a bitmap stream read out of the file,
  std::span<const std::uint8_t> InFile;  // or where it lies in the file's bytes
  std::span<const std::uint8_t> BitmapBytes() const { return InFile.empty() ? std::span(Bitmap) : InFile; }
  std::span<const std::uint8_t> MaskStream;
  std::optional<TBitmap32> Decoded;
  std::optional<TMaskStreamContent> Mask;
  std::string Problem;  // why it did not decode
};

// The pixels a bitmap stream's head declares (what decoding it allocates).
std::uint64_t BitmapPixels(std::span<const std::uint8_t> bitmap) {
  ByteReader r(bitmap);
  r.Skip(18);
  const std::int64_t width = r.I32LE(), height = r.I32LE();
  return r.ok() && width > 0 ? std::uint64_t(width) * std::uint64_t(std::llabs(height)) : 0;
}

void DecodeAll(std::vector<TPendingPicture>& pending) {
  RunTasks(
      static_cast<int>(pending.size()),
      [](const void* context, int i) {
        TPendingPicture& p = static_cast<TPendingPicture*>(const_cast<void*>(context))[i];
        p.Decoded = p.InContainer ? DecodeBmp32(p.BitmapBytes(), &p.Problem) : UnpackBitmap32(p.Packed, &p.Problem);
        p.Bitmap = {};
        if (!p.Decoded) return;
        // A mask that does not decode is left to its layer, which reads its stream.
        TMaskStreamContent mask;
        if (!p.MaskStream.empty() &&
            TMask::DecodeStream(p.MaskStream, p.Decoded->Width(), p.Decoded->Height(), mask) == TMaskLoad::Loaded)
          p.Mask = std::move(mask);
      },
      pending.data());
}

// Whether a compound file's own tables name sectors past its end: the header's
// directory and allocation-table sectors, then every sector the allocation table
// marks as used.
bool ContainerCutShort(std::span<const std::uint8_t> bytes) {
  auto u32 = [&bytes](std::size_t at) -> std::optional<std::uint32_t> {
    if (at + 4 > bytes.size()) return std::nullopt;
    return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 | std::uint32_t(bytes[at + 2]) << 16 |
           std::uint32_t(bytes[at + 3]) << 24;
  };
  if (bytes.size() < 512) return true;
  const unsigned shift = bytes[0x1E] | unsigned(bytes[0x1F]) << 8;
  if (shift != 9 && shift != 12) return false;  // not ours to judge
  const std::size_t sector = std::size_t(1) << shift;
  if (bytes.size() % sector != 0) return true;
  const std::size_t sectors = bytes.size() / sector - 1;  // after the header's own sector
  constexpr std::uint32_t kLastRegular = 0xFFFFFFFA;
  const auto directory = u32(0x30);
  if (directory && *directory <= kLastRegular && *directory >= sectors) return true;
  const std::uint32_t fatSectors = u32(0x2C).value_or(0);
  for (std::uint32_t i = 0; i < std::min<std::uint32_t>(fatSectors, 109); ++i) {
    const auto fat = u32(0x4C + 4 * i);
    if (!fat || *fat > kLastRegular) continue;
    if (*fat >= sectors) return true;
    const std::size_t base = (std::size_t(*fat) + 1) * sector;
    for (std::size_t entry = 0; entry < sector / 4; ++entry) {
      const std::size_t described = std::size_t(i) * (sector / 4) + entry;
      const auto next = u32(base + 4 * entry);
      if (next && *next != 0xFFFFFFFF && described >= sectors) return true;  // a used sector that is not there
    }
  }
  return false;
}

// Why container bytes cannot be a work, in place of the compound-file library's
// own words; empty when they may be one.
std::string_view ContainerProblem(std::span<const std::uint8_t> bytes) {
  static constexpr std::uint8_t kSignature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  if (bytes.empty()) return kWorkFileEmpty;
  const std::size_t n = std::min(bytes.size(), sizeof kSignature);
  if (!std::equal(bytes.begin(), bytes.begin() + std::ptrdiff_t(n), kSignature)) return kNotAWorkFile;
  if (ContainerCutShort(bytes)) return kWorkFileCutShort;
  return {};
}
}  // namespace

std::unique_ptr<TLoadedWork> TLoadedWork::Read(std::vector<std::uint8_t> bytes, bool compressed, std::string& error) {
  std::unique_ptr<TLoadedWork> work(new TLoadedWork);
  std::vector<TPendingPicture> pending;
  std::uint64_t pixels = 0;
  try {
    std::unique_ptr<TCompoundFileReader> container;
    if (compressed) {
      std::optional<TStoredWork> stored = ReadCompressedWork(bytes, &error);
      if (!stored) return nullptr;
      work->lines_ = std::move(stored->Lines);
      for (const TStoredWorkLayer& layer : stored->Layers) {
        work->streams_[UpperAscii(layer.Id) + ".MSK"].assign(layer.Mask.begin(), layer.Mask.end());
        pixels += PackedPicturePixels(layer.Picture).value_or(0);
        pending.push_back({layer.Id, false, layer.Picture, {}, {}, layer.Mask, {}, {}, {}});
      }
    } else {
      if (const std::string_view problem = ContainerProblem(bytes); !problem.empty()) {
        error = problem;
        return nullptr;
      }
      // The library's own words mean nothing to a user.
      container = TCompoundFileReader::FromMemory(std::move(bytes));
      if (!container) {
        error = "the file is damaged";
        return nullptr;
      }
      auto list = container->ReadStream("ListFile.txt", 16u << 20);
      if (!list) {
        error = "the file holds no list of layers";
        return nullptr;
      }
      work->lines_ = SplitWorkHeader(*list);
      // Each line makes a layer of its own, so a picture listed again costs its
      // pixels again: counted per line, a list of repeats is refused like any
      // other work too large.
      std::map<std::string, std::uint64_t, std::less<>> listedPixels;
      std::size_t listed = 0;
      for (const std::string& line : work->lines_) {
        std::optional<TLayerRecord> record = ParseLayerRecordLine(line);
        if (!record) continue;
        if (++listed > kMaxWorkLayers) {
          error = "it lists more than the " + std::to_string(kMaxWorkLayers) + " layers a work may hold";
          return nullptr;
        }
        const std::string key = UpperAscii(record->Id);
        if (work->uses_[key]++ > 0) {
          pixels += listedPixels[key];
          if (pixels > kMaxWorkPixels) break;
          continue;
        }
        std::span<const std::uint8_t> maskStream;
        if (auto mask = container->ReadStream(record->Id + ".msk"))
          maskStream = work->streams_[key + ".MSK"] = std::move(*mask);
        // A bitmap is decoded where it lies in the file when it can be: a copy
        // of every layer's stream would double what opening costs.
        constexpr std::uint64_t kMaxBitmapBytes = std::uint64_t(1) << 31;
        TPendingPicture picture{record->Id, true, {}, {}, {}, maskStream, {}, {}, {}};
        if (auto view = container->ViewStream(record->Id + ".bmp", kMaxBitmapBytes)) {
          picture.InFile = *view;
        } else if (auto bitmap = container->ReadStream(record->Id + ".bmp", kMaxBitmapBytes)) {
          picture.Bitmap = std::move(*bitmap);
        } else {
          work->problems_[key] = "its stream " + record->Id + ".bmp is missing";
          continue;
        }
        pixels += listedPixels[key] = BitmapPixels(picture.BitmapBytes());
        if (pixels > kMaxWorkPixels) break;
        pending.push_back(std::move(picture));
      }
    }
    if (pixels > kMaxWorkPixels) {
      error = "its layers hold " + std::to_string(pixels) + " pixels, more than the " +
              std::to_string(kMaxWorkPixels) + " a work may hold";
      return nullptr;
    }
    DecodeAll(pending);
    for (TPendingPicture& p : pending) {
      const std::string key = UpperAscii(p.Id);
      if (p.Mask) work->masks_.emplace(key, std::move(*p.Mask));
      if (p.Decoded) work->pictures_.emplace(key, std::move(*p.Decoded));
      else work->problems_[key] = p.Problem.empty() ? "its picture is damaged" : p.Problem;
    }
  } catch (const std::bad_alloc&) {
    error = "there is not enough memory to open it";
    return nullptr;
  }
  return work;
}

std::string TLoadedWork::PictureProblem(std::string_view id) const {
  auto it = problems_.find(UpperAscii(id));
  return it == problems_.end() ? std::string() : "layer " + std::string(id) + ": " + it->second;
}

std::optional<std::vector<std::uint8_t>> TLoadedWork::ReadStream(std::string_view name) {
  auto it = streams_.find(UpperAscii(name));
  if (it == streams_.end()) return std::nullopt;
  return it->second;
}

std::optional<TBitmap32> TLoadedWork::TakePicture(std::string_view id) {
  const std::string key = UpperAscii(id);
  auto it = pictures_.find(key);
  if (it == pictures_.end()) return std::nullopt;
  // A container may list a layer twice: each but the last use gets a copy.
  auto uses = uses_.find(key);
  if (uses != uses_.end() && --uses->second > 0) return it->second;
  TBitmap32 picture = std::move(it->second);
  pictures_.erase(it);
  return picture;
}

std::optional<TMaskStreamContent> TLoadedWork::TakeMask(std::string_view id) {
  const std::string key = UpperAscii(id);
  auto it = masks_.find(key);
  if (it == masks_.end()) return std::nullopt;
  // The picture is still held while a later line of a container uses the layer.
  const TMaskStreamContent& held = it->second;
  if (pictures_.count(key)) return TMaskStreamContent{held.Map.Share(), held.SecondMap.Share(), held.Regions, held.Mode};
  TMaskStreamContent mask = std::move(it->second);
  masks_.erase(it);
  return mask;
}
