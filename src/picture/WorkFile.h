#pragma once
// Work files: the header lines shared by both forms, the compressed work file
// (".tsc": counted, zlib-compressed fields) and the uncompressed work container
// (".tsu": a compound file with "ListFile.txt", "preview.jpg" and a ".bmp" and
// ".msk" stream per layer). Loading reads only containers: a compressed file is
// converted in memory first.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "picture/Bitmap32.h"
#include "picture/Layer.h"
#include "platform/FileResult.h"
#include "platform/Geometry.h"

namespace fs = std::filesystem;

// A hand marker as the work stores it (canvas pixels and degrees).
struct TWorkMarker {
  int X = -1;
  int Y = -1;
  int Width = 0;
  int Length = 0;
  int Angle = 0;
};
constexpr int kWorkMarkerCount = 5;

// Everything the header lines carry. An empty id is written as "nil".
struct TWorkHeader {
  std::string Version;
  std::string PortraitId;
  TPoint FacePoint{-1, -1};
  std::string HandId;
  std::array<TWorkMarker, kWorkMarkerCount> Markers;
  std::string BodyId;
  TPoint BodyPoint{-1, -1};
  std::string ActiveId;
  std::vector<TLayerRecord> Layers;  // bottom layer first
};

// A layer id names two container streams (id + ".bmp", id + ".msk"): at most 27
// characters, none of "/ \ : !" and no control characters, not empty.
bool IsValidLayerId(std::string_view id);

// "LAYER=" + the 19 fields, each followed by ";". Captions and source files lose
// ";" and line breaks, which would break the line apart.
std::string LayerRecordLine(const TLayerRecord& record);
// The record of a "LAYER=" line (key ignoring case); nullopt when the key is not
// LAYER, a number field is not an integer, or the id is not valid.
std::optional<TLayerRecord> ParseLayerRecordLine(std::string_view line);
// The header lines in file order: VERSION, PORTRAIT, HAND, BODY, ACTIVELAYER, then
// one LAYER line per layer, bottom first.
std::vector<std::string> WorkHeaderLines(const TWorkHeader& header);

// One layer's stored parts.
struct TWorkLayerData {
  const TBitmap32* Picture = nullptr;
  std::vector<std::uint8_t> MaskStream;  // empty when the mask stores nothing
};

// The compressed work file. `layers` are in header order (bottom first) and match
// header.Layers; `exportPicture` is the composed work for the preview.
std::vector<std::uint8_t> BuildCompressedWork(const TWorkHeader& header, const std::vector<TWorkLayerData>& layers,
                                              const TBitmap32& exportPicture);
// The uncompressed container with the same content, to be `file`; CannotWrite
// (with what went wrong in Detail, where known) when a layer or the container
// cannot be stored.
TFileResult<std::vector<std::uint8_t>> BuildWorkContainer(const TWorkHeader& header,
                                                          const std::vector<TWorkLayerData>& layers,
                                                          const TBitmap32& exportPicture, const fs::path& file = {});
// Where the windows that send a work get its bytes from: a compressed work file,
// or why it cannot be had.
using TWorkBytesSource = std::function<TFileResult<std::vector<std::uint8_t>>()>;
// Why a work file is Damaged, in words a user can act on.
inline constexpr std::string_view kNotAWorkFile = "the file does not start like a work file";
inline constexpr std::string_view kWorkFileCutShort = "the file ends too early";
inline constexpr std::string_view kPreviewDamaged = "the file's preview is missing or damaged";

// A compressed work file as it stores its layers: the header lines (the five
// work lines and one "LAYER=" line per stored layer) and each layer's packed
// picture and mask stream, which point into the file's bytes.
struct TStoredWorkLayer {
  std::string Id;
  std::span<const std::uint8_t> Picture, Mask;
};
struct TStoredWork {
  std::vector<std::string> Lines;
  std::vector<std::uint8_t> Preview;
  std::vector<TStoredWorkLayer> Layers;
};
// Empty without bytes; Damaged (with one of the reasons above or another plain
// one) when it is truncated, does not decompress, its counts and lengths do not
// fit, a layer id is not valid or is used twice. `file` names the bytes' file.
TFileResult<TStoredWork> ReadCompressedWork(std::span<const std::uint8_t> compressed, const fs::path& file = {});

// A compressed work file turned into container bytes; fails as ReadCompressedWork.
// A layer picture that does not unpack gets no ".bmp" stream; its mask stream and
// header line are still written.
TFileResult<std::vector<std::uint8_t>> ConvertWorkFile(std::span<const std::uint8_t> compressed,
                                                       const fs::path& file = {});

// The most pixels the layer pictures of a work may hold together when it is
// opened (each costs some twenty bytes as a layer: picture, base picture,
// renderings, regions): as many as one picture may hold.
constexpr std::uint64_t kMaxWorkPixels = std::uint64_t(kMaxPicturePixels);
// The most layers a work file may list.
constexpr std::size_t kMaxWorkLayers = 4096;

// The preview JPEG bytes of a compressed work file or a container, or why not:
// the file missing or unreadable, or Damaged (kPreviewDamaged where the rest of
// the file may still be whole). Whether the bytes decode is the caller's to see.
TFileResult<std::vector<std::uint8_t>> LoadWorkPreview(const fs::path& file);
TFileResult<std::vector<std::uint8_t>> LoadCompoundWorkPreview(const fs::path& file);

// The lines of a "ListFile.txt" (ended by CR, LF or CR LF).
std::vector<std::string> SplitWorkHeader(std::span<const std::uint8_t> text);
