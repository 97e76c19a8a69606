#include "exchange/PictureAcquisition.h"

#include <exception>
#include <string_view>

#include "picture/BitmapRoutines.h"
#include "picture/Jpeg.h"
#include "picture/Lead.h"
#include "picture/PsdFile.h"
#include "platform/FileIO.h"
#include "platform/Text.h"
#include "shell/Termins.h"

namespace {

// A JPEG beyond this is no portrait we can hold (the picture caps refuse it too).
constexpr std::uintmax_t kMaxJpegFileBytes = std::uintmax_t(1) << 30;

TFileResult<TSourcePicture> LoadRoute(TLoadRoute route, const fs::path& file) {
  TSourcePicture loaded;
  switch (route) {
    case TLoadRoute::Psd:
      if (TFileResult<> read = LoadPsdPicture(file, loaded.Picture); !read) return read.Error();
      if (AlphaIs(loaded.Picture, 0)) SetAlpha(loaded.Picture, 255);
      loaded.HasAlpha = true;
      break;
    case TLoadRoute::Jpeg: {
      auto bytes = ReadFileBytes(file, kMaxJpegFileBytes);
      if (!bytes) return bytes.Error();
      TFileResult<TBitmap32> bitmap = DecodeJpeg(*bytes, file);
      if (!bitmap) return bitmap.Error();
      loaded.Picture = *std::move(bitmap);
      break;
    }
    case TLoadRoute::Lead: {
      TFileResult<TBitmap32> read = ReadImageFile(file);
      if (!read) return read.Error();
      loaded.Picture = *std::move(read);
      break;
    }
  }
  if (loaded.Picture.Empty()) return FileError(TFileFault::Empty, file);
  return loaded;
}

// The kinds of picture told apart by their first bytes.
struct TPictureSignature {
  std::string_view Kind;
  std::string_view Bytes;
  std::string_view Extensions;  // blank-separated, with their dots
};
constexpr TPictureSignature kSignatures[] = {
    {"JPEG", "\xFF\xD8\xFF", ".jpg .jpeg"},
    {"PNG", "\x89PNG\r\n\x1A\n", ".png"},
    {"GIF", "GIF8", ".gif"},
    {"BMP", "BM", ".bmp"},
    {"Photoshop", "8BPS", ".psd"},
    {"TIFF", std::string_view("II*\0", 4), ".tif .tiff"},
    {"TIFF", std::string_view("MM\0*", 4), ".tif .tiff"},
};

bool EndsWith(std::string_view bytes, std::string_view end) { return bytes.size() >= end.size() && bytes.ends_with(end); }

}  // namespace

std::string PictureFileProblem(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return "there is no such file";
  const auto bytes = ReadFileBytes(file, kMaxJpegFileBytes);
  if (!bytes) return "the file cannot be read";
  if (bytes->empty()) return "the file is empty";
  const std::string_view data(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  const std::string ext = LowerAscii(file.extension().string());
  const TPictureSignature* found = nullptr;
  for (const TPictureSignature& s : kSignatures)
    if (data.starts_with(s.Bytes)) found = &s;
  if (!found) {
    for (const TPictureSignature& s : kSignatures)
      if (!ext.empty() && (" " + std::string(s.Extensions) + " ").find(" " + ext + " ") != std::string::npos)
        return "the file does not start like a " + std::string(s.Kind) + " picture";
    return "the file is not a picture this program reads";
  }
  // The two kinds whose end is marked: a file cut short lacks its end.
  if ((found->Kind == "JPEG" && !EndsWith(data, "\xFF\xD9")) ||
      (found->Kind == "PNG" && data.find("IEND") == std::string_view::npos))
    return "the file ends too early";
  return "the " + std::string(found->Kind) + " picture in the file is damaged or too large";
}

TLoadRoute LoadRouteFor(const fs::path& file) {
  const std::string ext = LowerAscii(file.extension().string());
  if (ext == ".psd") return TLoadRoute::Psd;
  if (ext == ".jpg" || ext == ".jpeg") return TLoadRoute::Jpeg;
  return TLoadRoute::Lead;
}

TFileResult<TSourcePicture> LoadIncomingPicture(const fs::path& file) { return LoadRoute(LoadRouteFor(file), file); }

TBitmap32 BitmapFromScan(const TScanImage& scan) {
  const int channels = scan.Color ? 3 : 1;
  if (scan.Width <= 0 || scan.Height <= 0 || !PictureSizeAllowed(scan.Width, scan.Height)) return {};
  if (scan.Samples.size() < std::size_t(scan.Width) * std::size_t(scan.Height) * std::size_t(channels)) return {};
  TBitmap32 bitmap(scan.Width, scan.Height);
  const std::uint8_t* in = scan.Samples.data();
  for (int y = 0; y < scan.Height; ++y) {
    TColor32* out = bitmap.PixelPtr(0, y);
    for (int x = 0; x < scan.Width; ++x, in += channels)
      out[x] = scan.Color ? Color32(in[0], in[1], in[2]) : Color32(in[0], in[0], in[0]);
  }
  return bitmap;
}

TScanOutcome TakeScanResult(const TScanResult& result) {
  TScanOutcome outcome;
  if (result.Status == TScanStatus::Cancelled) return outcome;
  TBitmap32 picture;
  if (result.Status == TScanStatus::Scanned) picture = BitmapFromScan(result.Image);
  if (picture.Empty()) {
    std::string reason = result.Status == TScanStatus::Scanned ? "" : result.Error;
    std::string text = GetTerm("MessageScannerError", ProgramTexts(), "The scanner could not scan the picture.");
    if (!reason.empty()) text += "\r" + reason;
    outcome.Message = text;
    return outcome;
  }
  outcome.Picture = std::move(picture);
  return outcome;
}

std::vector<TScanOption> PreferredScanOptions() { return {{"mode", "Color"}}; }
