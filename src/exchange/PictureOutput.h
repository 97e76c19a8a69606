#pragma once
// The composed work leaving the program as a picture file: the format a chosen
// name saves in, the free-space test and the write.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "picture/Bitmap32.h"
#include "platform/FileResult.h"

namespace fs = std::filesystem;

// Where and how a picture is saved. Format is the imaging library's code
// (TLeadFileFormat).
struct TImageSaveTarget {
  fs::path File;
  int Format = 0;
  bool operator==(const TImageSaveTarget&) const = default;
};
// The seven formats by extension, compared upper-cased: ".BMP", ".JPG" and
// ".JPEG", ".PSD", ".TIF" and ".TIFF", ".PCX", ".TGA", ".PNG". Any other name is
// saved as a bitmap under the name with ".bmp" appended, so a file's name never
// lies about its bytes.
TImageSaveTarget ImageSaveTarget(const fs::path& chosen);

// Bytes an ordinary user may still write on the file system that holds
// `folder`; nullopt when that cannot be determined (a folder that does not exist).
std::optional<std::uint64_t> FreeSpaceOf(const fs::path& folder);

// The work as the picture output sees it: the desk's emptiness (a hidden layer
// still counts) and its export picture, rendered fresh for each call and owned by
// the caller.
class IWorkPicture {
 public:
  virtual ~IWorkPicture() = default;
  virtual bool WorkIsEmpty() const = 0;
  virtual TBitmap32 TakeExportPicture() = 0;
};

// The message key for a picture that was not saved: an empty work (Empty) has
// its own, every other cause is a save that failed.
std::string_view ImageOutputMessage(TFileFault cause);
// The text for a picture SaveWorkPicture could not save: the message, the file
// it was to be and why, on lines of their own.
std::string ImageSaveFailureText(const TFileError& failure);

// Saves the work's export picture under `chosen`: Photoshop files by our writer
// with the alpha, the others at 24 bits by the imaging library. Fails with Empty
// for an empty work; refuses when the target folder's file system has no more
// free bytes than 4 a pixel (ENOSPC) or its free space cannot be determined
// (ENOENT), and fails when the write fails; the old file is then kept.
// `freeSpace` defaults to FreeSpaceOf.
TFileResult<> SaveWorkPicture(IWorkPicture& work, const fs::path& chosen,
                                   const std::function<std::optional<std::uint64_t>(const fs::path&)>& freeSpace = {});
