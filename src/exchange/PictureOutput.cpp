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

TFileResult<> WritePicture(const TBitmap32& picture, const TImageSaveTarget& target) {
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

std::string_view ImageOutputMessage(TFileFault cause) {
  return cause == TFileFault::Empty ? "MessageWorkIsEmpty" : "MessageUnableSaveImage";
}

std::string ImageSaveFailureText(const TFileError& failure) {
  return WriteFailureText("MessageUnableSaveImage", "Unable to save the picture.", failure);
}

TFileResult<> SaveWorkPicture(IWorkPicture& work, const fs::path& chosen,
                              const std::function<std::optional<std::uint64_t>(const fs::path&)>& freeSpace) {
  const TImageSaveTarget target = ImageSaveTarget(chosen);
  if (work.WorkIsEmpty()) return FileError(TFileFault::Empty, target.File);
  const TBitmap32 picture = work.TakeExportPicture();
  // A work whose picture cannot be made has nothing the system could be blamed for.
  if (picture.Empty()) return FileError(TFileFault::CannotWrite, target.File);
  fs::path folder = target.File.parent_path();
  if (folder.empty()) folder = ".";
  const auto free = freeSpace ? freeSpace(folder) : FreeSpaceOf(folder);
  const std::uint64_t needed = std::uint64_t(picture.Width()) * std::uint64_t(picture.Height()) * 4;
  if (!free || *free <= needed) return FileError(TFileFault::CannotWrite, target.File, free ? ENOSPC : ENOENT);
  return WritePicture(picture, target);
}
