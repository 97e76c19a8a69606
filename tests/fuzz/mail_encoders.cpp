// Whatever the text and however it is handed over, quoted-printable and
// dot-stuffing give at every vector level what they give byte by byte, and no
// quoted-printable line passes 76 characters.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "exchange/MailEncoders.h"
#include "support/MailPieces.h"

namespace {
constexpr TMailVectors kLevels[] = {TMailVectors::ByteByByte, TMailVectors::Sse2, TMailVectors::Avx2,
                                    TMailVectors::Avx512};

std::string QuotedPrintable(std::string_view text, bool keepLines, std::size_t piece, TMailVectors level) {
  TQuotedPrintableEncoder encoder(keepLines, level);
  std::string out;
  for (std::size_t at = 0; at < text.size(); at += piece) encoder.Add(text.substr(at, piece), out);
  encoder.Finish(out);
  return out;
}

void CheckLines(const std::string& encoded) {
  std::size_t start = 0;
  for (std::size_t end; (end = encoded.find("\r\n", start)) != std::string::npos; start = end + 2)
    if (end - start > 76) std::abort();
  if (encoded.size() - start > 76) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the piece size: whole, or cut anywhere up to 2 KiB.
  const std::size_t piece = data[0] == 0 ? std::string_view::npos : std::size_t(data[0]) * 8 + data[0] % 7;
  // Long runs repeat the text, so that lines and steps of 1024 bytes fill.
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  if (data[0] & 1) text = text + text + text;
  std::string quoted[2], stuffed;
  for (TMailVectors level : kLevels) {
    for (bool keepLines : {false, true}) {
      const std::string encoded = QuotedPrintable(text, keepLines, piece, level);
      if (level == TMailVectors::ByteByByte) {
        CheckLines(encoded);
        quoted[keepLines] = encoded;
      } else if (encoded != quoted[keepLines]) {
        std::abort();
      }
    }
    const std::string dots = StuffedInPieces(text, piece, level);
    if (level == TMailVectors::ByteByByte)
      stuffed = dots;
    else if (dots != stuffed)
      std::abort();
  }
  return 0;
}
