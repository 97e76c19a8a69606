#include "picture/WorkFile.h"

#include <set>

#include "picture/BitmapRoutines.h"
#include "picture/Bmp32.h"
#include "picture/Compression.h"
#include "picture/Jpeg.h"
#include "picture/PackedPicture.h"
#include "picture/RowBands.h"
#include "platform/ByteStream.h"
#include "platform/CompoundFile.h"
#include "platform/FileIO.h"
#include "platform/Text.h"
#include "platform/TextFile.h"

namespace {
constexpr std::string_view kLayerKey = "LAYER=";
constexpr int kLayerFieldCount = 19;
constexpr int kPreviewSize = 150;
constexpr TColor32 kPreviewBackground = Color32(255, 255, 255);
// Caps on what a work file may make us allocate or loop over.
constexpr std::size_t kMaxHeaderBytes = std::size_t(16) << 20;
constexpr std::size_t kMaxPreviewBytes = std::size_t(16) << 20;

std::string IdOrNil(const std::string& id) { return id.empty() ? "nil" : id; }

// Text stored between ";" on one line: no field separator; a line break becomes a blank.
std::string CleanField(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (c == '\r' || c == '\n') out += ' ';
    else if (c != ';') out += c;
  }
  return out;
}

std::vector<std::uint8_t> PreviewJpeg(const TBitmap32& exportPicture) {
  if (auto thumb = MakeThumbnail(exportPicture, kPreviewSize, kPreviewBackground, kPreviewSize))
    return thumb->Bytes();
  return TJpegImage::FromBitmap(TBitmap32(kPreviewSize, kPreviewSize, kPreviewBackground), 70).Bytes();
}

std::string JoinLines(const std::vector<std::string>& lines, std::string_view end) {
  std::string text;
  for (const std::string& line : lines) text += line + std::string(end);
  return text;
}


// The id of a "LAYER=" line: the text up to its first ";".
std::string LineLayerId(std::string_view line) {
  if (!StartsWithNoCase(line, kLayerKey)) return {};
  std::string_view rest = line.substr(kLayerKey.size());
  return std::string(rest.substr(0, rest.find(';')));
}

// A length-prefixed field of a compressed work file.
std::span<const std::uint8_t> ReadField(ByteReader& reader) {
  std::uint32_t length = reader.U32LE();
  return reader.Bytes(length);
}
}  // namespace

bool IsValidLayerId(std::string_view id) {
  if (id.empty() || id.size() > 27) return false;
  for (char c : id)
    if (c == '/' || c == '\\' || c == ':' || c == '!' || c == ';' || static_cast<unsigned char>(c) < 32)
      return false;
  return true;
}

std::string LayerRecordLine(const TLayerRecord& r) {
  const TColorValues& v = r.Values;
  std::vector<std::string> fields = {
      CleanField(r.Id),         CleanField(r.Caption),        std::to_string(r.TypeId),
      std::to_string(r.Left),   std::to_string(r.Top),        std::to_string(r.Width),
      std::to_string(r.Height), r.Visible ? "1" : "0",        std::to_string(v.Color),
      std::to_string(v.Red),    std::to_string(v.Green),      std::to_string(v.Blue),
      std::to_string(v.Hue),    std::to_string(v.Saturation), std::to_string(v.Brightness),
      std::to_string(v.Contrast), std::to_string(v.Opacity),  std::to_string(r.Level),
      CleanField(r.SourceFile)};
  return std::string(kLayerKey) + JoinFields(fields) + ";";
}

std::optional<TLayerRecord> ParseLayerRecordLine(std::string_view line) {
  if (!StartsWithNoCase(line, kLayerKey)) return std::nullopt;
  std::vector<std::string> f = SplitFields(line.substr(kLayerKey.size()));
  if (f.size() < static_cast<std::size_t>(kLayerFieldCount)) return std::nullopt;
  int numbers[16];
  for (int i = 0; i < 16; ++i) {
    auto value = ParseInt(f[static_cast<std::size_t>(i) + 2]);
    if (!value) return std::nullopt;
    numbers[i] = *value;
  }
  // Fields 8 (visible) and 17 (opacity) are bytes.
  if (numbers[5] < 0 || numbers[5] > 255 || numbers[14] < 0 || numbers[14] > 255) return std::nullopt;
  TLayerRecord r;
  r.Id = f[0];
  if (!IsValidLayerId(r.Id)) return std::nullopt;
  r.Caption = f[1];
  r.TypeId = numbers[0];
  r.Left = numbers[1];
  r.Top = numbers[2];
  r.Width = numbers[3];
  r.Height = numbers[4];
  r.Visible = numbers[5] != 0;
  r.Values = {numbers[6], numbers[7], numbers[8], numbers[9], numbers[10], numbers[11], numbers[12], numbers[13],
              static_cast<std::uint8_t>(numbers[14])};
  r.Level = numbers[15];
  r.SourceFile = f[18];
  return r;
}

std::vector<std::string> WorkHeaderLines(const TWorkHeader& h) {
  auto point = [](TPoint p) { return std::to_string(p.X) + ";" + std::to_string(p.Y) + ";"; };
  std::string hand = "HAND=" + IdOrNil(h.HandId) + ";";
  for (const TWorkMarker& m : h.Markers)
    for (int v : {m.X, m.Y, m.Width, m.Length, m.Angle}) hand += std::to_string(v) + ";";
  std::vector<std::string> lines = {"VERSION=" + h.Version + ";",
                                    "PORTRAIT=" + IdOrNil(h.PortraitId) + ";" + point(h.FacePoint), hand,
                                    "BODY=" + IdOrNil(h.BodyId) + ";" + point(h.BodyPoint),
                                    "ACTIVELAYER=" + IdOrNil(h.ActiveId) + ";"};
  for (const TLayerRecord& r : h.Layers) lines.push_back(LayerRecordLine(r));
  return lines;
}

std::vector<std::uint8_t> BuildCompressedWork(const TWorkHeader& header, const std::vector<TWorkLayerData>& layers,
                                              const TBitmap32& exportPicture) {
  ByteWriter out;
  out.U32LE(static_cast<std::uint32_t>(layers.size()));
  auto field = [&out](std::span<const std::uint8_t> bytes) {
    out.U32LE(static_cast<std::uint32_t>(bytes.size()));
    out.Bytes(bytes);
  };
  // The header and preview, and each layer's JPEG and deflate stream, owe nothing
  // to one another: they are made in parallel on the task pool and written in
  // order, the same bytes as made one after another.
  struct TParts {
    const TWorkHeader& Header;
    const std::vector<TWorkLayerData>& Layers;
    const TBitmap32& Export;
    std::vector<std::vector<std::uint8_t>> Packed;  // header, preview, then each layer's picture
  } parts{header, layers, exportPicture, std::vector<std::vector<std::uint8_t>>(layers.size() + 2)};
  RunTasks(
      static_cast<int>(layers.size()) + 1,
      [](const void* context, int i) {
        auto& p = *static_cast<TParts*>(const_cast<void*>(context));
        if (i == 0) {
          p.Packed[0] = CompressStream(AsBytes(JoinLines(WorkHeaderLines(p.Header), "\r\n")));
          p.Packed[1] = CompressStream(PreviewJpeg(p.Export));
        } else if (const TBitmap32* picture = p.Layers[std::size_t(i - 1)].Picture) {
          p.Packed[std::size_t(i) + 1] = PackBitmap32(*picture, 90);
        }
      },
      &parts);
  field(parts.Packed[0]);
  field(parts.Packed[1]);
  for (std::size_t i = 0; i < layers.size(); ++i) {
    field(parts.Packed[i + 2]);
    field(layers[i].MaskStream);
  }
  return out.Take();
}

TFileResult<std::vector<std::uint8_t>> BuildWorkContainer(const TWorkHeader& header,
                                                          const std::vector<TWorkLayerData>& layers,
                                                          const TBitmap32& exportPicture, const fs::path& file) {
  TCompoundFileWriter container;
  std::vector<std::string> lines = WorkHeaderLines(header);
  if (!container.AddStream("preview.jpg", PreviewJpeg(exportPicture))) return FileError(TFileFault::CannotWrite, file);
  for (std::size_t i = 0; i < layers.size() && i < header.Layers.size(); ++i) {
    const std::string& id = header.Layers[i].Id;
    if (!IsValidLayerId(id) || !layers[i].Picture ||
        !container.AddStream(id + ".bmp", EncodeBmp32(*layers[i].Picture)) ||
        !container.AddStream(id + ".msk", layers[i].MaskStream))
      return FileError(TFileFault::CannotWrite, file, 0, "cannot store the layer \"" + id + "\"");
  }
  if (!container.AddStream("ListFile.txt", JoinLines(lines, "\r"))) return FileError(TFileFault::CannotWrite, file);
  return container.Build(file);
}

std::vector<std::string> SplitWorkHeader(std::span<const std::uint8_t> text) {
  return SplitLines(DecodeText(text));
}

TFileResult<TStoredWork> ReadCompressedWork(std::span<const std::uint8_t> compressed, const fs::path& file) {
  if (compressed.empty()) return FileError(TFileFault::Empty, file);
  auto damaged = [&file](std::string why) { return FileError(TFileFault::Damaged, file, 0, std::move(why)); };
  ByteReader reader(compressed);
  std::uint32_t count = reader.U32LE();
  // The layer count, then the header's length and its zlib stream (0x78, and the
  // first two bytes a multiple of 31).
  const bool startsLikeWork = compressed.size() >= 10 && count <= kMaxWorkLayers && compressed[8] == 0x78 &&
                              (compressed[8] * 256 + compressed[9]) % 31 == 0;
  if (!startsLikeWork) return damaged(std::string(kNotAWorkFile));
  auto header = DecompressStream(ReadField(reader), kMaxHeaderBytes);
  auto preview = DecompressStream(ReadField(reader), kMaxPreviewBytes);
  // Each layer takes two length fields at least.
  if (!reader.ok() || count > reader.Remaining() / 8) return damaged(std::string(kWorkFileCutShort));
  if (!header || !preview) return damaged("the file's list of layers or its preview is damaged");
  std::vector<std::string> lines = SplitWorkHeader(*header);
  if (lines.size() < 5 + std::size_t(count)) return damaged("the file's list of layers is shorter than its layers");
  TStoredWork work;
  work.Preview = std::move(*preview);
  work.Lines.assign(lines.begin(), lines.begin() + 5);
  std::set<std::string> ids;
  for (std::uint32_t i = 0; i < count; ++i) {
    TStoredWorkLayer layer{LineLayerId(lines[5 + i]), {}, {}};
    layer.Picture = ReadField(reader);
    layer.Mask = ReadField(reader);
    if (!reader.ok()) return damaged(std::string(kWorkFileCutShort));
    if (!IsValidLayerId(layer.Id)) return damaged("layer " + std::to_string(i + 1) + " of the file is damaged");
    if (!ids.insert(UpperAscii(layer.Id)).second)
      return damaged("two layers of the file have the same name, \"" + layer.Id + "\"");
    work.Lines.push_back(lines[5 + i]);
    work.Layers.push_back(layer);
  }
  return work;
}

TFileResult<std::vector<std::uint8_t>> ConvertWorkFile(std::span<const std::uint8_t> compressed, const fs::path& file) {
  TFileResult<TStoredWork> work = ReadCompressedWork(compressed, file);
  if (!work) return work.Error();
  TCompoundFileWriter container;
  container.AddStream("preview.jpg", work->Preview);
  for (const TStoredWorkLayer& layer : work->Layers) {
    if (auto bitmap = UnpackBitmap32(layer.Picture)) container.AddStream(layer.Id + ".bmp", EncodeBmp32(*bitmap));
    container.AddStream(layer.Id + ".msk", layer.Mask);
  }
  container.AddStream("ListFile.txt", JoinLines(work->Lines, "\r"));
  return container.Build(file);
}

TFileResult<std::vector<std::uint8_t>> LoadWorkPreview(const fs::path& file) {
  auto bytes = ReadFileBytes(file);
  if (!bytes) return bytes.Error();
  ByteReader reader(*bytes);
  reader.U32LE();
  ReadField(reader);
  auto preview = ReadField(reader);
  if (!reader.ok()) return FileError(TFileFault::Damaged, file, 0, std::string(kWorkFileCutShort));
  if (auto jpeg = DecompressStream(preview, kMaxPreviewBytes)) return *std::move(jpeg);
  return FileError(TFileFault::Damaged, file, 0, std::string(kPreviewDamaged));
}

TFileResult<std::vector<std::uint8_t>> LoadCompoundWorkPreview(const fs::path& file) {
  TCompoundFileReader::TOpened container = TCompoundFileReader::Open(file);
  if (!container) return container.Error();
  if (auto jpeg = (*container)->ReadStream("preview.jpg", kMaxPreviewBytes)) return *std::move(jpeg);
  return FileError(TFileFault::Damaged, file, 0, std::string(kPreviewDamaged));
}
