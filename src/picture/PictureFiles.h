#pragma once
// Loading and saving a picture file chosen by a person, by its extension
// (compared ignoring case): ".psd", ".fcc" and ".fll" through our own loader,
// ".jpg" and ".jpeg" through the JPEG codec, anything else through the imaging
// library (opaque). Saving: ".psd" by our writer (alpha kept), ".fll" packed at
// JPEG quality 90, anything else at 24 bits in the format of its extension (a
// bitmap for extensions the picture class does not list).
#include <filesystem>
#include <string>

#include "picture/Bitmap32.h"
#include "platform/FileResult.h"

class TJpegImage;
class TLead;

TFileResult<TBitmap32> LoadPictureFile(const std::filesystem::path& fileName);
// Writes the file atomically.
TFileResult<> SavePictureFile(const TBitmap32& bitmap, const std::filesystem::path& fileName);

constexpr int kPackedPictureQuality = 90;

// A picture of another class saved as a Photoshop file, opaque (these classes
// carry no alpha); fails when it is empty, does not decode or cannot be written.
TFileResult<> SaveGraphicAsPsd(const TLead& graphic, const std::filesystem::path& fileName);
TFileResult<> SaveGraphicAsPsd(const TJpegImage& graphic, const std::filesystem::path& fileName);
