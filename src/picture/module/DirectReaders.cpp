#include "picture/module/DirectReaders.h"

TDirectResult ReadDirect(std::span<const std::uint8_t> bytes, const IImagingModule::TAccept& accept,
                         const IImagingModule::TTarget& target) {
  // Each reader looks at the signature first and says kNotMine to others' files.
  for (auto* reader : {ReadPng, ReadGif, ReadTiff, ReadWebp, ReadBmp}) {
    TDirectResult result = reader(bytes, accept, target);
    if (!result || *result != TDirectRead::kNotMine) return result;
  }
  return TDirectRead::kNotMine;
}
