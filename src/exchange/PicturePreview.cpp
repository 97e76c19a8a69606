#include "exchange/PicturePreview.h"

#include <system_error>

#include "picture/Jpeg.h"
#include "picture/Lead.h"
#include "picture/PictureFiles.h"
#include "picture/WorkFile.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "shell/ProductInfo.h"

namespace {
// A stored preview that does not decode still leaves the work selected; nor is
// one claiming a bomb's size decoded, even scaled: it is a thumbnail.
TPicturePreview WorkPreview(const TFileResult<std::vector<std::uint8_t>>& jpeg) {
  TPicturePreview preview{true, {}};
  if (!jpeg) return preview;
  if (const std::optional<TJpegInfo> info = ReadJpegInfo(*jpeg); !info || info->Scale != 1) return preview;
  if (TFileResult<TBitmap32> picture = DecodeJpeg(*jpeg)) preview.Picture = *std::move(picture);
  return preview;
}
}  // namespace

TPicturePreview LoadPicturePreview(const fs::path& file) {
  std::error_code error;
  if (!fs::is_regular_file(file, error)) return {};
  const std::string ext = LowerAscii(ExtractFileExt(file.string()));
  // Until the product record is read the work extensions are empty, and a name
  // without an extension is no work.
  if (!ext.empty() && ext == LowerAscii(UncompressedWorkExt)) return WorkPreview(LoadCompoundWorkPreview(file));
  if (!ext.empty() && ext == LowerAscii(CompressedWorkExt)) return WorkPreview(LoadWorkPreview(file));
  TPicturePreview preview;
  if (TFileResult<TBitmap32> loaded = LoadPictureFile(file)) {
    preview.Picture = *std::move(loaded);
    preview.Valid = true;
  }
  return preview;
}

TRect PreviewPaintRect(int width, int height, const TRect& area) {
  if (width < 1 || height < 1 || area.IsEmpty()) return {};
  if (width <= area.Width() && height <= area.Height())
    return Bounds(area.Left + (area.Width() - width) / 2, area.Top + (area.Height() - height) / 2, width, height);
  int w = area.Width(), h = area.Height();
  if (width > height)
    h = int(std::int64_t(w) * height / width);
  else
    w = int(std::int64_t(h) * width / height);
  return Bounds(area.Left, area.Top, w, h);
}

std::string DefaultPictureFilter() {
  std::string masks = "*.bmp;*.jpeg", entries = "|Bitmaps (*.bmp)|*.bmp|JPEG Image File (*.jpeg)|*.jpeg";
  for (const TLeadFormat& format : LeadFormats()) {
    masks += ";*." + format.Extension;
    entries += "|" + format.Description + " (*." + format.Extension + ")|*." + format.Extension;
  }
  return "All (" + masks + ";*psd)|" + masks + ";*psd" + entries + "|PhotoShop Files (*.psd)|*.psd";
}
