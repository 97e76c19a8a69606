#pragma once
// The shared shape of the mask fuzz inputs: two bytes choose the picture size; the
// high bit of the first wraps the rest in a valid zlib stream, so the parser behind
// the decompression is reached too.
#include <cstdint>
#include <span>
#include <vector>

#include "picture/Bitmap32.h"
#include "picture/Compression.h"

struct TMaskFuzzInput {
  TBitmap32 picture;
  std::vector<std::uint8_t> wrapped;
  std::span<const std::uint8_t> bytes;

  // Needs size >= 2.
  TMaskFuzzInput(const std::uint8_t* data, std::size_t size)
      : picture(1 + (data[0] & 63), 1 + (data[1] & 63)), bytes(data + 2, size - 2) {
    if (data[0] & 0x80) {
      wrapped = CompressStream(bytes);
      bytes = wrapped;
    }
  }
};
