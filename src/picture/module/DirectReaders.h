#pragma once
// Readers of the common formats (PNG, GIF, TIFF, WebP, BMP) that decode straight
// into the caller's rows, a few rows of working memory beside them: the imaging
// library would hold the whole picture at 8 bytes a pixel first. Each takes the
// variants it decodes as the imaging library does and leaves the others to it.
#include <cstdint>
#include <span>
#include <string>

#include "picture/ImagingModule.h"

// How a reader's turn ended when the file is not damaged. A file damaged after
// decoding began is PictureDamaged: "not mine" is no failure, the imaging
// library may still read it.
enum class TDirectRead {
  kNotMine,  // another format, or a variant left to the imaging library
  kRead,     // every row written
  kStopped,  // `accept` or `target` said no
};
using TDirectResult = TFileResult<TDirectRead>;

// The reader for the format `bytes` start with; kNotMine when none of ours.
TDirectResult ReadDirect(std::span<const std::uint8_t> bytes, const IImagingModule::TAccept& accept,
                         const IImagingModule::TTarget& target);

TDirectResult ReadPng(std::span<const std::uint8_t> bytes, const IImagingModule::TAccept& accept,
                      const IImagingModule::TTarget& target);
TDirectResult ReadGif(std::span<const std::uint8_t> bytes, const IImagingModule::TAccept& accept,
                      const IImagingModule::TTarget& target);
TDirectResult ReadTiff(std::span<const std::uint8_t> bytes, const IImagingModule::TAccept& accept,
                       const IImagingModule::TTarget& target);
TDirectResult ReadWebp(std::span<const std::uint8_t> bytes, const IImagingModule::TAccept& accept,
                       const IImagingModule::TTarget& target);
TDirectResult ReadBmp(std::span<const std::uint8_t> bytes, const IImagingModule::TAccept& accept,
                      const IImagingModule::TTarget& target);
