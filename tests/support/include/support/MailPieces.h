#pragma once
// Mail text handed to an encoder in pieces, as the sender hands it over.
#include <string>
#include <string_view>

#include "exchange/MailEncoders.h"

// Stuffs `text` handed over in pieces of `piece` bytes, then finishes.
inline std::string StuffedInPieces(std::string_view text, std::size_t piece,
                                   TMailVectors widest = TMailVectors::Avx512) {
  TDotStuffer stuffer(widest);
  std::string out;
  for (std::size_t at = 0; at < text.size(); at += piece) stuffer.Add(text.substr(at, piece), out);
  stuffer.Finish(out);
  return out;
}
