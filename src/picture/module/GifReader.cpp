// GIF through giflib: the first frame at its own size (as the imaging library
// reads it), a line at a time through its colour map; the transparent index of
// its graphic control block gives alpha 0.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "picture/module/DirectReaders.h"

namespace {
struct TGifSource {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at;
};

int ReadGifBytes(GifFileType* gif, GifByteType* out, int length) {
  auto* source = static_cast<TGifSource*>(gif->UserData);
  const std::size_t n = std::min<std::size_t>(std::size_t(std::max(length, 0)), source->size - source->at);
  std::memcpy(out, source->data + source->at, n);
  source->at += n;
  return int(n);
}

struct TGifClose {
  void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using TGif = std::unique_ptr<GifFileType, TGifClose>;

std::string GifError(int code) {
  const char* text = GifErrorString(code);
  return text ? text : "damaged GIF";
}

// Skips an extension block, keeping the transparent index a graphic control
// block names (-1 when none); false when the file ends inside it.
bool ReadExtension(GifFileType* gif, int& transparent) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
  if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) transparent = (block[1] & 1) ? block[4] : -1;
  while (block)
    if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
  return true;
}

// The rows of the image whose descriptor was just read, in file order (the four
// passes of an interlaced picture), or PictureDamaged.
TFileResult<> ReadLines(GifFileType* gif, const ColorMapObject& map, int transparent, std::uint8_t* rows) {
  const int width = gif->Image.Width;
  const int height = gif->Image.Height;
  std::vector<GifPixelType> line(static_cast<std::size_t>(width));
  static constexpr int kStart[] = {0, 4, 2, 1};
  static constexpr int kStep[] = {8, 8, 4, 2};
  const int passes = gif->Image.Interlace ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass)
    for (int y = passes == 1 ? 0 : kStart[pass]; y < height; y += passes == 1 ? 1 : kStep[pass]) {
      if (DGifGetLine(gif, line.data(), width) != GIF_OK) return PictureDamaged(GifError(gif->Error));
      std::uint8_t* out = rows + std::size_t(y) * std::size_t(width) * 4;
      for (int x = 0; x < width; ++x, out += 4) {
        const int index = line[std::size_t(x)];
        if (index >= map.ColorCount) return PictureDamaged("a colour index beyond the colour map");
        const GifColorType& c = map.Colors[index];
        out[0] = c.Blue;
        out[1] = c.Green;
        out[2] = c.Red;
        out[3] = index == transparent ? 0 : 255;
      }
    }
  return {};
}
}  // namespace

TDirectResult ReadGif(std::span<const std::uint8_t> bytes, const IImagingModule::TAccept& accept,
                      const IImagingModule::TTarget& target) {
  if (bytes.size() < 6 || (std::memcmp(bytes.data(), "GIF87a", 6) != 0 && std::memcmp(bytes.data(), "GIF89a", 6) != 0))
    return TDirectRead::kNotMine;
  TGifSource source{bytes.data(), bytes.size(), 0};
  int code = 0;
  TGif gif(DGifOpen(&source, ReadGifBytes, &code));
  if (!gif) return TDirectRead::kNotMine;
  int transparent = -1;
  for (;;) {
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif.get(), &record) != GIF_OK) return TDirectRead::kNotMine;
    if (record == EXTENSION_RECORD_TYPE) {
      if (!ReadExtension(gif.get(), transparent)) return TDirectRead::kNotMine;
    } else if (record == IMAGE_DESC_RECORD_TYPE) {
      break;
    } else {
      return TDirectRead::kNotMine;  // no picture before the end
    }
  }
  if (DGifGetImageDesc(gif.get()) != GIF_OK) return TDirectRead::kNotMine;
  const ColorMapObject* map = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
  const int width = gif->Image.Width;
  const int height = gif->Image.Height;
  if (!map || width <= 0 || height <= 0) return TDirectRead::kNotMine;
  if (!accept(std::size_t(width), std::size_t(height), "GIF")) return TDirectRead::kStopped;
  std::uint8_t* rows = target(std::size_t(width), std::size_t(height));
  if (!rows) return TDirectRead::kStopped;
  if (TFileResult<> read = ReadLines(gif.get(), *map, transparent, rows); !read) return read.Error();
  return TDirectRead::kRead;
}
