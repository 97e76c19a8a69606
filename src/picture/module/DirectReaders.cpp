#include "picture/module/DirectReaders.h"

TDirectRead ReadDirect(std::span<const std::uint8_t> bytes, const IImagingModule::TAccept& accept,
                       const IImagingModule::TTarget& target, std::string& error) {
  // Each reader looks at the signature first and says kNotMine to others' files.
  for (auto* reader : {ReadPng, ReadGif, ReadTiff, ReadWebp, ReadBmp}) {
    const TDirectRead result = reader(bytes, accept, target, error);
    if (result != TDirectRead::kNotMine) return result;
  }
  return TDirectRead::kNotMine;
}
