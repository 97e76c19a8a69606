#pragma once
// The uncompressed 24- and 32-bit Windows bitmaps the program hands to the detector.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Pixels top row first, three bytes B, G, R each, rows packed without padding.
struct TBgrPicture {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Pixels;
};

// Decodes a bitmap file; nullopt for anything but an uncompressed 24- or 32-bit
// picture of sane size whose rows all lie inside the data.
std::optional<TBgrPicture> DecodeBmp(std::span<const std::uint8_t> file);
