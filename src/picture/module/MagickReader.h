#pragma once
// The imaging library's own reading and writing, without our readers and writers
// in front of it (for the formats they leave to it, and for tests and benchmarks
// that judge them by it).
#include <cstdint>
#include <span>
#include <string>

#include "picture/ImagingModule.h"

// As IImagingModule::Read, through GraphicsMagick alone.
TFileResult<TPictureRead> ReadWithMagick(std::span<const std::uint8_t> bytes, const std::string& coder,
                                         const IImagingModule::TAccept& accept, const IImagingModule::TTarget& target);
// As IImagingModule::Write, through GraphicsMagick alone: the whole picture at 8
// bytes a pixel, then the whole file.
bool WriteWithMagick(const std::uint8_t* bgra, int width, int height, int format, int quality, TFileWriter& file);
