#include "picture/LoadedWork.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <new>

#include "picture/Bmp32.h"
#include "picture/PackedPicture.h"
#include "picture/RowBands.h"
#include "picture/WorkFile.h"
#include "platform/ByteStream.h"
#include "platform/CompoundFile.h"
#include "platform/FileIO.h"
#include "platform/Text.h"

namespace {
// One layer picture waiting to be decoded: a packed stream or a bitmap stream, and
// the layer's mask stream (empty when it has none).
struct TPendingPicture {
  std::string Id;
  bool InContainer = false;  // a bitmap stream, else a packed picture
  std::span<const std::uint8_t> Packed;
  std::vector<std::uint8_t> Bitmap;  // a bitmap stream read out of the file,
  std::optional<TByteRange> InFile;   // or where it lies in the file
  std::span<const std::uint8_t> MaskStream;
  std::optional<TBitmap32> Decoded;
  std::optional<TMaskStreamContent> Mask;
  std::string Problem;  // why it did not decode
};

// The pixels a bitmap stream's head declares (what decoding it allocates).
std::uint64_t BitmapPixels(const TByteRange& bitmap) {
  ByteBuffer held;
  const std::size_t n = std::size_t(std::min<std::uint64_t>(bitmap.Size, 26));
  const std::uint8_t* head = bitmap.Get(0, n, held);
  if (!head) return 0;
  ByteReader r({head, n});
  r.Skip(18);
  const std::int64_t width = r.I32LE(), height = r.I32LE();
  return r.ok() && width > 0 ? std::uint64_t(width) * std::uint64_t(std::llabs(height)) : 0;
}

void DecodeAll(std::vector<TPendingPicture>& pending) {
  RunTasks(
      static_cast<int>(pending.size()),
      [](const void* context, int i) {
        TPendingPicture& p = static_cast<TPendingPicture*>(const_cast<void*>(context))[i];
        TFileResult<TBitmap32> decoded = !p.InContainer ? UnpackBitmap32(p.Packed)
                                         : p.InFile     ? DecodeBmp32(*p.InFile)
                                                        : DecodeBmp32(p.Bitmap);
        p.Bitmap = {};
        if (!decoded) {
          p.Problem = decoded.Error().Detail;
          return;
        }
        p.Decoded = *std::move(decoded);
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
bool ContainerCutShort(const TByteSource& source) {
  ByteBuffer held;
  auto u32 = [&source, &held](std::uint64_t at) -> std::optional<std::uint32_t> {
    const std::uint8_t* p = source.Get(at, 4, held);
    if (!p) return std::nullopt;
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
  };
  if (source.Size() < 512) return true;
  const unsigned shift = u32(0x1C).value_or(0) >> 16;
  if (shift != 9 && shift != 12) return false;  // not ours to judge
  const std::size_t sector = std::size_t(1) << shift;
  if (source.Size() % sector != 0) return true;
  const std::uint64_t sectors = source.Size() / sector - 1;  // after the header's own sector
  constexpr std::uint32_t kLastRegular = 0xFFFFFFFA;
  const auto directory = u32(0x30);
  if (directory && *directory <= kLastRegular && *directory >= sectors) return true;
  const std::uint32_t fatSectors = u32(0x2C).value_or(0);
  for (std::uint32_t i = 0; i < std::min<std::uint32_t>(fatSectors, 109); ++i) {
    const auto fat = u32(0x4C + 4 * i);
    if (!fat || *fat > kLastRegular) continue;
    if (*fat >= sectors) return true;
    ByteBuffer table;
    const std::uint8_t* entries = source.Get((std::uint64_t(*fat) + 1) * sector, sector, table);
    if (!entries) return true;
    for (std::size_t entry = 0; entry < sector / 4; ++entry) {
      const std::uint64_t described = std::uint64_t(i) * (sector / 4) + entry;
      const std::uint8_t* p = entries + 4 * entry;
      const bool used = !(p[0] == 0xFF && p[1] == 0xFF && p[2] == 0xFF && p[3] == 0xFF);
      if (used && described >= sectors) return true;  // a used sector that is not there
    }
  }
  return false;
}

// Why container bytes cannot be a work, in place of the compound-file library's
// own words; nullopt when they may be one.
std::optional<TFileError> ContainerProblem(const TByteSource& source, const fs::path& file) {
  static constexpr std::uint8_t kSignature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  if (source.Size() == 0) return FileError(TFileFault::Empty, file);
  const std::size_t n = std::size_t(std::min<std::uint64_t>(source.Size(), sizeof kSignature));
  ByteBuffer held;
  const std::uint8_t* head = source.Get(0, n, held);
  if (!head || !std::equal(head, head + n, kSignature))
    return FileError(TFileFault::Damaged, file, 0, std::string(kNotAWorkFile));
  if (ContainerCutShort(source)) return FileError(TFileFault::Damaged, file, 0, std::string(kWorkFileCutShort));
  return std::nullopt;
}
}  // namespace

TFileResult<std::unique_ptr<TLoadedWork>> TLoadedWork::ReadFile(const fs::path& file, bool compressed) {
  // A container is read where it lies, its bitmaps a band at a time: held whole
  // in memory, a file of large layers would cost their pixels twice.
  if (!compressed) {
    std::unique_ptr<TByteSource> source = TByteSource::OpenFile(file);
    if (!source) return FileError(TFileFault::CannotRead, file);
    return Read({}, std::move(source), false, file);
  }
  TFileResult<std::vector<std::uint8_t>> bytes = ReadFileBytes(file);
  if (!bytes) return FileError(TFileFault::CannotRead, file, bytes.Error().System);
  return Read(*std::move(bytes), nullptr, true, file);
}

TFileResult<std::unique_ptr<TLoadedWork>> TLoadedWork::Read(std::vector<std::uint8_t> bytes, bool compressed,
                                                            const fs::path& file) {
  return Read(std::move(bytes), nullptr, compressed, file);
}

TFileResult<std::unique_ptr<TLoadedWork>> TLoadedWork::Read(std::vector<std::uint8_t> bytes,
                                                            std::unique_ptr<TByteSource> source, bool compressed,
                                                            const fs::path& file) {
  std::unique_ptr<TLoadedWork> work(new TLoadedWork);
  std::vector<TPendingPicture> pending;
  std::uint64_t pixels = 0;
  // Running out of memory anywhere in reading or decoding stops here.
  try {
    std::unique_ptr<TCompoundFileReader> container;
    if (compressed) {
      TFileResult<TStoredWork> stored = ReadCompressedWork(bytes, file);
      if (!stored) return stored.Error();
      work->lines_ = std::move(stored->Lines);
      for (const TStoredWorkLayer& layer : stored->Layers) {
        work->streams_[UpperAscii(layer.Id) + ".MSK"].assign(layer.Mask.begin(), layer.Mask.end());
        pixels += PackedPicturePixels(layer.Picture).value_or(0);
        pending.push_back({layer.Id, false, layer.Picture, {}, {}, layer.Mask, {}, {}, {}});
      }
    } else {
      const TByteSource inMemory(bytes);
      if (std::optional<TFileError> problem = ContainerProblem(source ? *source : inMemory, file)) return *problem;
      // The library's own words mean nothing to a user.
      TCompoundFileReader::TOpened opened = source ? TCompoundFileReader::FromSource(std::move(source), file)
                                                   : TCompoundFileReader::FromMemory(std::move(bytes), file);
      if (!opened) return FileError(TFileFault::Damaged, file);
      container = *std::move(opened);
      auto list = container->ReadStream("ListFile.txt", 16u << 20);
      if (!list) return FileError(TFileFault::Damaged, file, 0, "the file holds no list of layers");
      work->lines_ = SplitWorkHeader(*list);
      // Each line makes a layer of its own, so a picture listed again costs its
      // pixels again: counted per line, a list of repeats is refused like any
      // other work too large.
      std::map<std::string, std::uint64_t, std::less<>> listedPixels;
      std::size_t listed = 0;
      for (const std::string& line : work->lines_) {
        std::optional<TLayerRecord> record = ParseLayerRecordLine(line);
        if (!record) continue;
        if (++listed > kMaxWorkLayers)
          return FileError(TFileFault::TooLarge, file, 0,
                           "it lists more than the " + std::to_string(kMaxWorkLayers) + " layers a work may hold");
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
        if (auto range = container->StreamRange(record->Id + ".bmp", kMaxBitmapBytes)) {
          picture.InFile = *range;
        } else if (auto bitmap = container->ReadStream(record->Id + ".bmp", kMaxBitmapBytes)) {
          picture.Bitmap = std::move(*bitmap);
        } else {
          work->problems_[key] = "its stream " + record->Id + ".bmp is missing";
          continue;
        }
        const TByteSource held(picture.Bitmap);
        pixels += listedPixels[key] = BitmapPixels(picture.InFile.value_or(TByteRange{&held, 0, held.Size()}));
        if (pixels > kMaxWorkPixels) break;
        pending.push_back(std::move(picture));
      }
    }
    if (pixels > kMaxWorkPixels)
      return FileError(TFileFault::TooLarge, file, 0,
                       "its layers hold " + std::to_string(pixels) + " pixels, more than the " +
                           std::to_string(kMaxWorkPixels) + " a work may hold");
    DecodeAll(pending);
    for (TPendingPicture& p : pending) {
      const std::string key = UpperAscii(p.Id);
      if (p.Mask) work->masks_.emplace(key, std::move(*p.Mask));
      if (p.Decoded) work->pictures_.emplace(key, std::move(*p.Decoded));
      else work->problems_[key] = p.Problem.empty() ? "its picture is damaged" : p.Problem;
    }
  } catch (const std::bad_alloc&) {
    return FileError(TFileFault::CannotRead, file, ENOMEM, "there is not enough memory to open it");
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
