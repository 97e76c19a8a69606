#include "exchange/PictureOutput.h"

#include <sys/statvfs.h>

#include <array>
#include <cerrno>
#include <utility>

#include "picture/Lead.h"
#include "picture/PsdFile.h"
#include "platform/FileIO.h"
#include "platform/Text.h"
#include "shell/WriteFailure.h"

std::string LastImageFileName;

namespace {

constexpr std::array<std::pair<std::string_view, int>, 9> kSaveFormats = {{
    {".BMP", kLeadBmp},
    {".JPG", kLeadJpeg},
    {".JPEG", kLeadJpeg},
    {".PSD", kLeadPsd},
    {".TIF", kLeadTiff},
    {".TIFF", kLeadTiff},
    {".PCX", kLeadPcx},
    {".TGA", kLeadTga},
    {".PNG", kLeadPng},
}};

bool WritePicture(const TBitmap32& picture, const TImageSaveTarget& target) {
  if (target.Format == kLeadPsd) return SavePsdFile(picture, target.File);
  return SaveImageFile(picture, target.File, target.Format, kLeadDefaultQualityFactor);
}

}  // namespace

TImageSaveTarget ImageSaveTarget(const fs::path& chosen) {
  const std::string ext = UpperAscii(chosen.extension().string());
  for (const auto& [known, format] : kSaveFormats)
    if (ext == known) return {chosen, format};
  fs::path file = chosen;
  file += ".bmp";
  return {file, kLeadBmp};
}

std::optional<std::uint64_t> FreeSpaceOf(const fs::path& folder) {
  struct statvfs info {};
  if (folder.empty() || statvfs(folder.c_str(), &info) != 0) return std::nullopt;
  return std::uint64_t(info.f_bavail) * std::uint64_t(info.f_frsize);
}

std::string_view ImageOutputMessage(TImageOutputResult result) {
  switch (result) {
    case TImageOutputResult::WorkIsEmpty: return "MessageWorkIsEmpty";
    case TImageOutputResult::UnableToSave: return "MessageUnableSaveImage";
    default: return "";
  }
}

std::string ImageSaveFailureText(const fs::path& chosen) {
  return WriteFailureText("MessageUnableSaveImage", "Unable to save the picture.", ImageSaveTarget(chosen).File.string(),
                          LastWriteError());
}

TImageOutputResult SaveWorkPicture(IWorkPicture& work, const fs::path& chosen,
                                   const std::function<std::optional<std::uint64_t>(const fs::path&)>& freeSpace) {
  if (work.WorkIsEmpty()) return TImageOutputResult::WorkIsEmpty;
  SetLastWriteError(0);
  const TImageSaveTarget target = ImageSaveTarget(chosen);
  const TBitmap32 picture = work.TakeExportPicture();
  if (picture.Empty()) return TImageOutputResult::UnableToSave;
  fs::path folder = target.File.parent_path();
  if (folder.empty()) folder = ".";
  const auto free = freeSpace ? freeSpace(folder) : FreeSpaceOf(folder);
  const std::uint64_t needed = std::uint64_t(picture.Width()) * std::uint64_t(picture.Height()) * 4;
  if (!free || *free <= needed) {
    SetLastWriteError(free ? ENOSPC : ENOENT);
    return TImageOutputResult::UnableToSave;
  }
  return WritePicture(picture, target) ? TImageOutputResult::Saved : TImageOutputResult::UnableToSave;
}
