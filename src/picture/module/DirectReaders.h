#pragma once
// Readers of the common formats (PNG, GIF, TIFF, WebP, BMP) that decode straight
// into the caller's rows, a few rows of working memory beside them: the imaging
// library would hold the whole picture at 8 bytes a pixel first. Each takes the
// variants it decodes as the imaging library does and leaves the others to it.
#include <cstdint>
#include <span>
#include <string>

#include "picture/ImagingModule.h"

enum class TDirectRead {
  kNotMine,  // another format, or a variant left to the imaging library
  kRead,     // every row written
  kStopped,  // `accept` or `target` said no
  kFailed,   // damaged after decoding began (the reason in `error`)
};

// The reader for the format `bytes` start with; kNotMine when none of ours.
TDirectRead ReadDirect(std::span<const std::uint8_t> bytes, const IImagingModule::TAccept& accept,
                       const IImagingModule::TTarget& target, std::string& error);

TDirectRead ReadPng(std::span<const std::uint8_t> bytes, const IImagingModule::TAccept& accept,
                    const IImagingModule::TTarget& target, std::string& error);
TDirectRead ReadGif(std::span<const std::uint8_t> bytes, const IImagingModule::TAccept& accept,
                    const IImagingModule::TTarget& target, std::string& error);
TDirectRead ReadTiff(std::span<const std::uint8_t> bytes, const IImagingModule::TAccept& accept,
                     const IImagingModule::TTarget& target, std::string& error);
TDirectRead ReadWebp(std::span<const std::uint8_t> bytes, const IImagingModule::TAccept& accept,
                     const IImagingModule::TTarget& target, std::string& error);
TDirectRead ReadBmp(std::span<const std::uint8_t> bytes, const IImagingModule::TAccept& accept,
                    const IImagingModule::TTarget& target, std::string& error);
