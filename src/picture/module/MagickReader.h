#pragma once
// The imaging library's own reading, without the direct readers in front of it
// (for the formats they leave to it, and for tests that judge them by it).
#include <cstdint>
#include <span>
#include <string>

#include "picture/ImagingModule.h"

// As IImagingModule::Read, through GraphicsMagick alone.
bool ReadWithMagick(std::span<const std::uint8_t> bytes, const std::string& coder,
                    const IImagingModule::TAccept& accept, const IImagingModule::TTarget& target, std::string& error);
