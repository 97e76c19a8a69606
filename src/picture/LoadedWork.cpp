#include "picture/LoadedWork.h"

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
// One layer picture waiting to be decoded: a packed stream or a bitmap stream.
struct TPendingPicture {
  std::string Key;
  std::span<const std::uint8_t> Packed;
  std::vector<std::uint8_t> Bitmap;
  std::optional<TBitmap32> Decoded;
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
        p.Decoded = p.Bitmap.empty() ? UnpackBitmap32(p.Packed) : DecodeBmp32(p.Bitmap);
        if (p.Decoded) p.Bitmap = {};
      },
      pending.data());
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
        const std::string key = UpperAscii(layer.Id);
        work->streams_[key + ".MSK"].assign(layer.Mask.begin(), layer.Mask.end());
        pixels += PackedPicturePixels(layer.Picture).value_or(0);
        pending.push_back({key, layer.Picture, {}, {}});
      }
    } else {
      container = TCompoundFileReader::FromMemory(std::move(bytes), &error);
      auto list = container ? container->ReadStream("ListFile.txt", 16u << 20) : std::nullopt;
      if (!list) return nullptr;
      work->lines_ = SplitWorkHeader(*list);
      for (const std::string& line : work->lines_) {
        std::optional<TLayerRecord> record = ParseLayerRecordLine(line);
        if (!record) continue;
        const std::string key = UpperAscii(record->Id);
        if (work->uses_[key]++ > 0) continue;
        if (auto mask = container->ReadStream(record->Id + ".msk")) work->streams_[key + ".MSK"] = std::move(*mask);
        auto bitmap = container->ReadStream(record->Id + ".bmp", std::uint64_t(1) << 31);
        if (!bitmap) continue;
        pixels += BitmapPixels(*bitmap);
        pending.push_back({key, {}, std::move(*bitmap), {}});
      }
    }
    if (pixels > kMaxWorkPixels) {
      error = "its layers hold " + std::to_string(pixels) + " pixels, more than the " +
              std::to_string(kMaxWorkPixels) + " a work may hold";
      return nullptr;
    }
    DecodeAll(pending);
    for (TPendingPicture& p : pending) {
      if (p.Decoded) work->pictures_.emplace(p.Key, std::move(*p.Decoded));
      // A stream that does not decode stays, for its layer to say so.
      else if (!p.Bitmap.empty()) work->streams_[p.Key + ".BMP"] = std::move(p.Bitmap);
    }
  } catch (const std::bad_alloc&) {
    error = "there is not enough memory to open it";
    return nullptr;
  }
  return work;
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
