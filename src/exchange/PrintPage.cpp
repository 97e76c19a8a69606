#include "exchange/PrintPage.h"

#include <algorithm>
#include <system_error>

#include "exchange/PictureAcquisition.h"
#include "picture/BitmapRoutines.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace {
const std::string kNoFile;
}  // namespace

bool TPrintPage::SetLayout(int layout) {
  if (SlotCount(layout) == 0) return false;
  layout_ = layout;
  files_.fill({});
  mirrored_.fill(false);
  return true;
}

const std::string& TPrintPage::SlotFile(int position) const { return Valid(position) ? files_[position - 1] : kNoFile; }

bool TPrintPage::Mirrored(int position) const { return Valid(position) && mirrored_[position - 1]; }

int TPrintPage::Place(int slot, const std::string& file) {
  const int position = SlotToPosition(layout_, slot);
  if (position == 0 || file.empty()) return 0;
  files_[position - 1] = file;
  mirrored_[position - 1] = false;
  return position;
}

int TPrintPage::Clear(int slot) {
  const int position = SlotToPosition(layout_, slot);
  if (position == 0) return 0;
  files_[position - 1].clear();
  mirrored_[position - 1] = false;
  return position;
}

bool TPrintPage::ToggleMirror(int position) {
  if (!Valid(position)) return false;
  return mirrored_[position - 1] = !mirrored_[position - 1];
}

void MirrorBitmap(TBitmap32& bitmap) { FlipBitmap(bitmap, kFlipLeftRight); }

TBitmap32 LoadPrintPicture(const fs::path& file, bool mirrored) {
  TFileResult<TSourcePicture> loaded = LoadIncomingPicture(file);
  if (!loaded || loaded->Picture.Width() <= 0 || loaded->Picture.Height() <= 0) return {};
  if (mirrored) MirrorBitmap(loaded->Picture);
  return std::move(loaded->Picture);
}

bool IsPrintableFile(const std::string& name) {
  static constexpr std::string_view kMask[] = {".bmp", ".jpg", ".psd", ".gif", ".tif",
                                               ".pcx", ".tga", ".png", ".eps", ".wmf"};
  const std::string ext = LowerAscii(ExtractFileExt(name));
  return std::find(std::begin(kMask), std::end(kMask), ext) != std::end(kMask);
}

std::vector<std::string> PrintableFiles(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (it->is_regular_file(error) && IsPrintableFile(name)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string la = LowerAscii(a), lb = LowerAscii(b);
    return la != lb ? la < lb : a < b;
  });
  return names;
}

TPrintMargins PrintMargins(int leftRight, int topBottom) {
  // A margin outside 0..99 % would leave no page, or a negative one.
  return {std::clamp(leftRight, 0, 99), std::clamp(topBottom, 0, 99)};
}

std::optional<std::vector<TPrintedPicture>> PrintPage(const TPrintPage& page, IPrintDevice& device,
                                                      const TPrintMargins& margins, const TBitmap32& logo,
                                                      const TPrintLoader& load) {
  const TPrintableArea area =
      PrintableArea(device.PageWidthMm(), device.PageHeightMm(), margins.LeftRight, margins.TopBottom);
  if (!device.BeginDoc()) return std::nullopt;
  std::vector<TPrintedPicture> printed;
  for (int position = 1; position <= TPrintPage::kPositions; ++position) {
    if (!page.HasFile(position)) continue;
    const TBitmap32 picture = load(page.SlotFile(position), page.Mirrored(position));
    const TRect box = PrintPlacement(page.Layout(), position, picture.Width(), picture.Height(), area);
    if (box.IsEmpty()) continue;
    device.PrintBitmap(picture, TenthsToDevice(box.Left, device.DpiX()), TenthsToDevice(box.Top, device.DpiY()),
                       box.Width(), box.Height());
    printed.push_back({position, box});
  }
  if (!logo.Empty()) {
    device.PrintBitmap(logo, 0, 0, logo.Width(), logo.Height());
    printed.push_back({0, Bounds(0, 0, logo.Width(), logo.Height())});
  }
  if (!device.EndDoc()) return std::nullopt;
  return printed;
}

std::optional<TRect> PrintCard(const TBitmap32& card, IPrintDevice& device, const TPrintMargins& margins) {
  if (card.Empty()) return std::nullopt;
  const TPrintableArea area =
      PrintableArea(device.PageWidthMm(), device.PageHeightMm(), margins.LeftRight, margins.TopBottom);
  int width = area.Width;
  int height = int(std::int64_t(width) * card.Height() / card.Width());
  if (height > area.Height) {
    height = area.Height;
    width = int(std::int64_t(height) * card.Width() / card.Height());
  }
  const TRect box = Bounds(area.Left + (area.Width - width) / 2, area.Top + (area.Height - height) / 2, width, height);
  if (box.IsEmpty() || !device.BeginDoc()) return std::nullopt;
  device.PrintBitmap(card, TenthsToDevice(box.Left, device.DpiX()), TenthsToDevice(box.Top, device.DpiY()), box.Width(),
                     box.Height());
  if (!device.EndDoc()) return std::nullopt;
  return box;
}
